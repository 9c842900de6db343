#pragma once
// The serial line to a terminal behind a serial device server, over the
// network: "rfc2217://HOST:PORT" (Telnet with COM port control, as ser2net
// and commercial serial servers speak it), behind the serial-link contract.
//
// Open() does not wait for the network: it checks the address, starts the
// connection and returns at once, so that a window never freezes and a site
// of many terminals connects to all of them at the same time. Line changes,
// bytes and purges asked for before the connection is ready are kept in
// their order and sent as soon as the server has taken the settings; Ready()
// tells when that is, and a caller that times the lines (a read or a reset
// started right after opening) waits for it. An opening that fails later
// says so with ConnectionFailed(); OpenFailure() and ErrorText() then name
// the host and port and the cause, and the link is closed (IsOpen() false).
//
// Timing: line changes go out at once and are not waited for, so a pulse
// timed here (the reset's 500 ms of DTR) is as wide at the server as here,
// plus the network's jitter. The round trip is measured once, at connect,
// from the settings sent to the last of their answers.
//
// A ready connection that drops is a lost line: the link closes and raises a
// line error, on which the receive handler reopens it (a new connection)
// and the running read or write ends by its watchdog as on a serial line.

#include "comm/rfc2217.h"
#include "platform/seriallink.h"

#include <QElapsedTimer>
#include <QPointer>
#include <memory>

class PeriodicTimer;
class QTcpSocket;
class Timers;

class Rfc2217Link : public SerialLink {
    Q_OBJECT
public:
    // Give-up times: the host lookup and the TCP connection; then the COM
    // port negotiation until every setting is answered.
    static constexpr int ConnectTimeoutMs = 10000;
    static constexpr int NegotiationTimeoutMs = 5000;
    // A connection that drops within this time of being ready without the
    // terminal having sent a byte is a quick drop; after this many in a row
    // the link stops reopening (no line error, so no reconnection loop).
    static constexpr int QuickDropMs = 2000;
    // How long a closed connection waits for the server to close its side.
    static constexpr int LingerMs = 5000;
    // Waits (up to LingerMs) until the connections of closed links have
    // closed on the server's side too: a program about to end calls it, so
    // that its last line changes are not lost with a reset connection.
    static void FinishClosing();
    static constexpr int QuickDropLimit = 3;
    // The line error a dropped connection raises: the carrier is lost.
    static constexpr int DroppedEvent = LinkEvent::CarrierTimeout;

    using Problem = NetworkProblem;
    enum class State { Closed, Connecting, Negotiating, Ready };

    // address: "rfc2217://HOST:PORT" as the operator wrote it.
    Rfc2217Link(Timers& timers, const QString& address, QObject* parent = nullptr);
    ~Rfc2217Link() override;

    // Starts the connection; false only for an address that is none.
    bool Open() override;
    void Close() override;
    // From Open() on, until Close() or a failure.
    bool IsOpen() const override { return state_ != State::Closed; }
    bool IsReady() const override { return state_ == State::Ready; }
    void SetDtr(bool on) override;
    void SetRts(bool on) override;
    bool Dtr() const override { return dtr_; }
    bool Rts() const override { return rts_; }
    void Send(const QByteArray& bytes) override;
    QByteArray ReadAll() override;
    // Clears what is waiting here and purges the server's buffer of bytes
    // from the line (never the bytes on their way to the terminal).
    void ClearReceive() override;
    QString Description() const override;
    PortFailure OpenFailure() const override { return failure_; }
    PortTarget TargetOf(int port) const override;

    State CurrentState() const { return state_; }
    // While the server sets the line up: the first setting it has not yet
    // answered ("SET-BAUDRATE", "DTR", ...); empty otherwise.
    QString AwaitedAnswer() const { return protocol_ ? protocol_->FirstUnanswered() : QString(); }
    Problem LastProblem() const { return problem_; }
    // From the settings sent to their last answer.
    qint64 RoundTripUs() const override { return roundTripUs_; }
    // Bytes handed to the network on the current connection, and taken
    // from it, Telnet framing included.
    qint64 WireBytesSent() const { return wireSent_; }
    qint64 WireBytesReceived() const { return wireReceived_; }

private:
    void StartConnection();
    void OnConnected();
    void OnReadyRead();
    void OnSocketGone();
    void OnGiveUp();
    // Protocol bytes, at once; the caller's requests wait for Ready.
    void Write(const QByteArray& wire, qint64 payload);
    void Request(const QByteArray& wire, qint64 payload);
    void OnBytesWritten(qint64 wire);
    // Closes, notes why and says so (ConnectionFailed).
    // detail: in English, for ErrorText(); said: the part of it that is
    // not the program's own words (a host name, a line, the server's words).
    void Fail(Problem problem, const QString& detail, const QString& said = {});
    void SetProblem(Problem problem, const QString& detail, const QString& said = {});
    void DropSocket();

    Timers& timers_;
    QString address_;
    QString host_;
    quint16 port_ = 0;
    QPointer<QTcpSocket> socket_;
    std::unique_ptr<PeriodicTimer> giveUp_;
    std::unique_ptr<ComPortClient> protocol_;
    State state_ = State::Closed;
    bool dtr_ = false;
    bool rts_ = false;
    QByteArray received_;
    // Wire bytes asked for before the connection was ready, in order, with
    // how many of them are the caller's bytes.
    QList<QPair<QByteArray, qint64>> queued_;
    // Wire bytes handed to the socket and not yet written, with their
    // caller's bytes, to tell BytesWritten() in the caller's count.
    QList<QPair<qint64, qint64>> inFlight_;
    quint64 generation_ = 0;   // counts connections, to notice a reopen from a handler
    QElapsedTimer roundTrip_;
    qint64 roundTripUs_ = -1;
    qint64 readyAtMs_ = 0;
    qint64 wireSent_ = 0;
    qint64 wireReceived_ = 0;
    bool terminalSpoke_ = false;   // bytes came from the line on this connection
    int quickDrops_ = 0;
    Problem problem_ = Problem::None;
    PortFailure failure_;
};
