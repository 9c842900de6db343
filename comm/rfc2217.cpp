#include "comm/rfc2217.h"

#include "platform/seriallink.h"

#include <utility>

// ---------------------------------------------------------------- framing

QList<TelnetEvent> TelnetDecoder::Feed(QByteArrayView bytes)
{
    QList<TelnetEvent> out;
    auto data = [&out](char c) {
        if (out.isEmpty() || out.last().kind != TelnetEvent::Kind::Data)
            out.append(TelnetEvent{});
        out.last().bytes.append(c);
    };
    for (const char c : bytes) {
        const quint8 b = quint8(c);
        switch (state_) {
        case State::Data:
            if (b == Telnet::Iac)
                state_ = State::Iac;
            else
                data(c);
            break;
        case State::Iac:
            if (b == Telnet::Iac) {
                data(c);
                state_ = State::Data;
            } else {
                AfterIac(b, out);
            }
            break;
        case State::Verb:
            out.append({TelnetEvent::Kind::Negotiation, verb_, b, {}});
            state_ = State::Data;
            break;
        case State::SbOption:
            sbOption_ = b;
            sb_.clear();
            sbOverflow_ = false;
            state_ = State::SbData;
            break;
        case State::SbData:
            if (b == Telnet::Iac) {
                state_ = State::SbIac;
            } else if (sb_.size() < MaxSubnegotiationBytes) {
                sb_.append(c);
            } else {
                sbOverflow_ = true;
            }
            break;
        case State::SbIac:
            if (b == Telnet::Iac) {
                if (sb_.size() < MaxSubnegotiationBytes)
                    sb_.append(c);
                else
                    sbOverflow_ = true;
                state_ = State::SbData;
            } else if (b == Telnet::Se) {
                if (sbOverflow_)
                    ++malformed_;
                else
                    out.append({TelnetEvent::Kind::Subnegotiation, 0, sbOption_, sb_});
                sb_.clear();
                state_ = State::Data;
            } else {
                // A subnegotiation that never ends: dropped, and the IAC
                // taken as the start of the command it begins.
                ++malformed_;
                sb_.clear();
                AfterIac(b, out);
            }
            break;
        }
    }
    return out;
}

void TelnetDecoder::AfterIac(quint8 b, QList<TelnetEvent>& out)
{
    if (b >= Telnet::Will && b <= Telnet::Dont) {
        verb_ = b;
        state_ = State::Verb;
    } else if (b == Telnet::Sb) {
        state_ = State::SbOption;
    } else {
        // NOP, go-ahead, break and the others: nothing for a serial line.
        out.append({TelnetEvent::Kind::Command, b, 0, {}});
        state_ = State::Data;
    }
}

QByteArray TelnetEscape(QByteArrayView data)
{
    QByteArray out;
    out.reserve(data.size());
    for (const char c : data) {
        out.append(c);
        if (quint8(c) == Telnet::Iac)
            out.append(c);
    }
    return out;
}

QByteArray TelnetNegotiation(quint8 verb, quint8 option)
{
    const char bytes[] = {char(Telnet::Iac), char(verb), char(option)};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray ComPortCommand(quint8 command, QByteArrayView value)
{
    const char head[] = {char(Telnet::Iac), char(Telnet::Sb), char(Telnet::ComPortOption), char(command)};
    QByteArray out(head, sizeof head);
    out += TelnetEscape(value);
    out += char(Telnet::Iac);
    out += char(Telnet::Se);
    return out;
}

QByteArray ComPortCommand(quint8 command, quint8 value)
{
    const char v = char(value);
    return ComPortCommand(command, QByteArrayView(&v, 1));
}

QByteArray BaudValue(quint32 baud)
{
    const char bytes[] = {char(baud >> 24), char(baud >> 16), char(baud >> 8), char(baud)};
    return QByteArray(bytes, sizeof bytes);
}

// ---------------------------------------------------------------- options

QByteArray TelnetOptions::Ask(Side side, quint8 option)
{
    Q& q = state_[Index(side)][option];
    if (q != Q::No)
        return {};
    q = Q::WantYes;
    return TelnetNegotiation(side == Side::Local ? Telnet::Will : Telnet::Do, option);
}

TelnetOptions::Outcome TelnetOptions::Receive(quint8 verb, quint8 option)
{
    Outcome o;
    // WILL and WONT speak of what the peer does; DO and DONT of what we do.
    const bool positive = verb == Telnet::Will || verb == Telnet::Do;
    o.side = (verb == Telnet::Will || verb == Telnet::Wont) ? Side::Remote : Side::Local;
    const quint8 yes = o.side == Side::Remote ? Telnet::Do : Telnet::Will;
    const quint8 no = o.side == Side::Remote ? Telnet::Dont : Telnet::Wont;
    Q& q = state_[Index(o.side)][option];
    if (positive) {
        switch (q) {
        case Q::No:
            if (accept_[Index(o.side)][option]) {
                q = Q::Yes;
                o.enabled = true;
                o.reply = TelnetNegotiation(yes, option);
            } else {
                o.reply = TelnetNegotiation(no, option);
            }
            break;
        case Q::WantYes:
            q = Q::Yes;
            o.enabled = true;
            break;
        case Q::WantNo:   // our refusal answered by a yes: the peer is wrong, stay off
            q = Q::No;
            break;
        case Q::Yes:
            break;
        }
    } else {
        switch (q) {
        case Q::Yes:
            q = Q::No;
            o.disabled = true;
            o.reply = TelnetNegotiation(no, option);
            break;
        case Q::WantYes:
            q = Q::No;
            o.refused = true;
            break;
        case Q::WantNo:
            q = Q::No;
            break;
        case Q::No:
            break;
        }
    }
    return o;
}

// ---------------------------------------------------------------- client

namespace {
QString Hex(const QByteArray& value)
{
    if (value.size() == 4)
        return QString::number((quint32(quint8(value[0])) << 24) | (quint32(quint8(value[1])) << 16)
                               | (quint32(quint8(value[2])) << 8) | quint32(quint8(value[3])));
    if (value.size() == 1)
        return QString::number(quint8(value[0]));
    return value.isEmpty() ? QStringLiteral("nothing") : QString::fromLatin1(value.toHex(' '));
}

// Line errors as NOTIFY-LINESTATE tells them and as the link raises them,
// the first that applies winning.
constexpr std::pair<int, quint8> LineErrors[] = {{LinkEvent::Break, ComPort::LineBreak},
                                                 {LinkEvent::FramingError, ComPort::LineFraming},
                                                 {LinkEvent::ParityError, ComPort::LineParity},
                                                 {LinkEvent::Overrun, ComPort::LineOverrun}};

int LineErrorCode(quint8 lineState)
{
    for (const auto& [code, bit] : LineErrors)
        if (lineState & bit)
            return code;
    return 0;
}
}

ComPortClient::ComPortClient()
{
    using Side = TelnetOptions::Side;
    for (quint8 option : {Telnet::Binary, Telnet::SuppressGoAhead, Telnet::ComPortOption}) {
        options_.Accept(Side::Local, option);
        options_.Accept(Side::Remote, option);
    }
}

QByteArray ComPortClient::Begin()
{
    using Side = TelnetOptions::Side;
    return options_.Ask(Side::Local, Telnet::ComPortOption) + options_.Ask(Side::Local, Telnet::Binary)
        + options_.Ask(Side::Remote, Telnet::Binary);
}

QByteArray ComPortClient::SettingsBytes()
{
    using namespace ComPort;
    return ComPortCommand(SetBaudrate, BaudValue(Baud)) + ComPortCommand(SetDatasize, DataBits)
        + ComPortCommand(SetParity, ParityNone) + ComPortCommand(SetStopsize, OneStopBit)
        + ComPortCommand(SetControl, Control::NoFlow) + ComPortCommand(SetControl, Control::DtrOff)
        + ComPortCommand(SetControl, Control::RtsOff) + ComPortCommand(SetLinestateMask, LineErrorBits);
}

QByteArray ComPortClient::DtrBytes(bool on)
{
    return ComPortCommand(ComPort::SetControl, on ? ComPort::Control::DtrOn : ComPort::Control::DtrOff);
}

QByteArray ComPortClient::RtsBytes(bool on)
{
    return ComPortCommand(ComPort::SetControl, on ? ComPort::Control::RtsOn : ComPort::Control::RtsOff);
}

QByteArray ComPortClient::PurgeReceiveBytes()
{
    return ComPortCommand(ComPort::PurgeData, ComPort::PurgeReceive);
}

QByteArray ComPortClient::Receive(QByteArrayView bytes)
{
    QByteArray reply;
    for (const TelnetEvent& e : decoder_.Feed(bytes)) {
        switch (e.kind) {
        case TelnetEvent::Kind::Data:
            if (phase_ == Phase::Ready) {
                data_ += e.bytes;
            } else if (textBeforeReady_.size() < MaxServerText) {
                // Before the line is set up, the bytes are no terminal's:
                // at most a server's words, kept for the message.
                textBeforeReady_ += e.bytes.left(MaxServerText - textBeforeReady_.size());
            }
            break;
        case TelnetEvent::Kind::Negotiation: {
            const TelnetOptions::Outcome o = options_.Receive(e.verb, e.option);
            reply += o.reply;
            if (e.option != Telnet::ComPortOption)
                break;
            using Side = TelnetOptions::Side;
            const bool on = options_.Enabled(Side::Local, e.option) || options_.Enabled(Side::Remote, e.option);
            if (on && phase_ == Phase::Negotiating) {
                phase_ = Phase::Configuring;
                using namespace ComPort;
                expected_ = {{SetBaudrate, BaudValue(Baud), QStringLiteral("SET-BAUDRATE")},
                             {SetDatasize, QByteArray(1, char(DataBits)), QStringLiteral("SET-DATASIZE")},
                             {SetParity, QByteArray(1, char(ParityNone)), QStringLiteral("SET-PARITY")},
                             {SetStopsize, QByteArray(1, char(OneStopBit)), QStringLiteral("SET-STOPSIZE")},
                             {SetControl, QByteArray(1, char(Control::NoFlow)), QStringLiteral("SET-CONTROL")},
                             {SetControl, QByteArray(1, char(Control::DtrOff)), QStringLiteral("DTR")},
                             {SetControl, QByteArray(1, char(Control::RtsOff)), QStringLiteral("RTS")}};
                reply += SettingsBytes();
            } else if (!on && (o.refused || o.disabled) && phase_ != Phase::Refused) {
                Refuse(Refusal::Option, QStringLiteral("COM-PORT-OPTION"));
            }
            break;
        }
        case TelnetEvent::Kind::Subnegotiation:
            if (e.option == Telnet::ComPortOption)
                OnSubnegotiation(e, reply);
            break;
        case TelnetEvent::Kind::Command:
            break;
        }
    }
    return reply;
}

void ComPortClient::OnSubnegotiation(const TelnetEvent& e, QByteArray& reply)
{
    if (e.bytes.isEmpty())
        return;
    const quint8 code = quint8(e.bytes[0]);
    const QByteArray value = e.bytes.mid(1);
    if (code == ComPort::ServerOffset + ComPort::NotifyLinestate) {
        if (!value.isEmpty()) {
            if (const int error = LineErrorCode(quint8(value[0])); error != 0 && phase_ == Phase::Ready)
                lineErrors_.append(error);
        }
        return;
    }
    if (code == ComPort::ServerOffset + ComPort::Signature) {
        // An empty signature asks for ours.
        if (value.isEmpty())
            reply += ComPortCommand(ComPort::Signature, QByteArrayView("vardelo"));
        return;
    }
    if (phase_ != Phase::Configuring || code < ComPort::ServerOffset)
        return;
    const quint8 command = code - ComPort::ServerOffset;
    for (qsizetype i = 0; i < expected_.size(); ++i) {
        if (expected_[i].command != command)
            continue;
        const Expected asked = expected_.takeAt(i);
        if (value != asked.value) {
            const bool line = asked.name == u"DTR" || asked.name == u"RTS";
            Refuse(line ? Refusal::ControlLines : Refusal::Settings,
                   line ? asked.name
                        : QStringLiteral("%1 %2 answered %3").arg(asked.name, Hex(asked.value), Hex(value)));
        } else if (expected_.isEmpty()) {
            phase_ = Phase::Ready;
        }
        return;
    }
}

void ComPortClient::Refuse(Refusal what, const QString& detail)
{
    phase_ = Phase::Refused;
    refusal_ = what;
    refusedDetail_ = detail;
    expected_.clear();
}

QString ComPortClient::ServerText() const
{
    QString text;
    for (const char c : textBeforeReady_)
        text += (quint8(c) >= 0x20 && quint8(c) < 0x7F) ? QChar(c) : QChar(u' ');
    return text.simplified();
}

QByteArray ComPortClient::TakeData()
{
    return std::exchange(data_, {});
}

QList<int> ComPortClient::TakeLineErrors()
{
    return std::exchange(lineErrors_, {});
}

// ---------------------------------------------------------------- server

ComPortServer::ComPortServer(Port& port, const QByteArray& signature) : port_(port), signature_(signature)
{
    using Side = TelnetOptions::Side;
    for (quint8 option : {Telnet::Binary, Telnet::SuppressGoAhead, Telnet::ComPortOption}) {
        options_.Accept(Side::Local, option);
        options_.Accept(Side::Remote, option);
    }
}

bool ComPortServer::ClientSpeaksComPort() const
{
    using Side = TelnetOptions::Side;
    return options_.Enabled(Side::Local, Telnet::ComPortOption) || options_.Enabled(Side::Remote, Telnet::ComPortOption);
}

QByteArray ComPortServer::Receive(QByteArrayView bytes)
{
    QByteArray reply;
    for (const TelnetEvent& e : decoder_.Feed(bytes)) {
        switch (e.kind) {
        case TelnetEvent::Kind::Data:
            port_.WriteData(e.bytes);
            break;
        case TelnetEvent::Kind::Negotiation:
            reply += options_.Receive(e.verb, e.option).reply;
            break;
        case TelnetEvent::Kind::Subnegotiation:
            if (e.option == Telnet::ComPortOption && !e.bytes.isEmpty())
                reply += OnCommand(quint8(e.bytes[0]), e.bytes.mid(1));
            break;
        case TelnetEvent::Kind::Command:
            break;
        }
    }
    return reply;
}

QByteArray ComPortServer::OnCommand(quint8 command, const QByteArray& value)
{
    using namespace ComPort;
    const quint8 answer = command + ServerOffset;
    const quint8 first = value.isEmpty() ? 0 : quint8(value[0]);
    switch (command) {
    case Signature:
        return value.isEmpty() ? ComPortCommand(answer, signature_) : QByteArray();
    // The line is fixed: every request is answered with what is in force.
    case SetBaudrate:
        return ComPortCommand(answer, BaudValue(Baud));
    case SetDatasize:
        return ComPortCommand(answer, DataBits);
    case SetParity:
        return ComPortCommand(answer, ParityNone);
    case SetStopsize:
        return ComPortCommand(answer, OneStopBit);
    case SetControl:
        switch (first) {
        case Control::DtrOn:
        case Control::DtrOff:
            port_.SetDtr(first == Control::DtrOn);
            [[fallthrough]];
        case Control::DtrRequest:
            return ComPortCommand(answer, port_.Dtr() ? Control::DtrOn : Control::DtrOff);
        case Control::RtsOn:
        case Control::RtsOff:
            port_.SetRts(first == Control::RtsOn);
            [[fallthrough]];
        case Control::RtsRequest:
            return ComPortCommand(answer, port_.Rts() ? Control::RtsOn : Control::RtsOff);
        case Control::BreakRequest:
        case Control::BreakOn:
        case Control::BreakOff:
            return ComPortCommand(answer, Control::BreakOff);
        case Control::InboundFlowRequest:
        case Control::InboundNoFlow:
        case 15:
        case 16:
        case 17:
        case 18:
        case 19:
            return ComPortCommand(answer, Control::InboundNoFlow);
        default:   // outbound flow control: there is none
            return ComPortCommand(answer, Control::NoFlow);
        }
    case PurgeData:
        if (first == PurgeReceive || first == PurgeBoth)
            port_.PurgeReceive();
        return ComPortCommand(answer, first);
    case SetLinestateMask:
        lineStateMask_ = first;
        return ComPortCommand(answer, first);
    case SetModemstateMask:   // no modem lines are reported
        return ComPortCommand(answer, first);
    default:   // flow suspend and resume, notifications: nothing to answer
        return {};
    }
}

QByteArray ComPortServer::LineErrorNotice(int linkEventCode) const
{
    for (const auto& [code, bit] : LineErrors)
        if (code == linkEventCode && (lineStateMask_ & bit))
            return ComPortCommand(ComPort::ServerOffset + ComPort::NotifyLinestate, bit);
    return {};
}
