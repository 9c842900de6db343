// vardelo-cli diff, log, write --dry-run and read --out with its history, as
// a script sees them: output, exit status, files.
#include "common/clirun.h"
#include "common/democonfig.h"
#include "common/filebytes.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "platform/fileaccess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TransfersCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
    QStringList Env() const { return {"XDG_CONFIG_HOME=" + dir.filePath("config")}; }

private slots:
    // demo.QLV: the demonstration configuration with its comments;
    // door.QLV: the same with the door open time 12 and one card less.
    void initTestCase()
    {
        auto m = std::make_unique<Configuration>();
        BuildDemoConfiguration(*m);
        QVERIFY(WriteConfigurationFile(*m, Path("demo.QLV")));
        QVERIFY(SaveComments(*m, Path("demo.BGT")));
        DecodeLists(*m);
        m->ConfigImage[Slot::DoorOpenTime] = 12;
        m->ListData[1] = QStringLiteral("00000000");
        EncodeRowData(*m, 1);
        QVERIFY(WriteConfigurationFile(*m, Path("door.QLV")));
        QVERIFY(SaveComments(*m, Path("door.BGT")));
        QVERIFY(WriteFileAtomically(Path("short.QLV"), " 1 \r\n"));
    }

    void diff_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");   // the beginning of stdout
        QTest::addColumn<QString>("err");   // what stderr says
        QTest::newRow("equal") << QStringList{"demo.QLV", "demo.QLV"} << 0 << "no change\n" << "";
        QTest::newRow("differ") << QStringList{"demo.QLV", "door.QLV"} << 1
                                << "1 basic setting(s) changed\nList 1: 0 card(s) added, 1 removed\n"
                                   "  Door opening time: 5 seconds -> 12 seconds\n"
                                   "  Card removed from list 1: 10000418  Schäfer, Anna – Einkauf -> -\n"
                                << "";
        QTest::newRow("in German") << QStringList{"demo.QLV", "door.QLV", "--lang", "de"} << 1
                                   << "1 Grundeinstellung(en) geändert\n" << "";
        QTest::newRow("damaged file") << QStringList{"demo.QLV", "short.QLV"} << 2 << "" << "short.QLV: line";
        QTest::newRow("missing file") << QStringList{"none.QLV", "demo.QLV"} << 2 << "" << "none.QLV";
        QTest::newRow("one file") << QStringList{"demo.QLV"} << 2 << "" << "B.QLV";
    }
    void diff()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        for (QString& arg : args)
            if (arg.endsWith(".QLV"))
                arg = Path(arg);
        const CliRun run = RunCli(QStringList{"diff"} + args, Env());
        QCOMPARE(run.status, status);
        QVERIFY2(out.isEmpty() ? run.out.isEmpty() : QString::fromUtf8(run.out).startsWith(out), run.out.constData());
        QVERIFY2(QString::fromUtf8(run.err).contains(err), run.err.constData());
    }

    void diffAsJson()
    {
        const CliRun run = RunCli({"diff", Path("demo.QLV"), Path("door.QLV"), "--json"}, Env());
        QCOMPARE(run.status, 1);
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json.value("equal").toBool(), false);
        QCOMPARE(json.value("settings").toArray().at(0).toObject().value("setting").toString(), QStringLiteral("DoorOpenTime"));
        QCOMPARE(json.value("removed").toArray().at(0).toObject().value("comment").toString(),
                 QStringLiteral("Schäfer, Anna – Einkauf"));
    }

    // Against the simulated terminal in real time (a read takes about 9.4 s):
    // a read over a saved pair keeps it in history/ and its comments, a dry
    // run prints the changes and writes nothing; the log has both.
    void readAndDryRun()
    {
        QVERIFY(QFile::copy(Path("demo.QLV"), Path("terminal.QLV")));
        QVERIFY(QFile::copy(Path("demo.QLV"), Path("VARDELO.QLV")));
        QVERIFY(QFile::copy(Path("demo.BGT"), Path("VARDELO.BGT")));
        // Its identification holds an escape sequence, as noise on the line may.
        const QString port = "sim:" + Path("terminal.QLV") + ",id=DOOR\x1b[2J 7";
        const CliRun read = RunCli({"read", "--port", port, "--password", DemoPassword, "--out", Path("VARDELO.QLV")}, Env());
        QVERIFY2(read.status == 0, read.err.constData());
        QCOMPARE(read.out, QByteArray("      DOOR\\x1b[2J 7      \n"));
        QCOMPARE(Bytes(Path("VARDELO.BGT")), Bytes(Path("demo.BGT")));   // every comment carried over
        QCOMPARE(QDir(Path("history")).entryList(QDir::Files).size(), 4);  // the pair, the read and its comments

        const QByteArray terminal = Bytes(Path("terminal.QLV"));
        const CliRun dry = RunCli({"write", "--port", port, "--password", DemoPassword, Path("door.QLV"), "--dry-run"}, Env());
        QVERIFY2(dry.status == 0, dry.err.constData());
        QVERIFY2(dry.out.startsWith("1 basic setting(s) changed\nList 1: 0 card(s) added, 1 removed\n"), dry.out.constData());
        QVERIFY(dry.err.contains("nothing was written"));
        QCOMPARE(Bytes(Path("terminal.QLV")), terminal);
        QCOMPARE(QDir(Path("history")).entryList(QDir::Files).size(), 4);

        const CliRun log = RunCli({"log", "--last", "1"}, Env());
        QCOMPARE(log.status, 0);
        QCOMPARE(log.out.count('\n'), 1);
        QVERIFY2(log.out.contains("read   " + PrintableText(port).toUtf8()) && log.out.contains("success"), log.out.constData());
        QCOMPARE(RunCli({"log"}, Env()).out.count('\n'), 2);
        QCOMPARE(RunCli({"log", "--last", "0"}, Env()).status, 2);
    }

    // The log as its reader finds it: the newest lines of a log of any size
    // (read from the end; here past 64 MB of a line that is no entry), and a
    // file where the configuration folder should be said as such.
    void log_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("newest of a large log") << "large" << QStringList{"--last", "1"} << 0 << "newest.QLV  success\n" << "";
        QTest::newRow("two newest of a large log") << "large" << QStringList{"--last", "2"} << 0
                                                   << "first.QLV  success\n2026-12-06 14:05:00  write  com1  \"DOOR\"  newest.QLV  success\n"
                                                   << "1 damaged line(s)";
        QTest::newRow("whole large log") << "large" << QStringList{} << 0 << "first.QLV  success\n" << "only the beginning of";
        QTest::newRow("no line end at the end") << "unended" << QStringList{"--last", "1"} << 0 << "newest.QLV  success\n" << "";
        QTest::newRow("configuration folder is a file") << "folder is a file" << QStringList{"--last", "1"} << 1 << ""
                                                        << "/vardelo: is not a folder";
        QTest::newRow("configuration folder is a file, whole log") << "folder is a file" << QStringList{} << 1 << "" << "is not a folder";
        QTest::newRow("nothing logged yet") << "empty" << QStringList{"--last", "1"} << 0 << "" << "no transfers logged yet";
    }
    void log()
    {
        QFETCH(QString, layout);
        QFETCH(QStringList, args);
        QTemporaryDir home;
        const QString log = home.filePath("vardelo/transfers.log");
        const QByteArray first = R"({"time":"2026-12-06T14:00:00+01:00","command":"read","port":"com1","terminal":"DOOR","file":"first.QLV","result":"success"})";
        const QByteArray newest = R"({"time":"2026-12-06T14:05:00+01:00","command":"write","port":"com1","terminal":"DOOR","file":"newest.QLV","result":"success"})";
        if (layout == u"folder is a file") {
            QVERIFY(WriteBytes(home.filePath("vardelo"), "not a folder\n"));
        } else if (layout != u"empty") {
            QVERIFY(QDir(home.path()).mkpath("vardelo"));
            QFile file(log);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write(first + '\n') > 0);
            // A hole that reads as zeros: 65 MB without a byte on the disk.
            if (layout == u"large")
                QVERIFY(file.resize(65 * 1024 * 1024) && file.seek(file.size()) && file.write("\n") == 1);
            QVERIFY(file.write(newest + (layout == u"unended" ? "" : "\n")) > 0);
        }
        const CliRun run = RunCli(QStringList{"log"} + args, {"XDG_CONFIG_HOME=" + home.path()});
        QFETCH(int, status);
        QVERIFY2(run.status == status, run.err.constData());
        QFETCH(QString, out);
        QVERIFY2(out.isEmpty() ? run.out.isEmpty() : QString::fromUtf8(run.out).endsWith(out), run.out.constData());
        QCOMPARE(run.out.count('\n'), qsizetype(out.count(u'\n')));
        QFETCH(QString, err);
        QVERIFY2(err.isEmpty() ? run.err.isEmpty() : QString::fromUtf8(run.err).contains(err), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TransfersCliTest)
#include "tst_transfers.moc"
