// The terminal commands' own checks, all made before the line's time
// matters; the sequences behind them are tested in virtual time.
#include "common/clirun.h"
#include "config/configfiles.h"

#include <QtTest>
#include <sys/stat.h>

class TerminalCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.QLV")));
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo.QLV"))).constData(), 0644) == 0);
        QVERIFY(WriteFileAtomically(dir.filePath(QStringLiteral("good")), "123456\r\n"));
        QVERIFY(WriteFileAtomically(dir.filePath(QStringLiteral("bad")), "12345\n123456\n"));
    }

    // Each refused before the line's time matters, with status and message on
    // stderr. The password comes off the command line, a file's first line or
    // the environment: a good one gets as far as the terminal (whose memory
    // file is missing here), a bad one is refused before.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QStringList>("environment");
        const QStringList read{"read", "--port", "sim:none.QLV"};
        QTest::newRow("password file") << read + QStringList{"--password-file", "DIR/good"} << 1 << "none.QLV" << QStringList{};
        QTest::newRow("password file, first line only") << read + QStringList{"--password-file", "DIR/bad"} << 2 << "six digits" << QStringList{};
        QTest::newRow("password file is a FIFO") << read + QStringList{"--password-file", "DIR/fifo.QLV"} << 2 << "fifo.QLV is not a regular file" << QStringList{};
        QTest::newRow("password from the environment") << read << 1 << "none.QLV" << QStringList{"VARDELO_PASSWORD=123456"};
        QTest::newRow("bad password in the environment") << read << 2 << "six digits" << QStringList{"VARDELO_PASSWORD=12345"};
        QTest::newRow("option before environment") << read + QStringList{"--password", "123456"} << 1 << "none.QLV" << QStringList{"VARDELO_PASSWORD=1"};
        QTest::newRow("both password options") << read + QStringList{"--password", "123456", "--password-file", "DIR/good"} << 2 << "not both" << QStringList{};
        QTest::newRow("no password, no terminal to ask") << read << 2 << "VARDELO_PASSWORD" << QStringList{"VARDELO_PASSWORD"};
        QTest::newRow("no port") << QStringList{"read", "--password", "123456"} << 2 << "--port" << QStringList{};
        QTest::newRow("five digits") << QStringList{"read", "--port", "sim", "--password", "12345"} << 2 << "--password" << QStringList{};
        QTest::newRow("free text too short") << QStringList{"read", "--port", "sim", "--password", "XABCDE"} << 2 << "--password" << QStringList{};
        QTest::newRow("missing device") << QStringList{"reset", "--port", "/dev/vardelo-none"} << 1 << "Serial interface occupied\n/dev/vardelo-none does not exist" << QStringList{};
        QTest::newRow("map names a missing device") << QStringList{"reset", "--port", "com3", "--lang", "fr"} << 1 << "Interface série occupé\n/dev/vardelo-gone n'existe pas" << QStringList{};
        QTest::newRow("folder as port") << QStringList{"reset", "--port", "DIR"} << 1 << "is a folder, not a serial device" << QStringList{};
        QTest::newRow("bad sim option") << QStringList{"reset", "--port", "sim,loud"} << 1 << "loud" << QStringList{};
        QTest::newRow("german, the memory file is no occupied port") << QStringList{"reset", "--port", "sim:none.QLV", "--lang", "de"} << 1 << "Speicherdatei des simulierten Terminals nicht verwendbar: none.QLV" << QStringList{};
        QTest::newRow("not a configuration file") << QStringList{"write", "--port", "sim,silent", "--password", "123456", "x.txt"} << 1 << "No VARDELO file selected" << QStringList{};
        // The terminal is silent: had it been asked, the answer would be "No connection".
        QTest::newRow("damaged file, before the terminal") << QStringList{"write", "--port", "sim,silent", "--password", "123456", "SHORT"} << 1 << "damaged" << QStringList{};
        // The reader's own detail, not only "damaged".
        QTest::newRow("folder to write") << QStringList{"write", "--port", "sim,silent", "--password", "123456", "DIR/folder.QLV"} << 1 << "folder.QLV is a folder" << QStringList{};
        QTest::newRow("FIFO to write") << QStringList{"write", "--port", "sim,silent", "--password", "123456", "DIR/fifo.QLV"} << 1 << "fifo.QLV is not a regular file" << QStringList{};
        QTest::newRow("FIFO as the terminal's memory") << QStringList{"reset", "--port", "sim:DIR/fifo.QLV"} << 1 << "Memory file of the simulated terminal cannot be used: " << QStringList{};
        QTest::newRow("stray argument to reset") << QStringList{"reset", "--port", "sim", "x\x01"} << 2 << "unexpected argument x\\x01\nusage: vardelo-cli reset" << QStringList{};
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, environment);
        const QString shortFile = dir.filePath(QStringLiteral("short.QLV"));
        QVERIFY(WriteFileAtomically(shortFile, " 1 \r\n 2 \r\n"));
        QDir(dir.path()).mkpath(QStringLiteral("vardelo"));
        QVERIFY(WriteFileAtomically(dir.filePath(QStringLiteral("vardelo/ports.map")), "com3=/dev/vardelo-gone\n"));
        const CliRun run = RunCli(args.replaceInStrings(QStringLiteral("SHORT"), shortFile).replaceInStrings(QStringLiteral("DIR"), dir.path()),
                                  environment << "XDG_CONFIG_HOME=" + dir.path());
        QTEST(run.status, "status");
        QFETCH(QString, says);
        QVERIFY2(QString::fromUtf8(run.err).contains(says) && !run.err.contains("connection"), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }

    // A port map line it cannot read is named, and a device it names that
    // does not exist, once, with the ports there are; the others still count.
    // The machine's ports are listed as JSON all the same.
    void portMapLinesItCannotReadAreNamed_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("reset") << QStringList{"reset", "--port", "com2"};   // com2 is the simulated terminal
        QTest::newRow("ports") << QStringList{"ports", "--json"};
    }
    void portMapLinesItCannotReadAreNamed()
    {
        QFETCH(QStringList, args);
        QTemporaryDir home;
        QDir(home.path()).mkpath(QStringLiteral("vardelo"));
        QVERIFY(WriteFileAtomically(home.filePath(QStringLiteral("vardelo/ports.map")), "com1 : /dev/ttyUSB0\ncom2=sim\ncom4=/dev/vardelo-gone\n"));
        const CliRun run = RunCli(args, {"XDG_CONFIG_HOME=" + home.path()});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains("line 1"), run.err.constData());
        QCOMPARE(run.err.count("com4=/dev/vardelo-gone: the device does not exist (detected ports: "), 1);
        if (args.first() == u"ports")
            QVERIFY2(QJsonDocument::fromJson(run.out).object().value("ports").isArray(), run.out.constData());
    }
};

QTEST_GUILESS_MAIN(TerminalCliTest)
#include "tst_terminal.moc"
