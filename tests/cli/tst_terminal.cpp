// The terminal commands' own checks, all made before the line's time
// matters; the sequences behind them are tested in virtual time.
#include "common/clirun.h"
#include "config/configfiles.h"

#include <QtTest>

class TerminalCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("no port") << QStringList{"read", "--password", "123456"} << 2 << "--port";
        QTest::newRow("five digits") << QStringList{"read", "--port", "sim", "--password", "12345"} << 2 << "--password";
        QTest::newRow("free text too short") << QStringList{"read", "--port", "sim", "--password", "XABCDE"} << 2 << "--password";
        QTest::newRow("language") << QStringList{"reset", "--port", "sim", "--lang", "it"} << 2 << "--lang";
        QTest::newRow("write without file") << QStringList{"write", "--port", "sim", "--password", "123456"} << 2 << "FILE";
        QTest::newRow("unknown option") << QStringList{"reset", "--port", "sim", "--out", "x"} << 2 << "--out";
        QTest::newRow("missing device") << QStringList{"reset", "--port", "/dev/vardelo-none"} << 1 << "Serial interface occupied";
        QTest::newRow("bad sim option") << QStringList{"reset", "--port", "sim,loud"} << 1 << "loud";
        QTest::newRow("german, the memory file is no occupied port") << QStringList{"reset", "--port", "sim:none.QLV", "--lang", "de"} << 1 << "Speicherdatei des simulierten Terminals nicht verwendbar: none.QLV";
        QTest::newRow("not a configuration file") << QStringList{"write", "--port", "sim,silent", "--password", "123456", "x.txt"} << 1 << "No VARDELO file selected";
        // The terminal is silent: had it been asked, the answer would be "No connection".
        QTest::newRow("damaged file, before the terminal") << QStringList{"write", "--port", "sim,silent", "--password", "123456", "SHORT"} << 1 << "damaged";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        const QString shortFile = dir.filePath(QStringLiteral("short.QLV"));
        QVERIFY(WriteFileAtomically(shortFile, " 1 \r\n 2 \r\n"));
        const CliRun run = RunCli(args.replaceInStrings(QStringLiteral("SHORT"), shortFile), {"XDG_CONFIG_HOME=" + dir.path()});
        QTEST(run.status, "status");
        QFETCH(QString, says);
        QVERIFY2(QString::fromUtf8(run.err).contains(says) && !run.err.contains("connection"), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }

    // A port map line it cannot read is named; the others still count.
    void portMapLinesItCannotReadAreNamed()
    {
        QTemporaryDir home;
        QDir(home.path()).mkpath(QStringLiteral("vardelo"));
        QVERIFY(WriteFileAtomically(home.filePath(QStringLiteral("vardelo/ports.map")), "com1 : /dev/ttyUSB0\ncom2=sim\n"));
        const CliRun run = RunCli({"reset", "--port", "com2"}, {"XDG_CONFIG_HOME=" + home.path()});
        QCOMPARE(run.status, 0);   // com2 is the simulated terminal
        QVERIFY2(run.err.contains("line 1"), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TerminalCliTest)
#include "tst_terminal.moc"
