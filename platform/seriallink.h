#pragma once
// The serial line to the terminal: port, open/close, the two control lines,
// send, read all waiting bytes, clear, and a receive event with a code.
// The program talks to the terminal only through this contract; the real
// port, the simulated terminal and test peers all implement it.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QSerialPort;
struct PortTarget;

// What went wrong with a terminal on the network.
enum class NetworkProblem {
    None,
    BadAddress,        // not rfc2217://HOST:PORT
    UnknownHost,       // the name does not resolve
    Refused,           // nothing listens on that port
    NoAnswer,          // no connection within the give-up time
    NoNegotiation,     // connected, but COM port control not set up in time
    OptionRefused,     // the server refuses COM port control
    SettingsRefused,   // the server does not take 2400 baud 8N1 without flow control
    ControlRefused,    // the server does not drive DTR and RTS
    Closed,            // the server closed the connection before it was ready
    Dropped,           // a ready connection was lost
    KeepsDropping,     // it drops again and again right after being set up
    Other              // the network layer's own words
};

// Why a port did not open, for the line under the message that says so.
struct PortFailure {
    enum class Cause {
        None,           // nothing known beyond the message itself
        Missing,        // the device does not exist
        NoPermission,   // this user may not read and write it
        Busy,           // another program has it
        NotADevice,     // a file, a folder or something else that is no device
        NoHardware,     // a device the system reserves, with no UART behind it
        SimulationFile, // a simulated terminal whose memory file cannot be used: detail says why
        SimulationSetting, // a simulated terminal named with an option it does not have: detail says which
        Network,        // a terminal on the network: network says what went wrong, detail what the
                        // message names beside the address (the host, the port, the seconds waited,
                        // the line or setting not answered, the server's own words)
        Other           // detail holds the serial layer's own words
    };
    enum class Kind { File, Folder, Other };   // what a NotADevice is
    Cause cause = Cause::None;
    Kind kind = Kind::Other;
    QString device;          // as the operator named it
    QString detail;          // the serial layer's error text (Network: see there)
    QString group;           // NoPermission: the group that may open it, if joining helps
    QString user;            // NoPermission: who would join it
    QStringList detected;    // Missing: the ports the system reports
    NetworkProblem network = NetworkProblem::None;   // Network: what went wrong
};

// Codes of the receive event.
namespace LinkEvent {
constexpr int Received = 2;           // bytes are waiting
constexpr int Break = 1001;
constexpr int CtsTimeout = 1002;
constexpr int DsrTimeout = 1003;
constexpr int FramingError = 1004;
constexpr int Overrun = 1006;
constexpr int CarrierTimeout = 1007;
constexpr int ParityError = 1009;
constexpr int PortConfigError = 1011;
// Line errors: the receive handler closes and reopens the port on them.
bool IsLineError(int code);
}

class SerialLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // com1..com8. Takes effect at the next Open().
    virtual void SetPortNumber(int port) { port_ = port; }
    int PortNumber() const { return port_; }

    // Opens with 2400 baud, no parity, 8 data bits, 1 stop bit, no flow
    // control, DTR and RTS off. False when the port cannot be opened
    // (in use, missing, refused); ErrorText() then says why.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    virtual void SetDtr(bool on) = 0;
    virtual void SetRts(bool on) = 0;
    virtual bool Dtr() const = 0;
    virtual bool Rts() const = 0;

    // Queues the bytes and returns at once; BytesWritten() tells how many of
    // them have left the port since.
    virtual void Send(const QByteArray& bytes) = 0;
    // Every byte waiting, or nothing.
    virtual QByteArray ReadAll() = 0;
    virtual void ClearReceive() = 0;

    // What the link talks to, for messages and the CLI ("/dev/ttyS0",
    // "simulated terminal (T.QLV)").
    virtual QString Description() const = 0;
    QString ErrorText() const { return error_; }
    // Why the last Open() failed, as far as the link can tell.
    virtual PortFailure OpenFailure() const { return {}; }
    // What com N stands for on this link.
    virtual PortTarget TargetOf(int port) const;

    // Whether the line can be driven now. A local port is as soon as it is
    // open; a link to a serial device server is open from the moment it
    // starts connecting and ready once the server has taken its settings
    // (Ready() and ConnectionFailed() tell when). A caller that times the
    // control lines waits for it.
    virtual bool IsReady() const { return IsOpen(); }
    // Microseconds from the settings sent to the server to their answer, at
    // the last connect; -1 for a local port and before the first.
    virtual qint64 RoundTripUs() const { return -1; }

signals:
    // The server has taken every setting (a network link only).
    void Ready();
    // An opening failed after Open() had returned, or a ready connection was
    // lost; the link is closed and OpenFailure() says why (a network link
    // only).
    void ConnectionFailed();
    // Raised for every delivery of waiting bytes (code 2) and for line
    // errors (codes 1001..1011).
    void ReceiveEvent(int code);
    // Bytes of earlier Send() calls have left the port (Qt's bytesWritten).
    void BytesWritten(qint64 bytes);

protected:
    void SetErrorText(const QString& text) { error_ = text; }

private:
    int port_ = 1;
    QString error_;
};

// The real port through QSerialPort, on a device named directly or else on
// the system's own device of the port number (the port map is applied by the
// program's link in comm/, which can also lead to the simulated terminal).
class QSerialPortLink : public SerialLink {
    Q_OBJECT
public:
    explicit QSerialPortLink(QObject* parent = nullptr);
    ~QSerialPortLink() override;

    // A device named directly wins over the port number.
    void SetDevice(const QString& device) { device_ = device; }

    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    void SetDtr(bool on) override;
    void SetRts(bool on) override;
    bool Dtr() const override { return dtr_; }
    bool Rts() const override { return rts_; }
    void Send(const QByteArray& bytes) override;
    QByteArray ReadAll() override;
    void ClearReceive() override;
    QString Description() const override;
    // The serial layer's error of the last failed Open() (a
    // QSerialPort::SerialPortError), 0 after a successful one.
    int OpenError() const { return openError_; }
    // Its text, in the serial layer's words.
    QString OpenErrorText() const { return openErrorText_; }

private:
    QString DeviceName() const;
    void OnError(int error);
    std::unique_ptr<QSerialPort> port_;
    QString device_;
    int openError_ = 0;
    QString openErrorText_;
    bool dtr_ = false;
    bool rts_ = false;
};
