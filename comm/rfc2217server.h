#pragma once
// The simulated terminal served on a TCP port to one RFC 2217 client at a
// time, as a serial device server serves a real one: the client's DTR and
// RTS reach the terminal, its bytes go to the terminal and the terminal's
// answer comes back at the terminal's own 2400-baud pace (the terminal
// paces itself on its Timers). The line is fixed at 2400 baud 8N1 without
// flow control; every COM port request is answered with that.
//
// A second client while one is served is refused: it gets one line of text
// saying so and is disconnected before any negotiation, and ClientRefused()
// tells the server's operator.

#include "comm/rfc2217.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <memory>

class QTcpServer;
class QTcpSocket;
class SimulatedTerminal;

class Rfc2217Server : public QObject {
    Q_OBJECT
public:
    explicit Rfc2217Server(SimulatedTerminal& terminal, QObject* parent = nullptr);
    ~Rfc2217Server() override;

    // Opens the terminal (its memory file) and listens; port 0 takes a free
    // one. False when either fails: ErrorText() says why.
    bool Listen(const QHostAddress& address, quint16 port);
    quint16 Port() const;
    QString ErrorText() const { return error_; }
    // "HOST:PORT" of the client being served; empty when none.
    QString Client() const { return client_; }
    // Bytes handed to the network for the client being served, and taken
    // from it, Telnet framing included.
    qint64 WireBytesSent() const { return wireSent_; }
    qint64 WireBytesReceived() const { return wireReceived_; }

    // The line a refused client gets.
    static QByteArray BusyText(const QString& servedClient);

signals:
    void ClientConnected(const QString& client);
    void ClientDisconnected(const QString& client);
    void ClientRefused(const QString& client, const QString& servedClient);
    // The terminal's memory file could not be taken for a client (in use by
    // another program, gone, damaged since Listen()): the client was sent
    // away with the reason.
    void TerminalUnavailable(const QString& client, const QString& reason);

private:
    class TerminalPort;
    void OnNewConnection();
    void OnReadyRead();
    void OnClientGone();
    void OnTerminalEvent(int code);
    // Sends the client away with one line saying why, before any negotiation.
    void SendAway(QTcpSocket* socket, const QByteArray& words);
    void Send(const QByteArray& wire);

    SimulatedTerminal& terminal_;
    std::unique_ptr<QTcpServer> server_;
    std::unique_ptr<TerminalPort> port_;
    std::unique_ptr<ComPortServer> protocol_;
    QPointer<QTcpSocket> socket_;
    QString client_;
    QString error_;
    qint64 wireSent_ = 0;
    qint64 wireReceived_ = 0;
};
