// The Telnet and COM port control protocol without sockets: the framing
// both ways over any split of the stream, the option negotiation, the
// client's set-up and its checks of every answer, the server's answers and
// what it does to its port, and malformed streams.
#include "comm/rfc2217.h"
#include "platform/seriallink.h"

#include <QtTest>

namespace {

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// The events, one per line; data runs merged, so that the dump does not
// depend on how the stream was split.
QString Dump(const QList<TelnetEvent>& events)
{
    QStringList lines;
    QByteArray data;
    auto flush = [&] {
        if (!data.isEmpty())
            lines << QStringLiteral("data %1").arg(QString::fromLatin1(data.toHex()));
        data.clear();
    };
    for (const TelnetEvent& e : events) {
        if (e.kind == TelnetEvent::Kind::Data) {
            data += e.bytes;
            continue;
        }
        flush();
        if (e.kind == TelnetEvent::Kind::Negotiation) {
            static const char* verbs[] = {"WILL", "WONT", "DO", "DONT"};
            lines << QStringLiteral("%1 %2").arg(QLatin1String(verbs[e.verb - Telnet::Will])).arg(e.option);
        } else if (e.kind == TelnetEvent::Kind::Subnegotiation) {
            lines << QStringLiteral("sb %1 %2").arg(e.option).arg(QString::fromLatin1(e.bytes.toHex()));
        } else {
            lines << QStringLiteral("cmd %1").arg(e.verb);
        }
    }
    flush();
    return lines.join(u'|');
}

// A port that notes what is done to it.
struct NotingPort : ComPortServer::Port {
    QStringList log;
    bool dtr = false, rts = false;
    bool stuckDtr = false;   // a line that does not follow requests
    void WriteData(const QByteArray& bytes) override { log << QStringLiteral("data %1").arg(QString::fromLatin1(bytes.toHex())); }
    void SetDtr(bool on) override
    {
        log << (on ? QStringLiteral("D+") : QStringLiteral("D-"));
        if (!stuckDtr)
            dtr = on;
    }
    void SetRts(bool on) override
    {
        log << (on ? QStringLiteral("R+") : QStringLiteral("R-"));
        rts = on;
    }
    bool Dtr() const override { return dtr; }
    bool Rts() const override { return rts; }
    void PurgeReceive() override { log << QStringLiteral("purge"); }
};

// Client and server engines talking in memory until both are quiet;
// the number of exchanges it took.
int Converse(ComPortClient& client, ComPortServer& server, QByteArray toServer)
{
    int exchanges = 0;
    while (!toServer.isEmpty() && exchanges < 100) {
        const QByteArray toClient = server.Receive(toServer);
        toServer = client.Receive(toClient);
        ++exchanges;
    }
    return exchanges;
}

// What a server that takes everything answers to the settings.
QByteArray SettingsAnswers()
{
    using namespace ComPort;
    const quint8 a = ServerOffset;
    return ComPortCommand(a + SetBaudrate, BaudValue(Baud)) + ComPortCommand(a + SetDatasize, 8)
        + ComPortCommand(a + SetParity, ParityNone) + ComPortCommand(a + SetStopsize, OneStopBit)
        + ComPortCommand(a + SetControl, Control::NoFlow) + ComPortCommand(a + SetControl, Control::DtrOff)
        + ComPortCommand(a + SetControl, Control::RtsOff);
}

} // namespace

class Rfc2217Test : public QObject {
    Q_OBJECT
private slots:
    // The decoder gives the same events whether the stream comes whole,
    // byte by byte, or split at any one place.
    void decode_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("malformed");
        QTest::newRow("plain data") << Hex("010203") << "data 010203" << 0;
        QTest::newRow("doubled IAC is one data byte") << Hex("01ffff02") << "data 01ff02" << 0;
        QTest::newRow("IAC IAC IAC IAC") << Hex("ffffffff") << "data ffff" << 0;
        QTest::newRow("negotiations") << Hex("fffb2cfffe01fffd00fffc03") << "WILL 44|DONT 1|DO 0|WONT 3" << 0;
        QTest::newRow("data around a negotiation") << Hex("10fffb0111") << "data 10|WILL 1|data 11" << 0;
        QTest::newRow("NOP and go-ahead are commands") << Hex("fff1fff9") << "cmd 241|cmd 249" << 0;
        QTest::newRow("SE outside a subnegotiation") << Hex("41fff042") << "data 41|cmd 240|data 42" << 0;
        QTest::newRow("subnegotiation") << Hex("fffa2c6508fff0") << "sb 44 6508" << 0;
        QTest::newRow("IAC IAC inside a subnegotiation")
            << Hex("fffa2c650000ffff0f") + Hex("fff0") << "sb 44 650000ff0f" << 0;
        QTest::newRow("empty subnegotiation") << Hex("fffa2cfff0") << "sb 44 " << 0;
        QTest::newRow("unterminated subnegotiation, then a negotiation")
            << Hex("fffa2c0509fffb0110") << "WILL 1|data 10" << 1;
        QTest::newRow("subnegotiation too long")
            << Hex("fffa2c") + QByteArray(TelnetDecoder::MaxSubnegotiationBytes + 1, 'x') + Hex("fff041")
            << "data 41" << 1;
        QTest::newRow("subnegotiation of the longest length")
            << Hex("fffa05") + QByteArray(TelnetDecoder::MaxSubnegotiationBytes, 'x') + Hex("fff0")
            << QStringLiteral("sb 5 ") + QString(TelnetDecoder::MaxSubnegotiationBytes, u'x').toLatin1().toHex() << 0;
        QTest::newRow("IAC at the end waits for more") << Hex("41ff") << "data 41" << 0;
        QTest::newRow("negotiation without its option") << Hex("fffb") << "" << 0;
    }
    void decode()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, events);
        QFETCH(int, malformed);
        {
            TelnetDecoder whole;
            QCOMPARE(Dump(whole.Feed(stream)), events);
            QCOMPARE(whole.Malformed(), malformed);
        }
        TelnetDecoder bytewise;
        QList<TelnetEvent> all;
        for (char c : stream)
            all += bytewise.Feed(QByteArrayView(&c, 1));
        QCOMPARE(Dump(all), events);
        for (qsizetype cut = 1; cut < stream.size(); ++cut) {
            TelnetDecoder split;
            QList<TelnetEvent> parts = split.Feed(stream.left(cut));
            parts += split.Feed(stream.mid(cut));
            QCOMPARE(Dump(parts), events);
        }
    }

    // What goes on the wire: data with IAC doubled, commands with their
    // values escaped.
    void encode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("data") << TelnetEscape(Hex("00ff10ffff")) << Hex("00ffff10ffffffff");
        QTest::newRow("no data") << TelnetEscape(QByteArray()) << QByteArray();
        QTest::newRow("2400 baud") << ComPortCommand(ComPort::SetBaudrate, BaudValue(2400)) << Hex("fffa2c0100000960fff0");
        QTest::newRow("a baud rate holding 255") << ComPortCommand(ComPort::SetBaudrate, BaudValue(0xFF00))
                                                  << Hex("fffa2c010000ffff00fff0");
        QTest::newRow("DTR on") << ComPortClient::DtrBytes(true) << Hex("fffa2c0508fff0");
        QTest::newRow("DTR off") << ComPortClient::DtrBytes(false) << Hex("fffa2c0509fff0");
        QTest::newRow("RTS on") << ComPortClient::RtsBytes(true) << Hex("fffa2c050bfff0");
        QTest::newRow("RTS off") << ComPortClient::RtsBytes(false) << Hex("fffa2c050cfff0");
        QTest::newRow("purge what came from the line") << ComPortClient::PurgeReceiveBytes() << Hex("fffa2c0c01fff0");
        // 2400 baud, 8 data bits, no parity, 1 stop bit, no flow control,
        // DTR off, RTS off, and the line errors to be told.
        QTest::newRow("settings") << ComPortClient::SettingsBytes()
                                  << Hex("fffa2c0100000960fff0" "fffa2c0208fff0" "fffa2c0301fff0" "fffa2c0401fff0"
                                         "fffa2c0501fff0" "fffa2c0509fff0" "fffa2c050cfff0" "fffa2c0a1efff0");
    }
    void encode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, wire);
        QCOMPARE(bytes.toHex(' '), wire.toHex(' '));
    }

    // Option negotiation: agreed options are taken, others refused, nothing
    // in force is acknowledged again, and a refusal of what we asked is told.
    void negotiation_data()
    {
        QTest::addColumn<QString>("asked");      // what we asked first: "WILL 44", "DO 0" or ""
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QByteArray>("replies");
        QTest::addColumn<QString>("outcome");    // of the last received: enabled, refused, disabled or -
        const QByteArray willCom = TelnetNegotiation(Telnet::Will, 44);
        const QByteArray doCom = TelnetNegotiation(Telnet::Do, 44);
        const QByteArray dontCom = TelnetNegotiation(Telnet::Dont, 44);
        const QByteArray wontCom = TelnetNegotiation(Telnet::Wont, 44);
        QTest::newRow("peer offers an agreed option") << "" << willCom << doCom << "enabled";
        QTest::newRow("offered again: no answer") << "" << willCom + willCom << doCom << "-";
        QTest::newRow("peer asks us for an agreed option") << "" << doCom << willCom << "enabled";
        QTest::newRow("echo is refused") << "" << TelnetNegotiation(Telnet::Will, Telnet::Echo)
                                         << TelnetNegotiation(Telnet::Dont, Telnet::Echo) << "-";
        QTest::newRow("unknown option asked of us") << "" << TelnetNegotiation(Telnet::Do, 24)
                                                    << TelnetNegotiation(Telnet::Wont, 24) << "-";
        QTest::newRow("refusal of an option that is off: no answer") << "" << wontCom + dontCom << QByteArray() << "-";
        QTest::newRow("our WILL taken") << "WILL 44" << doCom << QByteArray() << "enabled";
        QTest::newRow("our WILL refused") << "WILL 44" << dontCom << QByteArray() << "refused";
        QTest::newRow("our DO refused") << "DO 0" << TelnetNegotiation(Telnet::Wont, 0) << QByteArray() << "refused";
        QTest::newRow("taken, then switched off") << "WILL 44" << doCom + dontCom << wontCom << "disabled";
    }
    void negotiation()
    {
        QFETCH(QString, asked);
        QFETCH(QByteArray, received);
        QFETCH(QByteArray, replies);
        QFETCH(QString, outcome);
        TelnetOptions options;
        for (quint8 option : {quint8(0), quint8(3), quint8(44)}) {
            options.Accept(TelnetOptions::Side::Local, option);
            options.Accept(TelnetOptions::Side::Remote, option);
        }
        if (!asked.isEmpty()) {
            const auto side = asked.startsWith(u"WILL") ? TelnetOptions::Side::Local : TelnetOptions::Side::Remote;
            QVERIFY(!options.Ask(side, quint8(asked.section(u' ', 1).toInt())).isEmpty());
            QVERIFY(options.Ask(side, quint8(asked.section(u' ', 1).toInt())).isEmpty());   // asked once
        }
        QByteArray sent;
        TelnetOptions::Outcome last;
        TelnetDecoder decoder;
        for (const TelnetEvent& e : decoder.Feed(received)) {
            last = options.Receive(e.verb, e.option);
            sent += last.reply;
        }
        QCOMPARE(sent.toHex(' '), replies.toHex(' '));
        const QString got = last.enabled ? QStringLiteral("enabled")
                            : last.refused ? QStringLiteral("refused")
                            : last.disabled ? QStringLiteral("disabled")
                                            : QStringLiteral("-");
        QCOMPARE(got, outcome);
    }

    // Our two halves agree in a few exchanges, and then the lines, bytes
    // and purges reach the port in the order they were asked, the data's
    // IAC bytes intact both ways.
    void clientAndServerAgree()
    {
        NotingPort port;
        ComPortServer server(port, "sim");
        ComPortClient client;
        QVERIFY(Converse(client, server, client.Begin()) <= 3);
        QCOMPARE(client.CurrentPhase(), ComPortClient::Phase::Ready);
        QVERIFY(server.ClientSpeaksComPort());
        QCOMPARE(port.log.join(u' '), QStringLiteral("D- R-"));
        port.log.clear();
        const QByteArray requests = ComPortClient::DtrBytes(true) + ComPortClient::RtsBytes(true)
            + ComPortClient::DtrBytes(false) + TelnetEscape(Hex("30ff31")) + ComPortClient::PurgeReceiveBytes();
        const QByteArray answers = server.Receive(requests);
        QCOMPARE(port.log.join(u' '), QStringLiteral("D+ R+ D- data 30ff31 purge"));
        QVERIFY(client.Receive(answers + TelnetEscape(Hex("10ff"))).isEmpty());
        QCOMPARE(client.TakeData().toHex(), QByteArray("10ff"));
        QVERIFY(client.TakeData().isEmpty());
    }

    // The client's set-up against servers of every kind: what it sends
    // back, and where it ends.
    void clientSetUp_data()
    {
        QTest::addColumn<QByteArray>("fromServer");
        QTest::addColumn<QString>("phase");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<bool>("settingsSent");
        using namespace ComPort;
        const QByteArray doCom = TelnetNegotiation(Telnet::Do, Telnet::ComPortOption);
        const quint8 a = ServerOffset;
        QTest::newRow("takes everything") << doCom + SettingsAnswers() << "Ready" << "" << true;
        QTest::newRow("answers in pieces") << doCom + SettingsAnswers().left(20) << "Configuring" << "" << true;
        // Some servers offer the option themselves instead of answering ours.
        QTest::newRow("offers the option itself") << TelnetNegotiation(Telnet::Will, Telnet::ComPortOption)
                                                  << "Configuring" << "" << true;
        QTest::newRow("says nothing") << QByteArray() << "Negotiating" << "" << false;
        QTest::newRow("only plain Telnet options") << TelnetNegotiation(Telnet::Will, Telnet::Echo)
                + TelnetNegotiation(Telnet::Do, Telnet::SuppressGoAhead)
                                                   << "Negotiating" << "" << false;
        QTest::newRow("refuses the option") << TelnetNegotiation(Telnet::Dont, Telnet::ComPortOption) << "Refused"
                                            << "Option COM-PORT-OPTION" << false;
        QTest::newRow("9600 baud") << doCom + ComPortCommand(a + SetBaudrate, BaudValue(9600)) << "Refused"
                                   << "Settings SET-BAUDRATE 2400 answered 9600" << true;
        QTest::newRow("7 data bits") << doCom + ComPortCommand(a + SetDatasize, 7) << "Refused"
                                     << "Settings SET-DATASIZE 8 answered 7" << true;
        QTest::newRow("hardware flow control")
            << doCom + ComPortCommand(a + SetControl, Control::Hardware) << "Refused"
            << "Settings SET-CONTROL 1 answered 3" << true;
        QTest::newRow("DTR stays on")
            << doCom + SettingsAnswers().replace(ComPortCommand(a + SetControl, Control::DtrOff),
                                                 ComPortCommand(a + SetControl, Control::DtrOn))
            << "Refused" << "ControlLines DTR" << true;
        QTest::newRow("RTS not driven")
            << doCom + SettingsAnswers().replace(ComPortCommand(a + SetControl, Control::RtsOff),
                                                 ComPortCommand(a + SetControl, Control::InboundNoFlow))
            << "Refused" << "ControlLines RTS" << true;
        QTest::newRow("switches the option off after taking it")
            << doCom + SettingsAnswers() + TelnetNegotiation(Telnet::Dont, Telnet::ComPortOption) << "Refused"
            << "Option COM-PORT-OPTION" << true;
    }
    void clientSetUp()
    {
        QFETCH(QByteArray, fromServer);
        QFETCH(QString, phase);
        QFETCH(QString, detail);
        QFETCH(bool, settingsSent);
        ComPortClient client;
        QCOMPARE(client.Begin().toHex(' '), Hex("fffb2c fffb00 fffd00").toHex(' '));
        const QByteArray sent = client.Receive(fromServer);
        static const char* phases[] = {"Negotiating", "Configuring", "Ready", "Refused"};
        QCOMPARE(QString::fromLatin1(phases[int(client.CurrentPhase())]), phase);
        static const char* refusals[] = {"None", "Option", "Settings", "ControlLines"};
        if (!detail.isEmpty())
            QCOMPARE(QStringLiteral("%1 %2").arg(QLatin1String(refusals[int(client.WhatRefused())]), client.RefusedDetail()),
                     detail);
        QCOMPARE(sent.contains(ComPortClient::SettingsBytes()), settingsSent);
    }

    // Bytes before the line is set up are no terminal's: they are kept as
    // the server's words (printable, cut short), never delivered; after it,
    // every byte is delivered and line errors are told.
    void clientReceiving()
    {
        ComPortClient client;
        client.Begin();
        client.Receive(QByteArray("\r\nbusy: this simulated\tterminal\x01 is serving 10.0.0.1:4\r\n")
                       + QByteArray(300, 'x'));
        QVERIFY(client.TakeData().isEmpty());
        QVERIFY(client.ServerText().startsWith(u"busy: this simulated terminal is serving 10.0.0.1:4 xxx"));
        QCOMPARE(client.ServerText().size(), ComPortClient::MaxServerText - 4);
        const quint8 notify = ComPort::ServerOffset + ComPort::NotifyLinestate;
        client.Receive(ComPortCommand(notify, ComPort::LineFraming));
        QVERIFY(client.TakeLineErrors().isEmpty());   // not yet set up: no line to be in error
        client.Receive(TelnetNegotiation(Telnet::Do, Telnet::ComPortOption) + SettingsAnswers());
        QCOMPARE(client.CurrentPhase(), ComPortClient::Phase::Ready);
        client.Receive(Hex("10ffff") + ComPortCommand(notify, ComPort::LineFraming) + ComPortCommand(notify, 0x60)
                       + ComPortCommand(notify, ComPort::LineOverrun | ComPort::LineParity)
                       + ComPortCommand(notify, ComPort::LineBreak | ComPort::LineFraming));
        QCOMPARE(client.TakeData(), Hex("10ff"));
        QCOMPARE(client.TakeLineErrors(),
                 (QList<int>{LinkEvent::FramingError, LinkEvent::ParityError, LinkEvent::Break}));
        // Its signature when the server asks for it.
        QCOMPARE(client.Receive(ComPortCommand(ComPort::ServerOffset + ComPort::Signature, QByteArrayView())),
                 ComPortCommand(ComPort::Signature, QByteArrayView("vardelo")));
    }

    // The served terminal's line is fixed: every request is answered with
    // what is in force, and the lines follow the client.
    void serverAnswers_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("port");
        using namespace ComPort;
        const quint8 a = ServerOffset;
        QTest::newRow("2400 baud") << ComPortCommand(SetBaudrate, BaudValue(2400))
                                   << ComPortCommand(a + SetBaudrate, BaudValue(2400)) << "";
        QTest::newRow("9600 baud: stays 2400") << ComPortCommand(SetBaudrate, BaudValue(9600))
                                               << ComPortCommand(a + SetBaudrate, BaudValue(2400)) << "";
        QTest::newRow("baud rate asked") << ComPortCommand(SetBaudrate, BaudValue(0))
                                         << ComPortCommand(a + SetBaudrate, BaudValue(2400)) << "";
        QTest::newRow("7 data bits: stays 8") << ComPortCommand(SetDatasize, 7) << ComPortCommand(a + SetDatasize, 8) << "";
        QTest::newRow("even parity: stays none") << ComPortCommand(SetParity, 3) << ComPortCommand(a + SetParity, 1) << "";
        QTest::newRow("2 stop bits: stays 1") << ComPortCommand(SetStopsize, 2) << ComPortCommand(a + SetStopsize, 1) << "";
        QTest::newRow("no flow control") << ComPortCommand(SetControl, Control::NoFlow)
                                         << ComPortCommand(a + SetControl, Control::NoFlow) << "";
        QTest::newRow("hardware flow control: stays none") << ComPortCommand(SetControl, Control::Hardware)
                                                           << ComPortCommand(a + SetControl, Control::NoFlow) << "";
        QTest::newRow("DTR on") << ComPortCommand(SetControl, Control::DtrOn)
                                << ComPortCommand(a + SetControl, Control::DtrOn) << "D+";
        QTest::newRow("DTR asked") << ComPortCommand(SetControl, Control::DtrRequest)
                                   << ComPortCommand(a + SetControl, Control::DtrOff) << "";
        QTest::newRow("RTS on, then off") << ComPortCommand(SetControl, Control::RtsOn) + ComPortCommand(SetControl, Control::RtsOff)
                                          << ComPortCommand(a + SetControl, Control::RtsOn) + ComPortCommand(a + SetControl, Control::RtsOff)
                                          << "R+ R-";
        QTest::newRow("break: none") << ComPortCommand(SetControl, Control::BreakOn)
                                     << ComPortCommand(a + SetControl, Control::BreakOff) << "";
        QTest::newRow("purge the line's bytes") << ComPortCommand(PurgeData, PurgeReceive)
                                                << ComPortCommand(a + PurgeData, PurgeReceive) << "purge";
        QTest::newRow("purge the bytes to the line: nothing to drop") << ComPortCommand(PurgeData, PurgeTransmit)
                                                                      << ComPortCommand(a + PurgeData, PurgeTransmit) << "";
        QTest::newRow("signature asked") << ComPortCommand(Signature, QByteArrayView())
                                         << ComPortCommand(a + Signature, QByteArrayView("sim")) << "";
        QTest::newRow("flow suspended: nothing to answer") << ComPortCommand(FlowSuspend, QByteArrayView()) << QByteArray() << "";
        QTest::newRow("another option's subnegotiation") << Hex("fffa1801fff0") << QByteArray() << "";
        QTest::newRow("data, IAC doubled") << TelnetEscape(Hex("ff00ff")) << QByteArray() << "data ff00ff";
        QTest::newRow("echo asked: refused") << TelnetNegotiation(Telnet::Do, Telnet::Echo)
                                             << TelnetNegotiation(Telnet::Wont, Telnet::Echo) << "";
    }
    void serverAnswers()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(QString, port);
        NotingPort p;
        ComPortServer server(p, "sim");
        QCOMPARE(server.Receive(request).toHex(' '), answer.toHex(' '));
        QCOMPARE(p.log.join(u' '), port);
    }

    // A line error is told only when the client asked for such notices.
    void serverLineErrors()
    {
        NotingPort p;
        ComPortServer server(p, "sim");
        QVERIFY(server.LineErrorNotice(LinkEvent::FramingError).isEmpty());
        server.Receive(ComPortCommand(ComPort::SetLinestateMask, ComPort::LineErrorBits));
        QCOMPARE(server.LineErrorNotice(LinkEvent::FramingError),
                 ComPortCommand(ComPort::ServerOffset + ComPort::NotifyLinestate, ComPort::LineFraming));
        QVERIFY(server.LineErrorNotice(LinkEvent::Received).isEmpty());
    }

    // Malformed streams: each engine looks at every byte once, keeps its
    // memory small, and answers no more than it was asked.
    void malformedStreams_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::newRow("IAC alone") << Hex("ff");
        QTest::newRow("SB without end") << Hex("fffa2c") + QByteArray(100000, '\x01');
        QTest::newRow("SB after SB") << Hex("fffa").repeated(5000);
        QTest::newRow("SB of IACs") << Hex("fffa2c") + QByteArray(100001, '\xff');
        QTest::newRow("negotiation storm") << (Hex("fffb01fffc01fffd02fffe02")).repeated(5000);
        QTest::newRow("every COM port answer, empty") << [] {
            QByteArray s;
            for (int c = 0; c < 256; ++c)
                s += ComPortCommand(quint8(c), QByteArrayView());
            return s;
        }();
        QTest::newRow("every byte value twice") << [] {
            QByteArray s;
            for (int c = 0; c < 512; ++c)
                s += char(c & 0xFF);
            return s;
        }();
    }
    void malformedStreams()
    {
        QFETCH(QByteArray, stream);
        ComPortClient client;
        client.Begin();
        const QByteArray clientReply = client.Receive(stream);
        QVERIFY(client.TakeData().size() <= stream.size());
        QVERIFY(clientReply.size() <= stream.size() + ComPortClient::SettingsBytes().size());
        NotingPort p;
        ComPortServer server(p, "sim");
        const QByteArray serverReply = server.Receive(stream);
        // Every answer is at most a few bytes for each request of at least
        // three: 2400 baud (4 bytes) for an empty SET-BAUDRATE is the most.
        QVERIFY(serverReply.size() <= 2 * stream.size() + 16);
    }
};

QTEST_GUILESS_MAIN(Rfc2217Test)
#include "tst_rfc2217.moc"
