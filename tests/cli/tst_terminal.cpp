// The terminal commands' own checks, all made before the line's time
// matters; the sequences behind them are tested in virtual time.
#include "common/clirun.h"
#include "common/fileobstacles.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TerminalCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    // In the working directory, to be named by a relative path.
    QTemporaryDir folder{QStringLiteral("cli-port-XXXXXX")};

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.QLV")));
        QVERIFY(MakeFifo(dir.filePath(QStringLiteral("fifo.QLV"))));
        QVERIFY(WriteFileAtomically(dir.filePath(QStringLiteral("good")), "123456\r\n"));
        QVERIFY(WriteFileAtomically(dir.filePath(QStringLiteral("bad")), "12345\n123456\n"));
        QVERIFY(WriteFileAtomically(dir.filePath(QStringLiteral("bare")), "123456"));   // as many editors save it
        QVERIFY(QFile(folder.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly));
        Configuration m;
        m.ConfigImage[700] = 300;
        QVERIFY(WriteConfigurationFile(m, dir.filePath(QStringLiteral("byte.QLV"))));
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
        QTest::newRow("password file without a line end") << read + QStringList{"--password-file", "DIR/bare"} << 1 << "none.QLV" << QStringList{};
        // The map's fault, not an occupied interface; --port sim,loud is wrong usage.
        QTest::newRow("map names a bad sim option") << QStringList{"reset", "--port", "com4"} << 1 << "Setting of the simulated terminal cannot be used: sim,loud: unknown simulated terminal option \"loud\"" << QStringList{};
        QTest::newRow("relative path as port") << QStringList{"reset", "--port", "REL/file"} << 1 << "REL/file is a file, not a serial device" << QStringList{};
        // Refused alike by the write and by its dry run, before the terminal.
        QTest::newRow("value not a byte") << QStringList{"write", "--port", "sim,silent", "--password", "123456", "DIR/byte.QLV"} << 1 << "holds the value 300 in slot 700" << QStringList{};
        QTest::newRow("value not a byte, dry run") << QStringList{"write", "--port", "sim,silent", "--password", "123456", "DIR/byte.QLV", "--dry-run"} << 1 << "holds the value 300 in slot 700" << QStringList{};
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
        QVERIFY(WriteFileAtomically(dir.filePath(QStringLiteral("vardelo/ports.map")), "com3=/dev/vardelo-gone\ncom4=sim,loud\n"));
        const QString relative = QDir::current().relativeFilePath(folder.path());
        QFETCH(QString, says);
        says.replace(QStringLiteral("REL"), relative);
        const CliRun run = RunCli(args.replaceInStrings(QStringLiteral("SHORT"), shortFile).replaceInStrings(QStringLiteral("DIR"), dir.path())
                                      .replaceInStrings(QStringLiteral("REL"), relative),
                                  environment << "XDG_CONFIG_HOME=" + dir.path());
        QTEST(run.status, "status");
        QVERIFY2(QString::fromUtf8(run.err).contains(says) && !run.err.contains("connection"), run.err.constData());
        // A simulated terminal is no occupied interface.
        QVERIFY2(!says.contains(u"imulated terminal") || !run.err.contains("occupied"), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }

    // A password file others may read is used, with a warning as ssh gives
    // for a key; one only its owner may read is used without a word.
    void passwordFileOthersMayRead_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("warning");   // empty: none
        QTest::newRow("owner only") << 0600 << "en" << "";
        QTest::newRow("owner, read-only") << 0400 << "en" << "";
        QTest::newRow("group may read") << 0640 << "en" << "may be read by other users too (permissions 0640)";
        QTest::newRow("others may read, German") << 0604 << "de" << "kann auch von anderen Benutzern gelesen werden (Rechte 0604)";
    }
    void passwordFileOthersMayRead()
    {
        QFETCH(int, mode);
        QFETCH(QString, language);
        QFETCH(QString, warning);
        const QString file = dir.filePath(QStringLiteral("pw-mode"));
        QVERIFY(WriteFileAtomically(file, "123456\n"));
        QVERIFY(::chmod(QFile::encodeName(file).constData(), mode_t(mode)) == 0);
        const CliRun run = RunCli({"read", "--port", "sim:none.QLV", "--password-file", file, "--lang", language},
                                  {"XDG_CONFIG_HOME=" + dir.path()});
        // Used: the read gets as far as the terminal, whose memory file is missing.
        QVERIFY2(run.status == 1 && run.err.contains("none.QLV"), run.err.constData());
        if (warning.isEmpty())
            QVERIFY2(!run.err.contains("chmod"), run.err.constData());
        else
            QVERIFY2(QString::fromUtf8(run.err).contains(warning + QStringLiteral("; ")) && run.err.contains("chmod 600 " + file.toUtf8()),
                     run.err.constData());
    }

    // What the port map makes of each com port, the simulated terminal
    // included, with the machine's ports; as text and as JSON.
    void portsShowEveryComPort()
    {
        QTemporaryDir home;
        QDir(home.path()).mkpath(QStringLiteral("vardelo"));
        QVERIFY(WriteFileAtomically(home.filePath(QStringLiteral("vardelo/ports.map")),
                                    "com1=sim:/srv/doors/door1.QLV,burst=8\ncom2=sim\ncom3=/dev/vardelo-gone\ncom4=sim,loud\n"));
        const QStringList env{"XDG_CONFIG_HOME=" + home.path()};
        const CliRun text = RunCli({"ports"}, env);
        QCOMPARE(text.status, 0);
        const QString out = QString::fromUtf8(text.out);
        for (const QString& line : {QStringLiteral("\ncom ports (port map %1/vardelo/ports.map):\n").arg(home.path()),
                                    QStringLiteral("\n  com1 = simulated terminal (/srv/doors/door1.QLV)\n"),
                                    QStringLiteral("\n  com2 = simulated terminal\n"),
                                    QStringLiteral("\n  com3 = /dev/vardelo-gone, not present\n"),
                                    QStringLiteral("\n  com4 = simulated terminal; Setting of the simulated terminal cannot be used: "
                                                   "unknown simulated terminal option \"loud\"\n"),
                                    QStringLiteral("\n  com5 = /dev/ttyS4"),
                                    QStringLiteral("\n  com8 = /dev/ttyS7")})
            QVERIFY2(out.contains(line), qPrintable(line + QStringLiteral(" not in\n") + out));
        const CliRun json = RunCli({"ports", "--json"}, env);
        QCOMPARE(json.status, 0);
        const QJsonArray com = QJsonDocument::fromJson(json.out).object().value("comPorts").toArray();
        QCOMPARE(com.size(), 8);
        QCOMPARE(com.at(0).toObject(), (QJsonObject{{"com", "com1"}, {"mapped", true}, {"target", "sim:/srv/doors/door1.QLV,burst=8"},
                                                    {"standsFor", "com1 = simulated terminal (/srv/doors/door1.QLV)"}}));
        QCOMPARE(com.at(5).toObject().value("mapped").toBool(), false);
        QCOMPARE(com.at(5).toObject().value("target").toString(), QStringLiteral("/dev/ttyS5"));
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
