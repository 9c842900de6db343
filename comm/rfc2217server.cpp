#include "comm/rfc2217server.h"

#include "comm/simterminal.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {
QString PeerOf(const QTcpSocket& socket)
{
    const QHostAddress address = socket.peerAddress();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol && !address.toIPv4Address()
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : QHostAddress(address.toIPv4Address()).toString();
    return QStringLiteral("%1:%2").arg(host).arg(socket.peerPort());
}
}

// The terminal as the COM port the protocol drives.
class Rfc2217Server::TerminalPort : public ComPortServer::Port {
public:
    explicit TerminalPort(SimulatedTerminal& terminal) : terminal_(terminal) {}
    void WriteData(const QByteArray& bytes) override { terminal_.Send(bytes); }
    void SetDtr(bool on) override { terminal_.SetDtr(on); }
    void SetRts(bool on) override { terminal_.SetRts(on); }
    bool Dtr() const override { return terminal_.Dtr(); }
    bool Rts() const override { return terminal_.Rts(); }
    void PurgeReceive() override { terminal_.ClearReceive(); }

private:
    SimulatedTerminal& terminal_;
};

Rfc2217Server::Rfc2217Server(SimulatedTerminal& terminal, QObject* parent)
    : QObject(parent), terminal_(terminal), server_(std::make_unique<QTcpServer>()),
      port_(std::make_unique<TerminalPort>(terminal))
{
    connect(server_.get(), &QTcpServer::newConnection, this, &Rfc2217Server::OnNewConnection);
    connect(&terminal_, &SerialLink::ReceiveEvent, this, &Rfc2217Server::OnTerminalEvent);
}

Rfc2217Server::~Rfc2217Server()
{
    if (socket_)
        socket_->disconnect(this);
    terminal_.Close();
}

bool Rfc2217Server::Listen(const QHostAddress& address, quint16 port)
{
    // The memory file is read now, so that a file that cannot be used is
    // told before anyone connects.
    if (!terminal_.Open()) {
        error_ = terminal_.ErrorText();
        return false;
    }
    terminal_.Close();
    if (!server_->listen(address, port)) {
        error_ = server_->errorString();
        return false;
    }
    error_.clear();
    return true;
}

quint16 Rfc2217Server::Port() const
{
    return server_->serverPort();
}

QByteArray Rfc2217Server::BusyText(const QString& servedClient)
{
    return QStringLiteral("\r\nbusy: this simulated terminal is serving %1\r\n").arg(servedClient).toLatin1();
}

void Rfc2217Server::OnNewConnection()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        if (socket_) {
            const QString client = PeerOf(*socket);
            SendAway(socket, BusyText(client_));
            emit ClientRefused(client, client_);
            continue;
        }
        if (!terminal_.Open()) {
            const QString client = PeerOf(*socket);
            const QString reason = terminal_.ErrorText();
            SendAway(socket, QByteArrayLiteral("\r\nunavailable: ") + reason.toUtf8() + QByteArrayLiteral("\r\n"));
            emit TerminalUnavailable(client, reason);
            continue;
        }
        socket_ = socket;
        socket->setParent(this);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        client_ = PeerOf(*socket);
        protocol_ = std::make_unique<ComPortServer>(*port_, QByteArrayLiteral("VARDELO simulated terminal"));
        wireSent_ = wireReceived_ = 0;
        connect(socket, &QTcpSocket::readyRead, this, &Rfc2217Server::OnReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, &Rfc2217Server::OnClientGone);
        connect(socket, &QTcpSocket::errorOccurred, this, &Rfc2217Server::OnClientGone);
        emit ClientConnected(client_);
        if (socket->bytesAvailable() > 0)
            OnReadyRead();
    }
}

void Rfc2217Server::SendAway(QTcpSocket* socket, const QByteArray& words)
{
    socket->setParent(this);
    // Said before any negotiation, so that a client shows it as the server's
    // reason; the socket goes once the words have left.
    socket->write(words);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
}

void Rfc2217Server::Send(const QByteArray& wire)
{
    if (!socket_ || wire.isEmpty())
        return;
    wireSent_ += wire.size();
    socket_->write(wire);
}

void Rfc2217Server::OnReadyRead()
{
    if (!socket_ || !protocol_)
        return;
    const QByteArray received = socket_->readAll();
    wireReceived_ += received.size();
    Send(protocol_->Receive(received));
}

void Rfc2217Server::OnClientGone()
{
    if (!socket_)
        return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    socket->disconnect(this);
    socket->deleteLater();
    protocol_.reset();
    // The line goes quiet: DTR and RTS off, whatever the terminal was doing ends.
    terminal_.Close();
    const QString client = std::exchange(client_, {});
    emit ClientDisconnected(client);
}

void Rfc2217Server::OnTerminalEvent(int code)
{
    if (!socket_ || !protocol_)
        return;
    if (code == LinkEvent::Received)
        Send(TelnetEscape(terminal_.ReadAll()));
    else
        Send(protocol_->LineErrorNotice(code));
}
