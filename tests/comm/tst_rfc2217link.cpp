// The network link and the served simulated terminal over real TCP on this
// machine: set-up, the lines reaching the terminal in the order asked, a
// second client refused, and every failure with its cause and address. The
// give-up times run on a manual clock, so they are checked to the
// millisecond without waiting for them.
#include "comm/portdiagnosis.h"
#include "comm/receivehandler.h"
#include "comm/rfc2217link.h"
#include "comm/rfc2217server.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "config/configfiles.h"
#include "common/fakes.h"
#include "common/manualclock.h"
#include "platform/timers.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <functional>

namespace {

constexpr int WaitMs = 20000;   // generous: the sanitizer build on a loaded machine

QString Address(quint16 port)
{
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port);
}

// A server that plays a part: answers what it receives through a function,
// or closes each connection as the test says.
struct ScriptedServer : QObject {
    QTcpServer server;
    QList<QTcpSocket*> clients;
    QByteArray received;
    // Called on every arrival with everything received on this connection;
    // returns what to send back.
    std::function<QByteArray(QTcpSocket&, const QByteArray&)> answer;

    ScriptedServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                clients << s;
                auto all = std::make_shared<QByteArray>();
                connect(s, &QTcpSocket::readyRead, this, [this, s, all] {
                    const QByteArray bytes = s->readAll();
                    *all += bytes;
                    received += bytes;
                    if (answer)
                        s->write(answer(*s, *all));
                });
            }
        });
    }
    quint16 Port() const { return server.serverPort(); }
};

// A ComPortServer port that keeps nothing, with DTR stuck on when asked.
struct NullPort : ComPortServer::Port {
    bool stuckDtr = false;
    void WriteData(const QByteArray&) override {}
    void SetDtr(bool) override {}
    void SetRts(bool) override {}
    bool Dtr() const override { return stuckDtr; }
    bool Rts() const override { return false; }
    void PurgeReceive() override {}
};

// A port number nothing listens on.
quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The served simulated terminal with its own clock, and a link to it.
struct Served {
    QtTimers timers;
    SimulatedTerminal sim{timers};
    Rfc2217Server server{sim};
    Served() { QVERIFY(server.Listen(QHostAddress::LocalHost, 0)); }
    QString Address() const { return ::Address(server.Port()); }
};

} // namespace

class Rfc2217LinkTest : public QObject {
    Q_OBJECT
private slots:
    // Line changes and bytes asked for right after Open() are kept in their
    // order until the server has taken the settings: the read signalling
    // (DTR on, RTS on, DTR off) reaches the terminal as such, and it answers
    // with its start byte.
    void requestsBeforeReadyKeepTheirOrder()
    {
        Served s;
        Rfc2217Link link(s.timers, s.Address());
        QSignalSpy ready(&link, &SerialLink::Ready);
        QSignalSpy received(&link, &SerialLink::ReceiveEvent);
        QVERIFY(link.Open());
        QVERIFY(link.IsOpen());
        QCOMPARE(link.CurrentState(), Rfc2217Link::State::Connecting);
        link.SetDtr(true);
        link.SetRts(true);
        link.SetDtr(false);
        QVERIFY(!link.Dtr() && link.Rts());
        QVERIFY(ready.wait(WaitMs));
        QVERIFY(link.RoundTripUs() >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(!received.isEmpty(), WaitMs);
        QCOMPARE(received.first().first().toInt(), LinkEvent::Received);
        QCOMPARE(link.ReadAll(), QByteArray(1, char(16)));
        QCOMPARE(s.sim.CurrentPhase(), SimulatedTerminal::Phase::AwaitPassword);
        QCOMPARE(s.server.Client().section(u':', 0, 0), QStringLiteral("127.0.0.1"));
    }

    // A sequence cannot time the lines of a connection not yet set up: one
    // started then is refused, saying so, and nothing reaches the terminal.
    void sequenceRefusedWhileConnecting()
    {
        Served s;
        Rfc2217Link link(s.timers, s.Address());
        ProgramState program;
        program.LanguageOffset = 1000;
        FakeMessages messages;
        TerminalSession session(program, link, s.timers, messages);
        QVERIFY(link.Open());
        QVERIFY(!session.Reset().Start());
        QVERIFY(!session.Busy());
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().prompt, QStringLiteral("Connecting to %1 ...").arg(s.Address()));
        QSignalSpy ready(&link, &SerialLink::Ready);
        QVERIFY(ready.wait(WaitMs));
        QVERIFY(!link.Dtr() && !s.sim.Dtr());
        QVERIFY(session.Reset().Start());
    }

    // A byte the served terminal garbles on its line reaches the client as
    // the framing error a serial port would raise.
    void lineErrorReachesTheClient()
    {
        Served s;
        s.sim.SetOptions(*ParseSimulationOptions(QStringLiteral(",framing=0")));
        Rfc2217Link link(s.timers, s.Address());
        QSignalSpy ready(&link, &SerialLink::Ready);
        QSignalSpy events(&link, &SerialLink::ReceiveEvent);
        QVERIFY(link.Open());
        QVERIFY(ready.wait(WaitMs));
        link.SetDtr(true);
        link.SetRts(true);
        link.SetDtr(false);
        QTRY_VERIFY_WITH_TIMEOUT(!events.isEmpty(), WaitMs);
        QCOMPARE(events.first().first().toInt(), int(LinkEvent::FramingError));
        QVERIFY(link.ReadAll().isEmpty());
    }

    // A served terminal takes one client: a second one is told why and
    // closed before any negotiation, the server's operator hears of it, and
    // once the first has gone the second is served.
    void secondClientRefused()
    {
        Served s;
        QSignalSpy refused(&s.server, &Rfc2217Server::ClientRefused);
        QSignalSpy gone(&s.server, &Rfc2217Server::ClientDisconnected);
        Rfc2217Link first(s.timers, s.Address());
        QSignalSpy firstReady(&first, &SerialLink::Ready);
        QVERIFY(first.Open());
        QVERIFY(firstReady.wait(WaitMs));
        const QString served = s.server.Client();

        ManualClock clock;   // the second link's give-up times stand still
        Rfc2217Link second(clock, s.Address());
        QSignalSpy failed(&second, &SerialLink::ConnectionFailed);
        QVERIFY(second.Open());
        QVERIFY(failed.wait(WaitMs));
        QCOMPARE(second.LastProblem(), Rfc2217Link::Problem::Closed);
        QVERIFY(!second.IsOpen());
        QCOMPARE(second.ErrorText(),
                 QStringLiteral("%1: the server closed the connection before it was set up: "
                                "\"busy: this simulated terminal is serving %2\"").arg(s.Address(), served));
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.first().at(1).toString(), served);
        QCOMPARE(first.CurrentState(), Rfc2217Link::State::Ready);   // the first is still served

        first.Close();
        QVERIFY(gone.wait(WaitMs) || !gone.isEmpty());
        QVERIFY(!s.sim.IsOpen());   // the terminal's lines went off with its client
        QSignalSpy secondReady(&second, &SerialLink::Ready);
        QVERIFY(second.Open());
        QVERIFY(secondReady.wait(WaitMs));
    }

    // The served terminal's memory file taken by another session after the
    // server began listening: a client is sent away with the reason, which
    // it says as the server's words; once the file is free again the next
    // client is served.
    void memoryFileTakenMeanwhile()
    {
        QTemporaryDir dir;
        const QString memory = dir.filePath(QStringLiteral("door.QLV"));
        QVERIFY(WriteFileAtomically(memory, FormatConfigBlock(ConfigBlock{})));
        Served s;
        s.sim.SetOptions(*ParseSimulationOptions(u':' + memory));
        Rfc2217Server server(s.sim);
        QVERIFY(server.Listen(QHostAddress::LocalHost, 0));
        SimulatedTerminal other(s.timers);
        other.SetOptions(s.sim.Options());
        QVERIFY(other.Open());
        QSignalSpy unavailable(&server, &Rfc2217Server::TerminalUnavailable);
        Rfc2217Link link(s.timers, Address(server.Port()));
        QSignalSpy failed(&link, &SerialLink::ConnectionFailed);
        QVERIFY(link.Open());
        QVERIFY(failed.wait(WaitMs));
        QCOMPARE(link.LastProblem(), Rfc2217Link::Problem::Closed);
        QCOMPARE(unavailable.size(), 1);
        QCOMPARE(link.OpenFailure().detail, QStringLiteral("unavailable: %1: is in use by another program").arg(memory));
        other.Close();
        QSignalSpy ready(&link, &SerialLink::Ready);
        QVERIFY(link.Open());
        QVERIFY(ready.wait(WaitMs));
    }

    // Failures of an opening, each reported after Open() returned, naming
    // the address and the cause (in English for ErrorText(), in the
    // operator's language for the message); the link is closed afterwards.
    void openingFailures_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("line");   // the message's, in English; %1 the address, %2 the port
        QTest::newRow("connection refused") << "none" << int(Rfc2217Link::Problem::Refused)
                                            << "connection refused (nothing listens on port %2)"
                                            << "%1: connection refused, no server listens on port %2";
        QTest::newRow("refuses COM port control") << "refuse option" << int(Rfc2217Link::Problem::OptionRefused)
            << "the server refuses COM port control (RFC 2217); the terminal cannot be driven without DTR and RTS"
            << "%1: the server refuses COM port control (RFC 2217); the terminal cannot be driven without DTR and RTS";
        QTest::newRow("9600 baud only") << "9600" << int(Rfc2217Link::Problem::SettingsRefused)
            << "the server does not take 2400 baud, 8 data bits, no parity, 1 stop bit (SET-BAUDRATE 2400 answered 9600)"
            << "%1: the server does not take 2400 baud, 8 data bits, no parity, 1 stop bit (SET-BAUDRATE 2400 answered 9600)";
        QTest::newRow("DTR stuck on") << "stuck DTR" << int(Rfc2217Link::Problem::ControlRefused)
            << "the server does not drive the control line DTR; the terminal cannot be driven without DTR and RTS"
            << "%1: the server does not drive the control line DTR; the terminal cannot be driven without DTR and RTS";
        QTest::newRow("closes at once") << "close" << int(Rfc2217Link::Problem::Closed)
                                        << "the server closed the connection before it was set up"
                                        << "%1: the server closed the connection before it was set up";
    }
    void openingFailures()
    {
        QFETCH(QString, server);
        QFETCH(int, problem);
        QFETCH(QString, detail);
        QFETCH(QString, line);
        ScriptedServer scripted;
        NullPort port;
        port.stuckDtr = server == u"stuck DTR";
        ComPortServer protocol(port, "scripted");
        qsizetype seen = 0;
        scripted.answer = [&](QTcpSocket& socket, const QByteArray& all) -> QByteArray {
            const QByteArray fresh = all.mid(std::exchange(seen, all.size()));
            if (server == u"close") {
                socket.disconnectFromHost();
                return {};
            }
            if (server == u"refuse option")
                return fresh.contains(TelnetNegotiation(Telnet::Will, Telnet::ComPortOption))
                    ? TelnetNegotiation(Telnet::Dont, Telnet::ComPortOption) : QByteArray();
            if (server == u"9600" && fresh.contains(ComPortClient::SettingsBytes()))
                return ComPortCommand(ComPort::ServerOffset + ComPort::SetBaudrate, BaudValue(9600));
            return protocol.Receive(fresh);
        };
        const quint16 port_ = server == u"none" ? ClosedPort() : scripted.Port();
        ManualClock clock;
        Rfc2217Link link(clock, Address(port_));
        QSignalSpy failed(&link, &SerialLink::ConnectionFailed);
        QSignalSpy ready(&link, &SerialLink::Ready);
        QVERIFY(link.Open());
        QVERIFY(failed.wait(WaitMs));
        QCOMPARE(int(link.LastProblem()), problem);
        QVERIFY(!link.IsOpen());
        QVERIFY(ready.isEmpty());
        QCOMPARE(link.ErrorText(), QStringLiteral("%1: %2").arg(Address(port_), detail.replace(QStringLiteral("%2"), QString::number(port_))));
        QCOMPARE(link.OpenFailure().device, Address(port_));
        QCOMPARE(OpenFailureLine(link.OpenFailure(), 1000), line.replace(QStringLiteral("%1"), Address(port_)).replace(QStringLiteral("%2"), QString::number(port_)));
        QCOMPARE(failed.size(), 1);
    }

    // An address that is none is refused at once, naming it; nothing is
    // connected. (Which texts are addresses: the port map's test.)
    void badAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("no port") << "rfc2217://terminal-7";
        QTest::newRow("plain TCP") << "socket://terminal-7:4001";
        QTest::newRow("control character") << "rfc2217://door\x1b[2J:4001";
    }
    void badAddresses()
    {
        QFETCH(QString, address);
        ManualClock clock;
        Rfc2217Link link(clock, address);
        QSignalSpy failed(&link, &SerialLink::ConnectionFailed);
        QVERIFY(!link.Open());
        QVERIFY(!link.IsOpen());
        QCOMPARE(link.LastProblem(), Rfc2217Link::Problem::BadAddress);
        QCOMPARE(link.OpenFailure().network, NetworkProblem::BadAddress);
        QString shown = address;
        shown.replace(u'\x1b', QStringLiteral("\\x1b"));   // never a control character in a message
        QCOMPARE(link.OpenFailure().device, shown);
        QCOMPARE(link.ErrorText(), shown + QStringLiteral(": not a network address (expected rfc2217://HOST:PORT)"));
        QCOMPARE(failed.size(), 0);   // said by Open() itself
    }

    // A name that does not resolve.
    void unknownHost()
    {
        ManualClock clock;
        Rfc2217Link link(clock, QStringLiteral("rfc2217://no-such-terminal.invalid:2217"));
        QSignalSpy failed(&link, &SerialLink::ConnectionFailed);
        QVERIFY(link.Open());
        QVERIFY(failed.wait(WaitMs));
        QCOMPARE(link.LastProblem(), Rfc2217Link::Problem::UnknownHost);
        QCOMPARE(link.ErrorText(),
                 QStringLiteral("rfc2217://no-such-terminal.invalid:2217: unknown host \"no-such-terminal.invalid\""));
    }

    // A server that accepts the connection and does not finish setting it
    // up is given up exactly NegotiationTimeoutMs after the connection,
    // with what it left unanswered.
    void serverThatDoesNotFinish_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("awaited");   // what the link waits for when it gives up
        QTest::newRow("silent") << "silent" << int(Rfc2217Link::Problem::NoNegotiation)
                                << "the server did not set up COM port control (RFC 2217) within 5 s" << "";
        QTest::newRow("takes the option, answers no setting")
            << "option only" << int(Rfc2217Link::Problem::SettingsRefused)
            << "the server does not take 2400 baud, 8 data bits, no parity, 1 stop bit "
               "(no answer to SET-BAUDRATE within 5 s)" << "SET-BAUDRATE";
        // As ser2net does with a pseudo-terminal, which has no modem lines.
        QTest::newRow("answers the settings, not the lines")
            << "no lines" << int(Rfc2217Link::Problem::ControlRefused)
            << "the server does not drive the control line DTR (no answer within 5 s); "
               "the terminal cannot be driven without DTR and RTS" << "DTR";
    }
    void serverThatDoesNotFinish()
    {
        QFETCH(QString, server);
        QFETCH(int, problem);
        QFETCH(QString, detail);
        QFETCH(QString, awaited);
        ScriptedServer scripted;
        scripted.answer = [&](QTcpSocket&, const QByteArray& all) -> QByteArray {
            using namespace ComPort;
            if (server == u"silent" || !all.contains(TelnetNegotiation(Telnet::Will, Telnet::ComPortOption)))
                return {};
            if (!all.contains(ComPortClient::SettingsBytes()))
                return TelnetNegotiation(Telnet::Do, Telnet::ComPortOption);
            if (server == u"option only")
                return {};
            const quint8 a = ServerOffset;
            return ComPortCommand(a + SetBaudrate, BaudValue(Baud)) + ComPortCommand(a + SetDatasize, DataBits)
                + ComPortCommand(a + SetParity, ParityNone) + ComPortCommand(a + SetStopsize, OneStopBit)
                + ComPortCommand(a + SetControl, Control::NoFlow);
        };
        ManualClock clock;
        Rfc2217Link link(clock, Address(scripted.Port()));
        QSignalSpy failed(&link, &SerialLink::ConnectionFailed);
        QVERIFY(link.Open());
        QTRY_COMPARE_WITH_TIMEOUT(link.CurrentState(), Rfc2217Link::State::Negotiating, WaitMs);
        // It was offered the option, and got as far as the server lets it.
        const QByteArray last = server == u"silent" ? TelnetNegotiation(Telnet::Will, Telnet::ComPortOption)
                                                     : ComPortClient::SettingsBytes();
        QTRY_VERIFY_WITH_TIMEOUT(scripted.received.contains(last), WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(link.AwaitedAnswer(), awaited, WaitMs);
        clock.Advance(Rfc2217Link::NegotiationTimeoutMs - 1);
        QCOMPARE(link.CurrentState(), Rfc2217Link::State::Negotiating);
        clock.Advance(1);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(int(link.LastProblem()), problem);
        QCOMPARE(link.ErrorText(), QStringLiteral("%1: %2").arg(Address(scripted.Port()), detail));
        QVERIFY(!link.IsOpen());
        QTRY_VERIFY_WITH_TIMEOUT(scripted.clients.first()->state() == QAbstractSocket::UnconnectedState, WaitMs);
    }

    // A ready connection that drops is a lost line: the link closes, says
    // so, and raises the line error on which the receive handler reopens
    // it; with the server gone the reopening fails and the link stays
    // closed, without a loop.
    void droppedConnection()
    {
        auto s = std::make_unique<Served>();
        QtTimers timers;   // the link's own: the server's go with it
        Rfc2217Link link(timers, s->Address());
        ProgramState program;
        SessionState state(program);
        ReceiveHandler handler(state, link);
        QSignalSpy reopened(&handler, &ReceiveHandler::PortReopened);
        QSignalSpy events(&link, &SerialLink::ReceiveEvent);
        QSignalSpy failed(&link, &SerialLink::ConnectionFailed);
        QSignalSpy ready(&link, &SerialLink::Ready);
        QVERIFY(link.Open());
        QVERIFY(ready.wait(WaitMs));
        link.SetDtr(true);
        QTRY_VERIFY_WITH_TIMEOUT(s->sim.Dtr(), WaitMs);
        s.reset();   // the server goes away with its connection
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 2, WaitMs);
        QCOMPARE(events.size(), 1);
        QCOMPARE(events.first().first().toInt(), int(LinkEvent::CarrierTimeout));
        QCOMPARE(reopened.size(), 1);
        QCOMPARE(reopened.first().first().toBool(), true);   // a new connection was started
        QCOMPARE(link.LastProblem(), Rfc2217Link::Problem::Refused);
        QVERIFY(!link.IsOpen());
        QVERIFY(!link.Dtr());
    }

    // A server that sets the line up and drops it at once, again and again:
    // after QuickDropLimit drops the link stops reopening.
    void connectionThatKeepsDropping()
    {
        ScriptedServer flaky;
        NullPort port;
        int connections = 0;
        flaky.answer = [&](QTcpSocket& socket, const QByteArray& all) {
            // A fresh protocol per connection, fed everything so far.
            ComPortServer protocol(port, "flaky");
            const QByteArray reply = protocol.Receive(all);
            if (all.contains(ComPortClient::SettingsBytes())) {
                socket.write(reply);
                socket.disconnectFromHost();
                return QByteArray();
            }
            return reply;
        };
        connect(&flaky.server, &QTcpServer::newConnection, this, [&] { ++connections; });
        ManualClock clock;
        Rfc2217Link link(clock, Address(flaky.Port()));
        ProgramState program;
        SessionState state(program);
        ReceiveHandler handler(state, link);
        QSignalSpy failed(&link, &SerialLink::ConnectionFailed);
        QVERIFY(link.Open());
        QTRY_VERIFY_WITH_TIMEOUT(link.LastProblem() == Rfc2217Link::Problem::KeepsDropping, WaitMs);
        QCOMPARE(failed.size(), Rfc2217Link::QuickDropLimit);
        QVERIFY(!link.IsOpen());
        QCOMPARE(link.ErrorText(),
                 QStringLiteral("%1: the connection keeps dropping as soon as it is set up").arg(Address(flaky.Port())));
        QTest::qWait(0);
        QCOMPARE(connections, Rfc2217Link::QuickDropLimit);
    }

    // ClearReceive() drops what waits here and purges only the server's
    // bytes from the line, never the bytes on their way to the terminal
    // (the write clears right after queuing its 2048 bytes).
    void clearReceivePurgesTheLineSideOnly()
    {
        ScriptedServer scripted;
        NullPort port;
        auto protocol = std::make_shared<ComPortServer>(port, "scripted");
        auto seen = std::make_shared<qsizetype>(0);
        scripted.answer = [protocol, seen](QTcpSocket&, const QByteArray& all) {
            const QByteArray fresh = all.mid(*seen);
            *seen = all.size();
            return protocol->Receive(fresh) + (fresh.contains(ComPortClient::SettingsBytes()) ? TelnetEscape("\x10") : QByteArray());
        };
        ManualClock clock;
        Rfc2217Link link(clock, Address(scripted.Port()));
        QSignalSpy ready(&link, &SerialLink::Ready);
        QVERIFY(link.Open());
        QVERIFY(ready.wait(WaitMs));
        link.Send(QByteArray("\xff\x01", 2));
        link.ClearReceive();
        QTRY_VERIFY_WITH_TIMEOUT(scripted.received.endsWith(QByteArray("\xff\xff\x01", 3) + ComPortClient::PurgeReceiveBytes()),
                                 WaitMs);
        QVERIFY(link.ReadAll().isEmpty());
    }
};

QTEST_GUILESS_MAIN(Rfc2217LinkTest)
#include "tst_rfc2217link.moc"
