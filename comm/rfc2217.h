#pragma once
// Serial over the network as serial device servers speak it: Telnet
// (RFC 854) with the COM port control option (RFC 2217), which carries the
// baud rate and the DTR and RTS lines beside the bytes. Pure protocol, no
// sockets and no timers: bytes in, bytes out. The network link and the
// served simulated terminal drive these engines over TCP.
//
// What is spoken:
//   - Telnet framing both ways: IAC doubled in data, IAC commands, option
//     negotiation (RFC 1143 without its queue), subnegotiation
//     IAC SB ... IAC SE with IAC IAC inside. Binary transmission and
//     suppress-go-ahead are agreed to; echo and every other option refused.
//     No newline translation (the line carries bytes, not text).
//   - COM-PORT-OPTION (44): SET-BAUDRATE, SET-DATASIZE, SET-PARITY,
//     SET-STOPSIZE, SET-CONTROL (flow control, DTR, RTS, queries), PURGE-DATA,
//     SET-LINESTATE-MASK, NOTIFY-LINESTATE, NOTIFY-MODEMSTATE, SIGNATURE;
//     the server answers each with its code + 100.
// A malformed stream never grows memory beyond a small bound and never
// loops: every input byte is looked at once.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <array>

namespace Telnet {
constexpr quint8 Iac = 255, Dont = 254, Do = 253, Wont = 252, Will = 251, Sb = 250, Se = 240;
constexpr quint8 Binary = 0, Echo = 1, SuppressGoAhead = 3, ComPortOption = 44;
}

namespace ComPort {
// Client to server; the server answers with the same code + ServerOffset.
constexpr quint8 Signature = 0, SetBaudrate = 1, SetDatasize = 2, SetParity = 3, SetStopsize = 4,
                 SetControl = 5, NotifyLinestate = 6, NotifyModemstate = 7, FlowSuspend = 8,
                 FlowResume = 9, SetLinestateMask = 10, SetModemstateMask = 11, PurgeData = 12;
constexpr quint8 ServerOffset = 100;
// SET-CONTROL values.
namespace Control {
constexpr quint8 FlowRequest = 0, NoFlow = 1, XonXoff = 2, Hardware = 3;
constexpr quint8 BreakRequest = 4, BreakOn = 5, BreakOff = 6;
constexpr quint8 DtrRequest = 7, DtrOn = 8, DtrOff = 9;
constexpr quint8 RtsRequest = 10, RtsOn = 11, RtsOff = 12;
constexpr quint8 InboundFlowRequest = 13, InboundNoFlow = 14;
}
constexpr quint8 ParityNone = 1, OneStopBit = 1;
// PURGE-DATA: the server's buffer of bytes from the line, to the line, both.
constexpr quint8 PurgeReceive = 1, PurgeTransmit = 2, PurgeBoth = 3;
// NOTIFY-LINESTATE bits of line errors.
constexpr quint8 LineOverrun = 0x02, LineParity = 0x04, LineFraming = 0x08, LineBreak = 0x10;
constexpr quint8 LineErrorBits = LineOverrun | LineParity | LineFraming | LineBreak;

// The line this program speaks: 2400 baud, 8 data bits, no parity, 1 stop bit.
constexpr quint32 Baud = 2400;
constexpr quint8 DataBits = 8;
}

// One thing the peer said.
struct TelnetEvent {
    enum class Kind { Data, Negotiation, Subnegotiation, Command };
    Kind kind = Kind::Data;
    quint8 verb = 0;     // Negotiation: Will/Wont/Do/Dont; Command: the byte after IAC
    quint8 option = 0;   // Negotiation, Subnegotiation
    QByteArray bytes;    // Data: the bytes; Subnegotiation: the payload after the option, unescaped
    bool operator==(const TelnetEvent&) const = default;
};

// Splits a Telnet stream into data, negotiations, subnegotiations and
// commands, across any split of the stream into pieces.
class TelnetDecoder {
public:
    // A subnegotiation longer than this is no COM port command: it is
    // dropped whole (and counted as malformed).
    static constexpr int MaxSubnegotiationBytes = 64;

    QList<TelnetEvent> Feed(QByteArrayView bytes);
    // Subnegotiations dropped as too long or unterminated.
    int Malformed() const { return malformed_; }

private:
    enum class State { Data, Iac, Verb, SbOption, SbData, SbIac };
    void AfterIac(quint8 b, QList<TelnetEvent>& out);
    State state_ = State::Data;
    quint8 verb_ = 0;
    quint8 sbOption_ = 0;
    QByteArray sb_;
    bool sbOverflow_ = false;
    int malformed_ = 0;
};

// Data with every IAC doubled.
QByteArray TelnetEscape(QByteArrayView data);
QByteArray TelnetNegotiation(quint8 verb, quint8 option);
// IAC SB COM-PORT-OPTION command value IAC SE, the value escaped.
QByteArray ComPortCommand(quint8 command, QByteArrayView value);
QByteArray ComPortCommand(quint8 command, quint8 value);
QByteArray BaudValue(quint32 baud);

// Which options each side has on, and what to answer the peer's WILL, WONT,
// DO and DONT: agreed options are taken, others refused, and nothing already
// in force is acknowledged again (so two engines never answer each other
// forever).
class TelnetOptions {
public:
    enum class Side { Local, Remote };   // what we do (WILL/WONT), what the peer does (DO/DONT)
    void Accept(Side side, quint8 option) { accept_[Index(side)][option] = true; }
    // Our WILL (Local) or DO (Remote); empty when already on or asked.
    QByteArray Ask(Side side, quint8 option);
    bool Enabled(Side side, quint8 option) const { return state_[Index(side)][option] == Q::Yes; }

    struct Outcome {
        QByteArray reply;
        Side side = Side::Local;
        bool enabled = false;    // the option has just come on
        bool refused = false;    // what we asked for was refused
        bool disabled = false;   // an option in force was switched off
    };
    Outcome Receive(quint8 verb, quint8 option);

private:
    enum class Q : quint8 { No, Yes, WantYes, WantNo };
    static int Index(Side side) { return side == Side::Local ? 0 : 1; }
    std::array<std::array<Q, 256>, 2> state_{};
    std::array<std::array<bool, 256>, 2> accept_{};
};

// The client's half: offers the COM port option, and once the server has
// taken it sets 2400 baud, 8 data bits, no parity, 1 stop bit, no flow
// control, DTR and RTS off, and checks every answer. Line changes and data
// after that are sent without waiting for their answers.
class ComPortClient {
public:
    enum class Phase {
        Negotiating,   // the COM port option is offered, not yet taken
        Configuring,   // the settings are sent, not all answered
        Ready,         // every setting answered as asked
        Refused        // the server refused the option or a setting
    };
    enum class Refusal { None, Option, Settings, ControlLines };

    ComPortClient();
    // The opening: WILL COM-PORT-OPTION, and binary transmission both ways.
    QByteArray Begin();
    // Takes bytes from the server; returns what to send back (answers to its
    // negotiation, and the settings once the option is taken).
    QByteArray Receive(QByteArrayView bytes);
    // The serial bytes received since the last call.
    QByteArray TakeData();
    // Line errors the server reported (LinkEvent codes), since the last call.
    QList<int> TakeLineErrors();

    Phase CurrentPhase() const { return phase_; }
    Refusal WhatRefused() const { return refusal_; }
    // What was refused: "SET-BAUDRATE 2400 answered 9600", "DTR".
    QString RefusedDetail() const { return refusedDetail_; }
    // Of a server that refuses: the printable text it sent before (a
    // server's words of why, such as a busy served terminal's), cut short.
    QString ServerText() const;
    // While configuring: the first setting not yet answered ("SET-BAUDRATE",
    // "DTR", "RTS", ...); empty otherwise.
    QString FirstUnanswered() const { return expected_.isEmpty() ? QString() : expected_.first().name; }
    const TelnetDecoder& Decoder() const { return decoder_; }

    // Requests of the running link.
    static QByteArray DtrBytes(bool on);
    static QByteArray RtsBytes(bool on);
    static QByteArray PurgeReceiveBytes();
    // The settings, in the order they are sent at connect.
    static QByteArray SettingsBytes();

    static constexpr int MaxServerText = 200;

private:
    void OnSubnegotiation(const TelnetEvent& e, QByteArray& reply);
    void Refuse(Refusal what, const QString& detail);
    struct Expected {
        quint8 command;
        QByteArray value;
        QString name;
    };
    TelnetDecoder decoder_;
    TelnetOptions options_;
    Phase phase_ = Phase::Negotiating;
    Refusal refusal_ = Refusal::None;
    QString refusedDetail_;
    QList<Expected> expected_;
    QByteArray data_;
    QByteArray textBeforeReady_;
    QList<int> lineErrors_;
};

// The server's half, for a port with fixed settings (2400 8N1, no flow
// control): answers the client's negotiation and COM port commands and
// applies data, DTR, RTS and purges to the port in the order they came.
class ComPortServer {
public:
    class Port {
    public:
        virtual ~Port() = default;
        virtual void WriteData(const QByteArray& bytes) = 0;
        virtual void SetDtr(bool on) = 0;
        virtual void SetRts(bool on) = 0;
        virtual bool Dtr() const = 0;
        virtual bool Rts() const = 0;
        virtual void PurgeReceive() = 0;
    };
    ComPortServer(Port& port, const QByteArray& signature);
    // Takes bytes from the client; returns the answers to send back.
    QByteArray Receive(QByteArrayView bytes);
    // NOTIFY-LINESTATE for a line error (a LinkEvent code), when the client
    // asked for such notices; empty otherwise.
    QByteArray LineErrorNotice(int linkEventCode) const;
    // The client has taken the COM port option (either way round).
    bool ClientSpeaksComPort() const;

private:
    QByteArray OnCommand(quint8 command, const QByteArray& value);
    Port& port_;
    QByteArray signature_;
    TelnetDecoder decoder_;
    TelnetOptions options_;
    quint8 lineStateMask_ = 0;
};
