#include "config/configfiles.h"
#include "config/configimage.h"

#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run RunCli(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(VARDELO_CLI_PATH), args);
    process.waitForFinished(30000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

class ShowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void everyLayoutAsTheEditorShowsIt_data()
    {
        QTest::addColumn<int>("features");
        QTest::addColumn<int>("tracks");
        QTest::addColumn<int>("digits2");
        QTest::addColumn<int>("digits3");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QList<int>>("firstSlots");
        const int shown = Feature::MagCardSignal | Feature::MagCardEvaluation;
        const int block = shown | Feature::BlockListsOn;
        QTest::newRow("block, both") << block << 3 << 8 << 24 << QList<int>{121, 44, 121, 21} << QList<int>{272, 760, 1295, 1784};
        QTest::newRow("block, track 2") << block << 1 << 7 << 24 << QList<int>{255, 0, 187, 0} << QList<int>{272, 0, 1295, 0};
        QTest::newRow("block, track 3") << block << 2 << 8 << 5 << QList<int>{0, 340, 0, 250} << QList<int>{0, 272, 0, 1295};
        QTest::newRow("both") << shown << 3 << 2 << 2 << QList<int>{486, 1286, 0, 0} << QList<int>{272, 760, 0, 0};
        QTest::newRow("track 2, 1774 rows") << shown << 1 << 2 << 24 << QList<int>{1774, 0, 0, 0} << QList<int>{272, 0, 0, 0};
        QTest::newRow("track 3") << shown << 2 << 8 << 24 << QList<int>{0, 147, 0, 0} << QList<int>{0, 272, 0, 0};
        QTest::newRow("no mag card signal") << int(Feature::MagCardEvaluation | Feature::BlockListsOn) << 3 << 8 << 24
                                            << QList<int>{0, 0, 0, 0} << QList<int>{0, 0, 0, 0};
        QTest::newRow("zero length, track 2") << block << 3 << 0 << 24 << QList<int>{0, 44, 0, 21} << QList<int>{0, 760, 0, 1784};
    }
    void everyLayoutAsTheEditorShowsIt()
    {
        QFETCH(int, features);
        QFETCH(int, tracks);
        QFETCH(int, digits2);
        QFETCH(int, digits3);
        QFETCH(QList<int>, counts);
        QFETCH(QList<int>, firstSlots);
        Vardelomod m;
        m.ConfigImage[Slot::FeatureFlags] = qint16(features | Feature::MagCardSignal | Feature::MagCardEvaluation);
        m.ConfigImage[Slot::TrackFlags] = qint16(tracks);
        EncodeDataLength(m, TrackNo::Track2, digits2);
        EncodeDataLength(m, TrackNo::Track3, digits3);
        LayOutLists(m);
        m.ConfigImage[Slot::FeatureFlags] = qint16(features);
        m.ConfigImage[8] = 200;
        const QString path = dir.filePath(QStringLiteral("layout.QLV"));
        QFile::remove(dir.filePath(QStringLiteral("layout.BGT")));
        QVERIFY(WriteConfigurationFile(m, path));

        const Run run = RunCli({QStringLiteral("show"), path});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY(run.out.startsWith("{\"settings\": {\"DoorOpenTime\": 0, \"BuzzerWithOpener\": 0,"));
        QJsonParseError error{};
        const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(json.keys(), (QStringList{"display", "lists", "settings", "slots"}));
        const QJsonArray lists = json["lists"].toArray();
        QCOMPARE(lists.size(), 4);
        for (int i = 0; i < 4; ++i) {
            const QJsonObject list = lists[i].toObject();
            QCOMPARE(list["list"].toInt(), i + 1);
            QCOMPARE(list["count"].toInt(), counts[i]);
            const QJsonArray rows = list["rows"].toArray();
            QCOMPARE(rows.size(), counts[i]);
            if (!rows.isEmpty()) {
                QCOMPARE(rows[0].toObject()["slot"].toInt(), firstSlots[i]);
                QCOMPARE(rows[0].toObject()["comment"].toString(), ResetCommentText);
                QCOMPARE(rows[0].toObject()["data"].toString().size(), 2 * RecordLength(m, TrackOfList(i + 1)));
            }
        }
        const QJsonObject settings = json["settings"].toObject();
        QCOMPARE(settings.size(), 19);
        QCOMPARE(settings["Track2Digits"].toInt(), DecodeDataLength(RecordLength(m, TrackNo::Track2), OddLength(m, TrackNo::Track2)));
        QCOMPARE(settings["Password"].toString(), QStringLiteral("000000"));
        QCOMPARE(json["display"].toArray().size(), 16);
        QCOMPARE(json["display"].toArray()[0].toString(), QString(16, QChar(0)));
        const QJsonArray image = json["slots"].toArray();
        QCOMPARE(image.size(), 2048);
        QCOMPARE(image[8].toInt(), 200);
        QCOMPARE(image[2047].toInt(), 255);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("layout.BGT"))));   // show writes nothing
    }

    void commentsAndDisplayTexts()
    {
        Vardelomod m;
        m.ConfigImage[Slot::DoorOpenTime] = 7;
        m.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation;
        m.ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack3;
        EncodeDataLength(m, TrackNo::Track3, 3);
        LayOutLists(m);
        EncodeDisplayLine(m, 3, QStringLiteral("Grüße \"Tür\""));
        m.ListComment[1] = QStringLiteral("Jörg \\ \"J\"");
        const QString path = dir.filePath(QStringLiteral("texts.QLV"));
        QVERIFY(WriteConfigurationFile(m, path));
        QVERIFY(SaveComments(m, dir.filePath(QStringLiteral("texts.BGT"))));

        const Run run = RunCli({QStringLiteral("show"), path});
        QCOMPARE(run.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json["settings"].toObject()["DoorOpenTime"].toInt(), 7);
        QCOMPARE(json["settings"].toObject()["Track3OddLength"].toInt(), 1);
        QCOMPARE(json["settings"].toObject()["Track3Digits"].toInt(), 3);
        QCOMPARE(json["display"].toArray()[3].toString(), QStringLiteral("Grüße \"Tür\"     "));
        const QJsonObject row = json["lists"].toArray()[1].toObject()["rows"].toArray()[1].toObject();
        QCOMPARE(row["comment"].toString(), m.ListComment[1]);
        QCOMPARE(row["data"].toString(), QStringLiteral("000#"));
        QCOMPARE(row["slot"].toInt(), 274);
    }

    void badInputIsRefusedClearly_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("damaged") << QStringList{"show", "FILE"} << QByteArray("1\r\n2\r\nx\r\n") << 1 << "bad.QLV: line 3 (slot 2): \"x\" is not a whole number";
        QTest::newRow("short") << QStringList{"show", "FILE"} << QByteArray("1\r\n2\r\n") << 1 << "bad.QLV: line 3: the file ends after 2 of 2048 numbers";
        QTest::newRow("missing") << QStringList{"show", "FILE.none"} << QByteArray() << 1 << "bad.QLV.none: cannot be opened";
        QTest::newRow("no file named") << QStringList{"show"} << QByteArray() << 2 << "usage: vardelo-cli show FILE.QLV";
        QTest::newRow("unknown command") << QStringList{"shw"} << QByteArray() << 2 << "vardelo-cli show FILE.QLV";
    }
    void badInputIsRefusedClearly()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QString path = dir.filePath(QStringLiteral("bad.QLV"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        args.replaceInStrings(QStringLiteral("FILE"), path);
        const Run run = RunCli(args);
        QCOMPARE(run.status, status);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("bad.BGT"))));
    }
};

QTEST_GUILESS_MAIN(ShowTest)
#include "tst_show.moc"
