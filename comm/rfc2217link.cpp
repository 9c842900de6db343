#include "comm/rfc2217link.h"

#include "platform/fileaccess.h"
#include "platform/portmap.h"
#include "platform/timers.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace {
// The objectName of a socket whose link has closed it, while it closes.
const QString ClosingName = QStringLiteral("rfc2217-closing");

// Half-closes a connected socket: a FIN after the bytes sent, reading goes on.
void EndSending(qintptr descriptor)
{
#ifdef Q_OS_WIN
    ::shutdown(SOCKET(descriptor), SD_SEND);
#else
    ::shutdown(int(descriptor), SHUT_WR);
#endif
}
}

Rfc2217Link::Rfc2217Link(Timers& timers, const QString& address, QObject* parent)
    : SerialLink(parent), timers_(timers), address_(address), giveUp_(timers.CreateTimer(ConnectTimeoutMs))
{
    connect(giveUp_.get(), &PeriodicTimer::Tick, this, &Rfc2217Link::OnGiveUp);
}

Rfc2217Link::~Rfc2217Link()
{
    DropSocket();
}

QString Rfc2217Link::Description() const
{
    return PrintableText(address_, 200);
}

PortTarget Rfc2217Link::TargetOf(int) const
{
    return PortMap::TargetFromText(address_);
}

bool Rfc2217Link::Open()
{
    if (state_ != State::Closed)
        return true;
    failure_ = {};
    problem_ = Problem::None;
    SetErrorText({});
    const auto address = NetworkAddress::Parse(address_);
    if (!address) {
        SetProblem(Problem::BadAddress, QStringLiteral("not a network address (expected rfc2217://HOST:PORT)"));
        return false;
    }
    host_ = address->host;
    port_ = address->port;
    StartConnection();
    return true;
}

void Rfc2217Link::StartConnection()
{
    ++generation_;
    dtr_ = rts_ = false;
    received_.clear();
    queued_.clear();
    inFlight_.clear();
    terminalSpoke_ = false;
    wireSent_ = wireReceived_ = 0;
    protocol_ = std::make_unique<ComPortClient>();
    socket_ = new QTcpSocket(this);
    connect(socket_, &QTcpSocket::connected, this, &Rfc2217Link::OnConnected);
    connect(socket_, &QTcpSocket::readyRead, this, &Rfc2217Link::OnReadyRead);
    connect(socket_, &QTcpSocket::bytesWritten, this, &Rfc2217Link::OnBytesWritten);
    connect(socket_, &QTcpSocket::errorOccurred, this, &Rfc2217Link::OnSocketGone);
    connect(socket_, &QTcpSocket::disconnected, this, &Rfc2217Link::OnSocketGone);
    state_ = State::Connecting;
    giveUp_->Restart(ConnectTimeoutMs);
    socket_->connectToHost(host_, port_);
}

void Rfc2217Link::OnConnected()
{
    // Line changes are single small segments that must leave at once.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    state_ = State::Negotiating;
    giveUp_->Restart(NegotiationTimeoutMs);
    Write(protocol_->Begin(), 0);
}

void Rfc2217Link::OnReadyRead()
{
    if (!socket_)
        return;
    const quint64 generation = generation_;
    const auto phaseWas = protocol_->CurrentPhase();
    const QByteArray received = socket_->readAll();
    wireReceived_ += received.size();
    const QByteArray reply = protocol_->Receive(received);
    const auto phase = protocol_->CurrentPhase();
    if (!reply.isEmpty())
        Write(reply, 0);
    if (phaseWas == ComPortClient::Phase::Negotiating && phase != ComPortClient::Phase::Negotiating)
        roundTrip_.start();   // the settings are in this reply
    if (phase == ComPortClient::Phase::Refused) {
        const QString detail = protocol_->RefusedDetail();
        switch (protocol_->WhatRefused()) {
        case ComPortClient::Refusal::ControlLines:
            Fail(Problem::ControlRefused,
                 QStringLiteral("the server does not drive the control line %1; the terminal cannot be driven "
                                "without DTR and RTS").arg(detail), detail);
            break;
        case ComPortClient::Refusal::Settings:
            Fail(Problem::SettingsRefused,
                 QStringLiteral("the server does not take 2400 baud, 8 data bits, no parity, 1 stop bit (%1)").arg(detail),
                 detail);
            break;
        default:
            Fail(Problem::OptionRefused,
                 QStringLiteral("the server refuses COM port control (RFC 2217); the terminal cannot be driven "
                                "without DTR and RTS"));
            break;
        }
        return;
    }
    if (phase == ComPortClient::Phase::Ready && state_ != State::Ready) {
        state_ = State::Ready;
        giveUp_->Stop();
        roundTripUs_ = roundTrip_.nsecsElapsed() / 1000;
        readyAtMs_ = timers_.NowMs();
        for (const auto& [wire, payload] : std::as_const(queued_))
            Write(wire, payload);
        queued_.clear();
        emit Ready();
        if (generation != generation_)
            return;
    }
    const QByteArray data = protocol_->TakeData();
    if (!data.isEmpty()) {
        terminalSpoke_ = true;
        received_ += data;
        emit ReceiveEvent(LinkEvent::Received);
        if (generation != generation_)
            return;
    }
    for (const int error : protocol_->TakeLineErrors()) {
        emit ReceiveEvent(error);
        if (generation != generation_)
            return;
    }
}

void Rfc2217Link::OnSocketGone()
{
    if (!socket_ || state_ == State::Closed)
        return;
    const auto error = socket_->error();
    if (state_ == State::Ready) {
        const bool quick = !terminalSpoke_ && timers_.NowMs() - readyAtMs_ < QuickDropMs;
        quickDrops_ = quick ? quickDrops_ + 1 : 0;
        if (quickDrops_ >= QuickDropLimit) {
            quickDrops_ = 0;
            Fail(Problem::KeepsDropping, QStringLiteral("the connection keeps dropping as soon as it is set up"));
            return;
        }
        Fail(Problem::Dropped, QStringLiteral("connection lost"));
        emit ReceiveEvent(DroppedEvent);
        return;
    }
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        Fail(Problem::UnknownHost, QStringLiteral("unknown host \"%1\"").arg(host_), host_);
        break;
    case QAbstractSocket::ConnectionRefusedError:
        Fail(Problem::Refused, QStringLiteral("connection refused (nothing listens on port %1)").arg(port_),
             QString::number(port_));
        break;
    case QAbstractSocket::RemoteHostClosedError:
    case QAbstractSocket::UnknownSocketError: {
        const QString said = protocol_ ? protocol_->ServerText() : QString();
        Fail(Problem::Closed,
             said.isEmpty() ? QStringLiteral("the server closed the connection before it was set up")
                            : QStringLiteral("the server closed the connection before it was set up: \"%1\"").arg(said),
             said);
        break;
    }
    default:
        Fail(Problem::Other, socket_->errorString(), socket_->errorString());
        break;
    }
}

void Rfc2217Link::OnGiveUp()
{
    const int seconds = NegotiationTimeoutMs / 1000;
    const QString unanswered = AwaitedAnswer();
    if (state_ == State::Connecting) {
        Fail(Problem::NoAnswer, QStringLiteral("no answer within %1 s").arg(ConnectTimeoutMs / 1000),
             QString::number(ConnectTimeoutMs / 1000));
    } else if (state_ != State::Negotiating) {
        giveUp_->Stop();
    } else if (unanswered == u"DTR" || unanswered == u"RTS") {
        // A server whose port has no modem lines (a pseudo-terminal behind
        // ser2net) takes the settings and never answers for the lines.
        Fail(Problem::ControlRefused,
             QStringLiteral("the server does not drive the control line %1 (no answer within %2 s); the terminal "
                            "cannot be driven without DTR and RTS").arg(unanswered).arg(seconds),
             unanswered);
    } else if (!unanswered.isEmpty()) {
        Fail(Problem::SettingsRefused,
             QStringLiteral("the server does not take 2400 baud, 8 data bits, no parity, 1 stop bit (no answer to %1 "
                            "within %2 s)").arg(unanswered).arg(seconds),
             unanswered);
    } else {
        Fail(Problem::NoNegotiation,
             QStringLiteral("the server did not set up COM port control (RFC 2217) within %1 s").arg(seconds),
             QString::number(seconds));
    }
}

void Rfc2217Link::Fail(Problem problem, const QString& detail, const QString& said)
{
    DropSocket();
    state_ = State::Closed;
    dtr_ = rts_ = false;
    queued_.clear();
    SetProblem(problem, detail, said);
    emit ConnectionFailed();
}

void Rfc2217Link::SetProblem(Problem problem, const QString& detail, const QString& said)
{
    problem_ = problem;
    failure_ = {};
    failure_.cause = PortFailure::Cause::Network;
    failure_.network = problem;
    // The address as written, but never a control character in a message;
    // nor in what the server or the network layer said.
    failure_.device = Description();
    failure_.detail = PrintableText(said, 200);
    SetErrorText(QStringLiteral("%1: %2").arg(failure_.device, PrintableText(detail, 400)));
}

void Rfc2217Link::DropSocket()
{
    giveUp_->Stop();
    ++generation_;
    if (!socket_)
        return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    socket->disconnect(this);
    // Whatever is queued (the lines going off) still leaves before the
    // connection closes, also when no event loop comes round any more (a
    // command that ends): handed to the system now; the socket goes once
    // it has closed.
    if (socket->state() == QAbstractSocket::ConnectedState) {
        // Closed as TCP closes without loss: our side ends its sending once
        // the last byte has left, and reads (and drops) what still comes
        // until the server closes too. A socket closed at once with bytes
        // of the server unread (an answer to the last line change, a
        // modem-state notice) is reset, and a reset makes the server drop
        // what it has not read yet: the lines going off would be lost and
        // the terminal's lines left on.
        socket->flush();
        const auto endSending = [socket] {
            if (socket->bytesToWrite() == 0 && socket->state() == QAbstractSocket::ConnectedState)
                EndSending(socket->socketDescriptor());
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, endSending);
        connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QAbstractSocket::errorOccurred, socket, &QObject::deleteLater);
        // The socket outlives the link (and the link's clock): the
        // application holds it, so that one still open at the end goes with it.
        QCoreApplication* application = QCoreApplication::instance();
        socket->setParent(application && application->thread() == socket->thread() ? application : nullptr);
        socket->setObjectName(ClosingName);
        // A server that never closes is not waited for long.
        QTimer::singleShot(LingerMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        endSending();
    } else {
        socket->abort();
        socket->deleteLater();
    }
}

void Rfc2217Link::FinishClosing()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    const auto closing = [application] {
        return !application->findChildren<QTcpSocket*>(ClosingName, Qt::FindDirectChildrenOnly).isEmpty();
    };
    if (!closing())
        return;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (!closing())
            loop.quit();
    });
    check.start(10);
    QTimer::singleShot(LingerMs, &loop, &QEventLoop::quit);
    loop.exec();
}

void Rfc2217Link::Close()
{
    if (state_ == State::Closed)
        return;
    if (state_ == State::Ready) {
        if (dtr_)
            Write(ComPortClient::DtrBytes(false), 0);
        if (rts_)
            Write(ComPortClient::RtsBytes(false), 0);
    }
    DropSocket();
    state_ = State::Closed;
    dtr_ = rts_ = false;
    queued_.clear();
    received_.clear();
    // Closed on purpose: earlier drops no longer count as a series.
    quickDrops_ = 0;
}

void Rfc2217Link::Write(const QByteArray& wire, qint64 payload)
{
    if (wire.isEmpty() || !socket_)
        return;
    inFlight_.append({wire.size(), payload});
    wireSent_ += wire.size();
    socket_->write(wire);
    // A line change or a purge leaves now, not when the event loop next
    // comes round: the reset's pulse is timed here. The terminal's bytes
    // (a write queues 2048 one by one) leave together then.
    if (payload == 0)
        socket_->flush();
}

void Rfc2217Link::Request(const QByteArray& wire, qint64 payload)
{
    if (state_ == State::Ready)
        Write(wire, payload);
    else
        queued_.append({wire, payload});
}

void Rfc2217Link::OnBytesWritten(qint64 wire)
{
    qint64 payload = 0;
    while (wire > 0 && !inFlight_.isEmpty()) {
        auto& [left, bytes] = inFlight_.first();
        const qint64 taken = std::min(left, wire);
        left -= taken;
        wire -= taken;
        if (left == 0) {
            payload += bytes;
            inFlight_.removeFirst();
        }
    }
    if (payload > 0)
        emit BytesWritten(payload);
}

void Rfc2217Link::SetDtr(bool on)
{
    if (state_ == State::Closed || on == dtr_)
        return;
    dtr_ = on;
    Request(ComPortClient::DtrBytes(on), 0);
}

void Rfc2217Link::SetRts(bool on)
{
    if (state_ == State::Closed || on == rts_)
        return;
    rts_ = on;
    Request(ComPortClient::RtsBytes(on), 0);
}

void Rfc2217Link::Send(const QByteArray& bytes)
{
    if (state_ == State::Closed || bytes.isEmpty())
        return;
    Request(TelnetEscape(bytes), bytes.size());
}

void Rfc2217Link::ClearReceive()
{
    received_.clear();
    if (state_ != State::Closed)
        Request(ComPortClient::PurgeReceiveBytes(), 0);
}

QByteArray Rfc2217Link::ReadAll()
{
    return std::exchange(received_, {});
}
