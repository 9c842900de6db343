// vardelo-cli diff, log, write --dry-run and read --out with its history, as
// a script sees them: output, exit status, files.
#include "common/clirun.h"
#include "common/democonfig.h"
#include "common/filebytes.h"
#include "config/configfiles.h"
#include "config/configimage.h"

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
        auto m = std::make_unique<Vardelomod>();
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
        const QString port = "sim:" + Path("terminal.QLV");
        const CliRun read = RunCli({"read", "--port", port, "--password", DemoPassword, "--out", Path("VARDELO.QLV")}, Env());
        QVERIFY2(read.status == 0, read.err.constData());
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
        QVERIFY2(log.out.contains("read   " + port.toUtf8()) && log.out.contains("success"), log.out.constData());
        QCOMPARE(RunCli({"log"}, Env()).out.count('\n'), 2);
        QCOMPARE(RunCli({"log", "--last", "0"}, Env()).status, 2);
    }
};

QTEST_GUILESS_MAIN(TransfersCliTest)
#include "tst_transfers.moc"
