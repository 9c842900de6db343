#include "common/clirun.h"
#include "common/democonfig.h"
#include "common/filebytes.h"
#include "common/fileobstacles.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QtTest>

class ShowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // One JSON object of the raw image: the four lists in order (one not in
    // use has count 0 and no rows), comments from the comments file when there
    // is one; show never creates it.
    void showsTheImageAsTheEditorOpensIt()
    {
        Configuration m;
        m.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation;
        m.ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack3;
        EncodeDataLength(m, TrackNo::Track3, 3);
        LayOutLists(m);
        m.ConfigImage[8] = 200;
        EncodeDisplayLine(m, 3, QStringLiteral("Grüße \"Tür\""));
        const QString path = dir.filePath(QStringLiteral("door.QLV"));
        QVERIFY(WriteConfigurationFile(m, path));

        const CliRun run = RunCli({"show", path});
        QVERIFY2(run.status == 0 && run.err.isEmpty(), run.err.constData());
        QVERIFY(!QFile::exists(CommentFileNameFor(path)));
        QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json.keys(), (QStringList{"display", "lists", "settings", "slots"}));
        const QJsonObject settings = json["settings"].toObject();
        QCOMPARE(settings["Track3OddLength"].toInt(), 1);
        QCOMPARE(settings["Track3Digits"].toInt(), 3);
        QCOMPARE(settings["Password"].toString(), QStringLiteral("000000"));
        QCOMPARE(json["display"].toArray()[3].toString(), QStringLiteral("Grüße \"Tür\"     "));
        QCOMPARE(json["slots"].toArray()[8].toInt(), 200);
        const QJsonArray lists = json["lists"].toArray();
        QList<int> numberCountRows;
        for (const QJsonValue& list : lists)
            numberCountRows << list["list"].toInt() << list["count"].toInt() << list["rows"].toArray().size();
        QCOMPARE(numberCountRows, (QList<int>{1, 0, 0, 2, 887, 887, 3, 0, 0, 4, 0, 0}));
        const QJsonObject row = lists[1].toObject()["rows"].toArray()[1].toObject();
        QCOMPARE(row, (QJsonObject{{"slot", 274}, {"data", "000#"}, {"comment", ResetCommentText}}));

        m.ListComment[1] = QStringLiteral("Jörg \\ \"J\"");
        QVERIFY(SaveComments(m, CommentFileNameFor(path)));
        json = QJsonDocument::fromJson(RunCli({"show", path}).out).object();
        QCOMPARE(json["lists"].toArray()[1].toObject()["rows"].toArray()[1].toObject()["comment"].toString(), m.ListComment[1]);
    }

    // The demonstration configuration, parsed back, is its image: every slot,
    // every setting named after its bit, display line, card and comment.
    // --pretty changes only the layout.
    void demoConfigurationParsesBackToItsImage_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("lines");
        QTest::newRow("compact") << QStringList{} << 1;
        QTest::newRow("pretty") << QStringList{"--pretty"} << 2048 + 16;   // at least a line per slot and display line
    }
    void demoConfigurationParsesBackToItsImage()
    {
        QFETCH(QStringList, options);
        const QString qlv = qEnvironmentVariable("VARDELO_SOURCE_DIR") + QStringLiteral("/demo/DEMO.QLV");
        const CliRun run = RunCli(QStringList{"show", qlv} + options);
        QVERIFY2(run.status == 0 && run.err.isEmpty(), run.err.constData());
        QFETCH(int, lines);
        QVERIFY(run.out.count('\n') >= lines && run.out.endsWith('\n'));
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));

        Configuration m;
        QVERIFY(ReadConfigurationFile(m, qlv));
        LoadComments(m, qlv, false);
        DecodeLists(m);
        QJsonArray image;
        for (int slot = 0; slot < Configuration::BlockSlots; ++slot)
            image.append(m.ConfigImage[slot]);
        QCOMPARE(json["slots"].toArray(), image);

        struct Bit { const char* name; int slot; int mask; };
        const Bit bits[] = {
            {"BuzzerWithOpener", 1, 0x01}, {"OpenerIntervalTone", 1, 0x02}, {"MagCardSignal", 1, 0x04},
            {"ChipCardSignal", 1, 0x08}, {"MagCardEvaluation", 1, 0x10}, {"DataOnDisplay", 1, 0x20},
            {"BlockListsOn", 1, 0x40}, {"OpenDoorOnFault", 1, 0x80}, {"EvaluateTrack2", 2, 0x01},
            {"EvaluateTrack3", 2, 0x02}, {"MonitoringModule", 2, 0x04}, {"Track2OddLength", 9, 0x01},
            {"Track3OddLength", 9, 0x02}};
        QJsonObject settings{{"DoorOpenTime", m.ConfigImage[0]}, {"Track2DataBytes", m.ConfigImage[3]},
                             {"Track3DataBytes", m.ConfigImage[4]}, {"Track2Digits", 8}, {"Track3Digits", 12},
                             {"Password", DemoPassword}};
        for (const Bit& bit : bits)
            settings[QLatin1String(bit.name)] = (m.ConfigImage[bit.slot] & bit.mask) ? 1 : 0;
        QCOMPARE(json["settings"].toObject(), settings);

        QJsonArray display;
        for (int line = 0; line < 16; ++line)
            display.append(DecodeDisplayLine(m, line));
        QCOMPARE(json["display"].toArray(), display);

        const QJsonArray lists = json["lists"].toArray();
        QCOMPARE(lists.size(), 4);
        int row = 0;
        for (int list = 1; list <= 4; ++list) {
            const QJsonObject entry = lists[list - 1].toObject();
            QCOMPARE(entry["list"].toInt(), list);
            QCOMPARE(entry["count"].toInt(), int(m.ListCount(list)));
            const QJsonArray rows = entry["rows"].toArray();
            QCOMPARE(rows.size(), int(m.ListCount(list)));
            for (const QJsonValue& shown : rows) {
                const QJsonObject expected{{"slot", m.RowSlot[row]}, {"data", m.ListData[row]}, {"comment", m.ListComment[row]}};
                QCOMPARE(shown.toObject(), expected);
                ++row;
            }
        }
        QVERIFY(row > 100);
    }

    // Exit status 1 and a message naming the file and the place; nothing on
    // stdout, no comments file created.
    void badInputIsRefusedClearly_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("damaged") << QStringList{"show", "FILE"} << QByteArray("1\r\n2\r\nx\r\n") << 1 << "bad.QLV: line 3 (slot 2): \"x\" is not a whole number";
        QTest::newRow("missing") << QStringList{"show", "FILE.none"} << QByteArray() << 1 << "bad.QLV.none does not exist";
        QTest::newRow("FIFO") << QStringList{"show", "DIR/fifo.QLV"} << QByteArray() << 1 << "fifo.QLV is not a regular file";
        QTest::newRow("escape in the name") << QStringList{"show", "FILE\x1b[2J"} << QByteArray() << 1 << "bad.QLV\\x1b[2J does not exist";
    }
    void badInputIsRefusedClearly()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, content);
        const QString path = dir.filePath(QStringLiteral("bad.QLV"));
        QVERIFY(WriteFileAtomically(path, content));
        const QString fifo = dir.filePath(QStringLiteral("fifo.QLV"));
        QVERIFY(QFile::exists(fifo) || MakeFifo(fifo));
        const CliRun run = RunCli(args.replaceInStrings(QStringLiteral("FILE"), path).replaceInStrings(QStringLiteral("DIR"), dir.path()));
        QTEST(run.status, "status");
        QVERIFY(!run.err.contains('\x1b'));
        QVERIFY(run.out.isEmpty());
        QFETCH(QString, message);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("bad.BGT"))));
    }

    // A comments file that exists but cannot be read completely never
    // passes for "no comments": show and export name it and go on without
    // its texts, diff cannot compare the comments (2), import stops before
    // the lists it leaves would lose theirs (1). Nothing is written over it.
    void commentsThatCannotBeUsedAreNamed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        const QList<std::pair<QString, QString>> kinds{
            {"ten random lines", "is damaged: only 10 lines, too few for the texts in it"},
            {"text after the last line", "is damaged: text beyond its last line, from line 2002 on"},
            {"a folder", "is a folder, not a file"},
            {"a FIFO", "is not a regular file"}};
        for (const auto& [kind, said] : kinds)
            for (const auto& [command, status] : QList<std::pair<QString, int>>{{"show", 0}, {"export", 0}, {"diff", 2}, {"import", 1}})
                QTest::newRow(qPrintable(kind + ", " + command)) << kind << command << status << said;
    }
    void commentsThatCannotBeUsedAreNamed()
    {
        QFETCH(QString, kind);
        QFETCH(QString, command);
        QTemporaryDir here;
        Configuration m;
        BuildDemoConfiguration(m);
        const QString qlv = here.filePath("door.QLV"), bgt = here.filePath("door.BGT");
        QVERIFY(WriteConfigurationFile(m, qlv) && WriteConfigurationFile(m, here.filePath("same.QLV")));
        QVERIFY(SaveComments(m, here.filePath("same.BGT")));
        if (kind == "ten random lines") {
            QVERIFY(WriteFileAtomically(bgt, GarbageLines(10)));
        } else if (kind == "text after the last line") {
            QVERIFY(WriteFileAtomically(bgt, FormatComments(m.ListComment) + "Pforte Nord\r\n"));
        } else if (kind == "a folder") {
            QVERIFY(QDir().mkdir(bgt));
        } else {
            QVERIFY(MakeFifo(bgt));
        }
        const QByteArray before = Bytes(bgt);
        QVERIFY(WriteFileAtomically(here.filePath("in.csv"), "list;card\r\n1;12345678\r\n"));
        const QMap<QString, QStringList> args{
            {"show", {"show", qlv}},
            {"export", {"export", qlv, "--csv", here.filePath("out.csv")}},
            {"diff", {"diff", here.filePath("same.QLV"), qlv}},
            {"import", {"import", qlv, "--csv", here.filePath("in.csv"), "--out", here.filePath("new.QLV")}}};
        const CliRun run = RunCli(args[command]);
        QTEST(run.status, "status");
        QFETCH(QString, said);
        QVERIFY2(QString::fromUtf8(run.err).contains(bgt + " " + said), run.err.constData());
        if (command == "show") {
            const QJsonArray rows = QJsonDocument::fromJson(run.out).object()["lists"].toArray()[0].toObject()["rows"].toArray();
            QCOMPARE(rows[0].toObject()["comment"].toString(), ResetCommentText);
        }
        QCOMPARE(QFileInfo::exists(here.filePath("out.csv")), command == "export");
        QVERIFY(!QFileInfo::exists(here.filePath("new.QLV")) && !QFileInfo::exists(here.filePath("new.BGT")));
        QCOMPARE(Bytes(bgt), before);
    }
};

QTEST_GUILESS_MAIN(ShowTest)
#include "tst_show.moc"
