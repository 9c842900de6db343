#include "platform/seriallink.h"

#include "platform/portmap.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

bool LinkEvent::IsLineError(int code)
{
    switch (code) {
    case Break:
    case CtsTimeout:
    case DsrTimeout:
    case FramingError:
    case Overrun:
    case CarrierTimeout:
    case ParityError:
    case PortConfigError:
        return true;
    default:
        return false;
    }
}

PortTarget SerialLink::TargetOf(int port) const
{
    PortTarget target;
    target.device = PortMap::SystemDevice(port);
    return target;
}

// ---------------------------------------------------------------- real port

QSerialPortLink::QSerialPortLink(QObject* parent) : SerialLink(parent) {}

QSerialPortLink::~QSerialPortLink()
{
    Close();
}

QString QSerialPortLink::DeviceName() const
{
    return device_.isEmpty() ? PortMap::SystemDevice(PortNumber()) : device_;
}

QString QSerialPortLink::Description() const
{
    return DeviceName();
}

bool QSerialPortLink::Open()
{
    Close();
    auto port = std::make_unique<QSerialPort>();
    // A stable name (/dev/serial/by-id/...) is a link: the device behind it
    // is opened, so that the lock taken is the one other serial programs
    // look for. A relative path with a folder in it ("adapters/door") is
    // that path, where the serial layer would look for it under /dev.
    const QFileInfo named(DeviceName());
    const bool relativePath = named.isRelative() && DeviceName().contains(u'/');
    port->setPortName(named.isSymLink() && named.exists() ? named.canonicalFilePath()
                      : relativePath                     ? named.absoluteFilePath()
                                                         : DeviceName());
    port->setBaudRate(2400);
    port->setParity(QSerialPort::NoParity);
    port->setDataBits(QSerialPort::Data8);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    // The whole image (2048 bytes) is queued at once; the receive side keeps
    // whatever arrives between two events.
    port->setReadBufferSize(0);
    if (!port->open(QIODevice::ReadWrite)) {
        openError_ = int(port->error());
        openErrorText_ = port->errorString();
        SetErrorText(QStringLiteral("%1: %2").arg(DeviceName(), port->errorString()));
        return false;
    }
    // Line settings again after opening: some drivers only take them then.
    const bool configured = port->setBaudRate(2400) && port->setDataBits(QSerialPort::Data8)
        && port->setParity(QSerialPort::NoParity) && port->setStopBits(QSerialPort::OneStop)
        && port->setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        openError_ = int(port->error());
        openErrorText_ = port->errorString();
        SetErrorText(QStringLiteral("%1: %2").arg(DeviceName(), port->errorString()));
        port->close();
        return false;
    }
    port->setDataTerminalReady(false);
    port->setRequestToSend(false);
    dtr_ = rts_ = false;
    connect(port.get(), &QSerialPort::readyRead, this, [this] { emit ReceiveEvent(LinkEvent::Received); });
    connect(port.get(), &QSerialPort::bytesWritten, this, &SerialLink::BytesWritten);
    connect(port.get(), &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { OnError(int(e)); });
    port_ = std::move(port);
    openError_ = 0;
    openErrorText_.clear();
    SetErrorText({});
    return true;
}

// Qt 6 no longer reports break, framing and parity errors one by one. What
// it reports of a disturbed line while the port is open:
//  - ReadError: the driver failed a read, which is how line errors (framing,
//    overrun, parity) surface there: mapped to a framing error, so the
//    receive handler reopens the port and the sequence's watchdog decides;
//  - ResourceError: the device went away (a USB adapter pulled out): mapped
//    to the port configuration error, so the port is reopened too; if the
//    device is gone the reopening fails and the port stays closed, and the
//    next terminal command reports that.
// WriteError, TimeoutError and the opening errors are not line errors: the
// opening reports its own failure and a lost write shows as a missing reply.
void QSerialPortLink::OnError(int error)
{
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::ReadError:
        emit ReceiveEvent(LinkEvent::FramingError);
        break;
    case QSerialPort::ResourceError:
        emit ReceiveEvent(LinkEvent::PortConfigError);
        break;
    default:
        break;
    }
}

void QSerialPortLink::Close()
{
    if (!port_)
        return;
    auto port = std::move(port_);
    port->disconnect(this);
    if (port->isOpen()) {
        port->setDataTerminalReady(false);
        port->setRequestToSend(false);
        port->close();
    }
    dtr_ = rts_ = false;
    // A close from inside the port's own signal must not delete it there.
    port.release()->deleteLater();
}

bool QSerialPortLink::IsOpen() const
{
    return port_ && port_->isOpen();
}

void QSerialPortLink::SetDtr(bool on)
{
    if (IsOpen())
        port_->setDataTerminalReady(on);
    dtr_ = on && IsOpen();
}

void QSerialPortLink::SetRts(bool on)
{
    if (IsOpen())
        port_->setRequestToSend(on);
    rts_ = on && IsOpen();
}

void QSerialPortLink::Send(const QByteArray& bytes)
{
    if (IsOpen())
        port_->write(bytes);
}

QByteArray QSerialPortLink::ReadAll()
{
    return IsOpen() ? port_->readAll() : QByteArray();
}

void QSerialPortLink::ClearReceive()
{
    if (IsOpen()) {
        port_->clear(QSerialPort::Input);
        port_->readAll();
    }
}
