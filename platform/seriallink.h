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
        Other           // detail holds the serial layer's own words
    };
    enum class Kind { File, Folder, Other };   // what a NotADevice is
    Cause cause = Cause::None;
    Kind kind = Kind::Other;
    QString device;          // as the operator named it
    QString detail;          // the serial layer's error text
    QString group;           // NoPermission: the group that may open it, if joining helps
    QString user;            // NoPermission: who would join it
    QStringList detected;    // Missing: the ports the system reports
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

signals:
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
