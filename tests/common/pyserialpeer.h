#pragma once
// pyserial's RFC 2217 server, a peer no one here wrote, run on its loop://
// port (which links RTS to CTS and DTR to DSR) with every setting and line
// change in its log. Header-only. Debian's python3-serial belongs to
// /usr/bin/python3 (another python may stand first on PATH); tests skip
// without it.

#include <QFile>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTest>

namespace Pyserial {

inline const QString Python = QStringLiteral("/usr/bin/python3");
inline const QString Server = QStringLiteral("/usr/share/doc/python3-serial/examples/rfc2217_server.py");
constexpr int WaitMs = 30000;

// Why the peer cannot run here, or nothing.
inline QString Missing()
{
    QProcess probe;
    probe.start(Python, {QStringLiteral("-c"), QStringLiteral("import serial.rfc2217")});
    if (!probe.waitForFinished(WaitMs) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return QStringLiteral("pyserial is not installed for /usr/bin/python3 (apt-get install python3-serial)");
    if (!QFile::exists(Server))
        return QStringLiteral("pyserial's example server is not at ") + Server;
    return {};
}

inline quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The server on loop://, its whole log as it comes.
struct LoopServer {
    QProcess process;
    quint16 port = FreePort();
    QString log;

    LoopServer()
    {
        process.setProcessChannelMode(QProcess::MergedChannels);
        QObject::connect(&process, &QProcess::readyRead, [this] { log += QString::fromUtf8(process.readAll()); });
        Start();
    }
    ~LoopServer()
    {
        process.kill();
        process.waitForFinished(WaitMs);
    }
    // The server takes its port only after Python has started: in between,
    // another program on this machine may take it (a connection's local
    // port comes from the same range). It then ends at once, and starts
    // again on another free port.
    bool Listening()
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!QTest::qWaitFor([this] { return log.contains(u"TCP/IP port:") || process.state() == QProcess::NotRunning; },
                                 WaitMs))
                return false;
            if (log.contains(u"TCP/IP port:"))
                return true;
            process.waitForFinished(WaitMs);
            log.clear();
            port = FreePort();
            Start();
        }
        return false;
    }
    bool SawDisconnect() { return QTest::qWaitFor([this] { return log.contains(u"Disconnected"); }, WaitMs); }
    QString Address() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port); }
    void Start()
    {
        process.start(Python, {QStringLiteral("-u"), Server, QStringLiteral("-v"), QStringLiteral("-p"),
                               QString::number(port), QStringLiteral("loop://")});
    }

    // The settings and line changes the log shows, in order
    // ("set baud rate: 2400", "changed DTR to active", ...).
    QStringList Changes() const
    {
        QStringList seen;
        for (const QString& line : log.split(u'\n')) {
            for (const char* what : {"set baud rate", "set data size", "set parity", "set stop bits",
                                     "changed flow control", "changed DTR", "changed RTS"}) {
                if (line.contains(QLatin1String(what)))
                    seen << line.section(u':', 2).trimmed();
            }
        }
        return seen;
    }
    // What our link sets up on every connection: the line, then both lines off.
    static QStringList SetUp()
    {
        return {QStringLiteral("set baud rate: 2400"), QStringLiteral("set data size: 8"),
                QStringLiteral("set parity: N"), QStringLiteral("set stop bits: 1"),
                QStringLiteral("changed flow control to None"), QStringLiteral("changed DTR to inactive"),
                QStringLiteral("changed RTS to inactive")};
    }
};

} // namespace Pyserial
