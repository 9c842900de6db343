// Storing a read: the replaced pair is kept in history/, the read is kept
// there too, and when history/ cannot take them (a file in its place, a
// read-only folder, a full disk) nothing existing is touched and the read
// goes elsewhere, with a message naming the path.
#include "common/democonfig.h"
#include "common/filebytes.h"
#include "config/configimage.h"
#include "config/readhistory.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include "common/fileobstacles.h"

#include <unistd.h>
#endif

namespace {

const QDateTime ReadTime(QDate(2026, 12, 6), QTime(14, 3, 27));
const QString Stamp = QStringLiteral("2026-12-06_14-03-27");

// Makes the test folder read-only for this process until destroyed. Root,
// whom permissions do not stop, becomes "nobody" meanwhile (the saved
// identity stays root, so that it can come back).
struct ReadOnlyFolder {
    QString folder;
    bool ok = false;
    explicit ReadOnlyFolder(const QString& f) : folder(f)
    {
#ifdef Q_OS_UNIX
        ok = ::chmod(QFile::encodeName(folder).constData(), 0555) == 0
            && (::geteuid() != 0 || ::setresuid(65534, 65534, 0) == 0);
#endif
    }
    ~ReadOnlyFolder()
    {
#ifdef Q_OS_UNIX
        [[maybe_unused]] const int back = ::setresuid(0, 0, 0) + ::chmod(QFile::encodeName(folder).constData(), 0777);
#endif
    }
};

} // namespace

class ReadHistoryTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    ConfigBlock demo{};
    ConfigBlock read{};

    QString Path(const QString& name) const { return dir->filePath(name); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        // Open to everyone: the read-only case runs as "nobody" when root.
        QFile::setPermissions(dir->path(), QFileDevice::Permissions(0x7777));
        auto m = std::make_unique<Configuration>();
        BuildDemoConfiguration(*m);
        demo = ImageBlock(*m);
        read = demo;
        read[Slot::DoorOpenTime] = 9;
    }

    // existing: what lies beside the target before the read.
    // obstacle: what keeps history/ from taking files.
    void storeRead_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QStringList>("history");   // names in history/ afterwards
        QTest::addColumn<QString>("savedAs");       // "target", "beside", "fallback" or ""
        QTest::addColumn<bool>("commentsBeside");   // a carried-over comments file lies beside savedAs
        const QString q = Stamp + "_VARDELO.QLV", b = Stamp + "_VARDELO.BGT";
        const QString q2 = Stamp + "-2_VARDELO.QLV", b2 = Stamp + "-2_VARDELO.BGT";
        const QString q3 = Stamp + "-3_VARDELO.QLV";
        QTest::newRow("first read") << "" << "" << QStringList{q} << "target" << false;
        QTest::newRow("pair without comments") << "qlv" << "" << QStringList{q, q2} << "target" << false;
        QTest::newRow("pair with comments") << "qlv bgt" << "" << QStringList{b, q, b2, q2} << "target" << true;
        QTest::newRow("comments file alone") << "bgt" << "" << QStringList{b, q2} << "target" << false;
        QTest::newRow("damaged configuration: no carry-over") << "damaged bgt" << "" << QStringList{b, q, q2} << "target" << false;
        QTest::newRow("names taken") << "qlv bgt taken" << "" << QStringList{b, b2, q2, Stamp + "-3_VARDELO.BGT", q3}
                                     << "target" << true;
        QTest::newRow("history is a file") << "qlv bgt" << "history file" << QStringList{} << "beside" << true;
        QTest::newRow("history is a file, nothing replaced") << "" << "history file" << QStringList{} << "target" << false;
        QTest::newRow("target is a folder") << "folder" << "" << QStringList{} << "beside" << false;
#ifdef Q_OS_UNIX
        QTest::newRow("read-only folder") << "qlv bgt" << "read-only" << QStringList{} << "fallback" << true;
        QTest::newRow("full disk") << "qlv bgt" << "full disk" << QStringList{} << "" << false;
#endif
    }
    void storeRead()
    {
        QFETCH(QString, existing);
        QFETCH(QString, obstacle);
        QFETCH(QStringList, history);
        QFETCH(QString, savedAs);
        QFETCH(bool, commentsBeside);
        const QString target = Path("VARDELO.QLV");
        const QString historyFolder = Path("history");
        if (existing.contains("qlv"))
            QVERIFY(WriteFileAtomically(target, FormatConfigBlock(demo)));
        if (existing.contains("damaged"))
            QVERIFY(WriteFileAtomically(target, " 1 \r\n x \r\n"));
        if (existing.contains("folder"))
            QVERIFY(QDir().mkdir(target));
        CommentTexts comments;
        comments.fill(ResetCommentText);
        comments[0] = QStringLiteral("Müller, Jürgen – Lager");
        if (existing.contains("bgt"))
            QVERIFY(WriteFileAtomically(Path("VARDELO.BGT"), FormatComments(comments)));
        if (existing.contains("taken")) {
            QVERIFY(QDir().mkdir(historyFolder));
            QVERIFY(WriteFileAtomically(historyFolder + "/" + Stamp + "_VARDELO.BGT", "older"));
        }
        if (obstacle == "history file")
            QVERIFY(WriteFileAtomically(historyFolder, "not a folder"));
        const QByteArray qlvBefore = Bytes(target), bgtBefore = Bytes(Path("VARDELO.BGT"));
        const QString fallback = Path("fallback");
        QVERIFY(QDir().mkdir(fallback));
        QFile::setPermissions(fallback, QFileDevice::Permissions(0x7777));

        ReadStorage r;
        {
            std::optional<ReadOnlyFolder> readOnly;
            if (obstacle == "read-only")
                QVERIFY(readOnly.emplace(dir->path()).ok);
#ifdef Q_OS_UNIX
            std::optional<FileSizeLimit> full;
            if (obstacle == "full disk")
                QVERIFY(full.emplace(4000).Active());
#endif
            r = StoreRead(read, target, ReadTime, fallback);
        }

        history.sort();
        QCOMPARE(QDir(historyFolder).entryList(QDir::Files, QDir::Name), history);
        const QString expectedPath = savedAs == "target" ? target
            : savedAs == "beside" ? Path("VARDELO_" + Stamp + ".QLV")
            : savedAs == "fallback" ? fallback + "/VARDELO_" + Stamp + ".QLV" : QString();
        QVERIFY2(r.savedAs == expectedPath, qPrintable(r.savedAs + " / " + r.problem));
        // The read is wherever it is said to be, and in history/ when a copy was made.
        for (const QString& copy : {r.savedAs, r.historyCopy})
            if (!copy.isEmpty())
                QCOMPARE(Bytes(copy), FormatConfigBlock(read));
        QCOMPARE(r.commentsWritten, commentsBeside);
        if (commentsBeside)
            QCOMPARE(ReadCommentTexts(CommentFileNameFor(r.savedAs))->at(0), comments[0]);
        else if (savedAs == "target")
            QVERIFY(!QFile::exists(Path("VARDELO.BGT")));
        if (!obstacle.isEmpty() || existing.contains("folder")) {
            // Nothing that existed is touched, and the message names the path.
            QCOMPARE(Bytes(Path("VARDELO.BGT")), bgtBefore);
            if (savedAs != "target")
                QCOMPARE(Bytes(target), qlvBefore);
            const QString named = existing.contains("folder") ? target : obstacle == "full disk" ? dir->path() : historyFolder;
            QVERIFY2(r.problem.contains(named), qPrintable(r.problem));
        } else {
            QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));
            // The replaced pair is in history/, byte for byte.
            QCOMPARE(r.keptInHistory.size(), (existing.contains("qlv") || existing.contains("damaged") ? 1 : 0)
                                                 + (existing.contains("bgt") ? 1 : 0));
            if (existing.contains("qlv"))
                QCOMPARE(Bytes(r.keptInHistory.first()), qlvBefore);
            if (existing.contains("bgt"))
                QCOMPARE(Bytes(r.keptInHistory.last()), bgtBefore);
        }
    }

    void keepReadInHistory()
    {
        QString problem;
        const QString copy = KeepReadInHistory(read, Path("edited.QLV"), ReadTime, problem);
        QCOMPARE(copy, Path("history/" + Stamp + "_VARDELO.QLV"));
        QCOMPARE(Bytes(copy), FormatConfigBlock(read));
        QVERIFY(!QFile::exists(Path("edited.QLV")));
        QCOMPARE(KeepReadInHistory(read, Path("edited.QLV"), ReadTime, problem),
                 Path("history/" + Stamp + "-2_VARDELO.QLV"));
        QVERIFY(QDir().mkpath(Path("other")));
        QVERIFY(WriteFileAtomically(Path("other/history"), "a file"));
        QVERIFY(KeepReadInHistory(read, Path("other/edited.QLV"), ReadTime, problem).isEmpty());
        QVERIFY(problem.contains(Path("other/history")));
    }
};

QTEST_GUILESS_MAIN(ReadHistoryTest)
#include "tst_readhistory.moc"
