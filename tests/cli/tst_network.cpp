// The command line against terminals on the network, each program run as an
// operator runs it: a read through `vardelo-cli simulate --listen` returns
// the served memory byte for byte; a second client is refused while one is
// served; a write whose server is killed in the middle fails with 1 and
// leaves every file as it was; a reset against pyserial's RFC 2217 server
// shows there 2400 baud, then DTR raised and dropped. Real time: the served
// terminal keeps a 2400-baud pace, so the read and the killed write run side
// by side.
#include "common/clirun.h"
#include "common/democonfig.h"
#include "common/filebytes.h"
#include "common/pyserialpeer.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "platform/fileaccess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QtTest>

namespace {

constexpr int StartMs = 20000;
constexpr int TransferMs = 60000;

// Every byte value, 255 (Telnet's IAC) many times among them, behind the
// password 123456.
ConfigBlock PatternedMemory()
{
    ConfigBlock block{};
    for (int i = 0; i < Configuration::BlockSlots; ++i)
        block[i] = qint16((i * 37 + 11) & 0xFF);
    const auto packed = PackPasswordDigits(QStringLiteral("123456"));
    for (int i = 0; i < 3; ++i)
        block[Slot::PasswordBcd + i] = (*packed)[i];
    return block;
}

// A program of the command line running beside the test, its output
// gathered as it comes.
struct Running {
    QProcess process;
    QByteArray out, err;

    Running(const QStringList& args, const QStringList& environment)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : environment)
            env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        process.setProcessEnvironment(env);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { out += process.readAllStandardOutput(); });
        QObject::connect(&process, &QProcess::readyReadStandardError, [this] { err += process.readAllStandardError(); });
        process.start(QStringLiteral(VARDELO_CLI_PATH), args);
    }
    ~Running()
    {
        process.kill();
        process.waitForFinished(StartMs);
    }
    bool Says(const QString& text, int ms = StartMs)
    {
        return QTest::qWaitFor([&] { return QString::fromUtf8(err).contains(text); }, ms);
    }
    bool Ended(int ms = TransferMs)
    {
        return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, ms);
    }
};

// vardelo-cli simulate on a free port of this machine.
struct Served : Running {
    quint16 port = 0;
    Served(const QString& memory, const QStringList& environment)
        : Running({"simulate", "--listen", "127.0.0.1:0", memory}, environment)
    {
        if (!Says(QStringLiteral("\n")))
            return;
        const auto match = QRegularExpression(QStringLiteral("served at rfc2217://127\\.0\\.0\\.1:(\\d+); stop with Ctrl\\+C\\n"))
                               .match(QString::fromUtf8(err));
        port = match.hasMatch() ? quint16(match.captured(1).toUInt()) : 0;
    }
    QString Address() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port); }
};

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class NetworkCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
    QStringList Env() const { return {"XDG_CONFIG_HOME=" + dir.filePath("config")}; }

private slots:
    void initTestCase()
    {
        for (const char* folder : {"served1", "served2", "readout", "work", "config"})
            QVERIFY(QDir(dir.path()).mkpath(QLatin1String(folder)));
        for (const char* memory : {"served1/memory.QLV", "served2/memory.QLV"})
            QVERIFY(WriteFileAtomically(Path(memory), FormatConfigBlock(PatternedMemory())));
        auto demo = std::make_unique<Configuration>();
        BuildDemoConfiguration(*demo);
        QVERIFY(WriteConfigurationFile(*demo, Path("work/door.QLV")));
        QVERIFY(SaveComments(*demo, Path("work/door.BGT")));
    }

    void readAndAWriteKilledMidway()
    {
        const QByteArray memory = FormatConfigBlock(PatternedMemory());
        const QByteArray door = Bytes(Path("work/door.QLV")), doorComments = Bytes(Path("work/door.BGT"));
        Served first(Path("served1/memory.QLV"), Env()), second(Path("served2/memory.QLV"), Env());
        QVERIFY2(first.port && second.port, first.err + second.err);

        Running read({"read", "--port", first.Address(), "--password", "123456", "--out", Path("readout/read.QLV")}, Env());
        Running write({"write", Path("work/door.QLV"), "--port", second.Address(), "--password", "123456"}, Env());

        // While the first terminal is served, a second client is refused,
        // with the server's words and its address.
        QVERIFY2(first.Says(QStringLiteral(" connected\n")), first.err);
        const CliRun refused = RunCli({"reset", "--port", first.Address()}, Env());
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.startsWith(first.Address().toUtf8() + ": the server closed the connection before it was set up: "
                                        "\"busy: this simulated terminal is serving 127.0.0.1:"), refused.err);
        QVERIFY2(first.Says(QStringLiteral(" refused: the terminal is serving 127.0.0.1:")), first.err);

        // The write has read the terminal and sends; its server goes away.
        QVERIFY2(write.Says(QStringLiteral("\nsend: "), TransferMs), write.err);
        second.process.kill();
        QVERIFY(write.Ended());
        QCOMPARE(write.process.exitCode(), 1);
        // Lost, and opened again in vain (refused, or taken by a server on
        // its way out and closed at once).
        QVERIFY2(write.err.contains(second.Address().toUtf8() + ": connection lost\nvardelo-cli: " + second.Address().toUtf8()
                                    + ": "), write.err);
        QVERIFY2(write.err.endsWith("\n") && !write.err.endsWith("\n\n"), write.err);
        QCOMPARE(Bytes(Path("work/door.QLV")), door);
        QCOMPARE(Bytes(Path("work/door.BGT")), doorComments);
        QCOMPARE(Bytes(Path("served2/memory.QLV")), memory);
        // Beside them only the terminal's state before the write, in history/.
        QCOMPARE(FilesIn(Path("work")), (QStringList{"door.BGT", "door.QLV", "history"}));

        QVERIFY(read.Ended());
        QVERIFY2(read.process.exitCode() == 0, read.err);
        QCOMPARE(read.out, QByteArray("      VARDELO SIM 1.00\n"));
        QVERIFY2(read.err.startsWith("vardelo-cli: Connected to " + first.Address().toUtf8() + ", round trip "), read.err);
        QCOMPARE(Bytes(Path("readout/read.QLV")), memory);

        // Stopped as a service is: SIGTERM, exit status 0.
        first.process.terminate();
        QVERIFY(first.Ended());
        QCOMPARE(first.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.process.exitCode(), 0);
        QVERIFY2(first.err.contains(" disconnected\n"), first.err);
    }

    // A site of three terminals on the network, two served and one on a port
    // where nothing listens: the two are read, the third fails with its host
    // and port while the others go on, and the command ends with 1.
    void siteReadOverTheNetwork()
    {
        Served first(Path("served1/memory.QLV"), Env()), second(Path("served2/memory.QLV"), Env());
        QVERIFY2(first.port && second.port, first.err + second.err);
        QTcpServer closed;   // a port just free: refused
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const QString refused = QStringLiteral("rfc2217://127.0.0.1:%1").arg(closed.serverPort());
        closed.close();
        QByteArray toml = "name = \"Werk 3\"\n";
        const QStringList ports{first.Address(), refused, second.Address()};
        for (int i = 0; i < ports.size(); ++i)
            toml += "[[terminal]]\nname = \"Tor " + QByteArray::number(i + 1) + "\"\nport = \"" + ports[i].toUtf8() + "\"\n";
        QVERIFY(QDir(dir.path()).mkpath("site"));
        QVERIFY(WriteBytes(Path("site/werk3.toml"), toml));

        Running site({"site", "read", Path("site/werk3.toml"), "--json"}, Env() << "VARDELO_PASSWORD=123456");
        QVERIFY(site.Ended());
        QCOMPARE(site.process.exitCode(), 1);
        const QJsonArray terminals = QJsonDocument::fromJson(site.out).object().value("terminals").toArray();
        QStringList results;
        for (const QJsonValue& t : terminals)
            results << t.toObject().value("result").toString();
        QCOMPARE(results, (QStringList{"ok", "failed", "ok"}));
        QCOMPARE(terminals.at(1).toObject().value("message").toString(),
                 refused + QStringLiteral(": connection refused, no server listens on port %1").arg(refused.section(u':', -1)));
        const QByteArray memory = FormatConfigBlock(PatternedMemory());
        QCOMPARE(Bytes(Path("site/Tor 1/VARDELO.QLV")), memory);
        QCOMPARE(Bytes(Path("site/Tor 3/VARDELO.QLV")), memory);
        QCOMPARE(Bytes(Path("site/Tor 2/VARDELO.QLV")), MissingFile);
        QVERIFY2(first.Says(QStringLiteral(" disconnected\n")) && second.Says(QStringLiteral(" disconnected\n")),
                 first.err + second.err);
    }

    // The reset over the network as pyserial's server sees it: the line set
    // up, then DTR raised and dropped (500 ms later here; the server's log
    // has no times, its order is what is checked).
    void resetAgainstPyserial()
    {
        if (const QString missing = Pyserial::Missing(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        Pyserial::LoopServer server;
        QVERIFY(server.Listening());
        const CliRun reset = RunCli({"reset", "--port", server.Address()}, Env());
        QVERIFY2(reset.status == 0, reset.err);
        QVERIFY(server.SawDisconnect());
        QVERIFY2(server.Changes() == Pyserial::LoopServer::SetUp() + QStringList({"changed DTR to active", "changed DTR to inactive"}),
                 qPrintable(server.log));
    }
};

QTEST_GUILESS_MAIN(NetworkCliTest)
#include "tst_network.moc"
