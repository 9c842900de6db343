// The network link and the served simulated terminal against peers no one
// here wrote: pyserial's RFC 2217 server on its loop:// port, which logs
// every setting and line change, must see our 2400 baud and the lines of a
// reset and of a read's start in their order; pyserial's RFC 2217 client
// must set the lines of the served terminal and read its start byte.
// Skipped when Debian's python3-serial is not installed.
#include "comm/rfc2217link.h"
#include "comm/rfc2217server.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "common/fakes.h"
#include "config/configimage.h"
#include "platform/timers.h"
#include "texts/catalogue.h"

#include <QProcess>
#include <QTcpServer>
#include <QtTest>

namespace {

constexpr int WaitMs = 30000;
// Debian's python, which python3-serial belongs to (another may stand
// first on PATH).
const QString Python = QStringLiteral("/usr/bin/python3");
const QString PyserialServer = QStringLiteral("/usr/share/doc/python3-serial/examples/rfc2217_server.py");

QString SourceFile(const QString& path)
{
    return qEnvironmentVariable("VARDELO_SOURCE_DIR") + u'/' + path;
}

bool HavePyserial()
{
    QProcess probe;
    probe.start(Python, {QStringLiteral("-c"), QStringLiteral("import serial.rfc2217")});
    return probe.waitForFinished(WaitMs) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class Rfc2217InteropTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!HavePyserial())
            QSKIP("pyserial is not installed for /usr/bin/python3 (apt-get install python3-serial)");
    }

    // Our client against pyserial's server: the settings first, then a
    // reset pulse (DTR on, off), then a read's start (DTR on, RTS on, DTR
    // off) and its end, each change once and in this order.
    void clientAgainstPyserialServer()
    {
        if (!QFile::exists(PyserialServer))
            QSKIP("pyserial's example server is not at /usr/share/doc/python3-serial/examples");
        const quint16 port = FreePort();
        QProcess server;
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(Python, {QStringLiteral("-u"), PyserialServer, QStringLiteral("-v"), QStringLiteral("-p"),
                              QString::number(port), QStringLiteral("loop://")});
        QString log;
        connect(&server, &QProcess::readyRead, this, [&] { log += QString::fromUtf8(server.readAll()); });
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(u"TCP/IP port:"), WaitMs);

        QtTimers timers;
        ProgramState program;
        program.LanguageOffset = 1000;
        LoadWindowTexts(program, TextWindow::Main);
        FakeMessages messages;
        Rfc2217Link link(timers, QStringLiteral("rfc2217://127.0.0.1:%1").arg(port));
        TerminalSession session(program, link, timers, messages);
        QSignalSpy ready(&link, &Rfc2217Link::Ready);
        QVERIFY(link.Open());
        QVERIFY(ready.wait(WaitMs));
        qInfo("round trip at connect: %.3f ms", double(link.RoundTripUs()) / 1000.0);

        QSignalSpy resetDone(&session.Reset(), &ResetSequence::Finished);
        QVERIFY(session.Reset().Start());
        QVERIFY(resetDone.wait(WaitMs));
        QVERIFY(session.Read().Start(
            [] { return PasswordEntry{1, PackTerminalPassword(QStringLiteral("123456"), false)}; }));
        QTRY_VERIFY_WITH_TIMEOUT(link.Rts(), WaitMs);
        session.Read().Abort();
        link.Close();
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(u"Disconnected"), WaitMs);
        server.kill();
        server.waitForFinished(WaitMs);

        QStringList seen;
        for (const QString& line : log.split(u'\n')) {
            for (const char* what : {"set baud rate", "set data size", "set parity", "set stop bits",
                                     "changed flow control", "changed DTR", "changed RTS"}) {
                if (line.contains(QLatin1String(what)))
                    seen << line.section(u':', 2).trimmed();
            }
        }
        const QStringList expected = {
            QStringLiteral("set baud rate: 2400"), QStringLiteral("set data size: 8"),
            QStringLiteral("set parity: N"), QStringLiteral("set stop bits: 1"),
            QStringLiteral("changed flow control to None"), QStringLiteral("changed DTR to inactive"),
            QStringLiteral("changed RTS to inactive"),
            // reset
            QStringLiteral("changed DTR to active"), QStringLiteral("changed DTR to inactive"),
            // read's start, then its end
            QStringLiteral("changed DTR to active"), QStringLiteral("changed RTS to active"),
            QStringLiteral("changed DTR to inactive"), QStringLiteral("changed RTS to inactive")};
        QCOMPARE(seen, expected);
    }

    // pyserial's client against the served simulated terminal: it opens
    // the port (its negotiation and settings all answered), gives the read
    // signalling and gets the start byte.
    void pyserialClientAgainstServedTerminal()
    {
        QtTimers timers;
        SimulatedTerminal sim(timers);
        Rfc2217Server served(sim);
        QVERIFY(served.Listen(QHostAddress::LocalHost, 0));
        QSignalSpy connected(&served, &Rfc2217Server::ClientConnected);
        QProcess client;
        client.setProcessChannelMode(QProcess::MergedChannels);
        client.start(Python, {SourceFile(QStringLiteral("tests/comm/pyserial_rfc2217_client.py")),
                              QString::number(served.Port())});
        QSignalSpy finished(&client, &QProcess::finished);
        QVERIFY(finished.wait(WaitMs));
        const QString output = QString::fromUtf8(client.readAll()).trimmed();
        QCOMPARE(output, QStringLiteral("answer 10"));
        QCOMPARE(client.exitCode(), 0);
        QCOMPARE(connected.size(), 1);
    }
};

QTEST_GUILESS_MAIN(Rfc2217InteropTest)
#include "tst_rfc2217interop.moc"
