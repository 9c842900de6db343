#pragma once
// What the system knows about its serial devices: the ports it reports, and
// what a device file is (missing, a file, a folder, a device), who may open
// it and whether hardware stands behind it. The program lists ports and
// explains a port that did not open from these facts only; tests hand it a
// list and facts of their own.

#include <QList>
#include <QString>
#include <optional>

// One serial port as the system reports it.
struct SerialPortEntry {
    QString path;           // "/dev/ttyUSB0", "COM3"
    QString description;    // "FT232R USB UART"
    QString manufacturer;   // "FTDI"
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
};

// A device file as the system sees it, links followed.
struct DeviceFacts {
    enum class Kind { Missing, Device, File, Folder, Other };
    Kind kind = Kind::Missing;
    // Whether this user may read and write it.
    bool mayReadWrite = false;
    // The group owning the file, and whether its members may read and write it.
    QString group;
    bool groupMayReadWrite = false;
};

class SerialDevices {
public:
    virtual ~SerialDevices() = default;
    // Every serial port the system reports, hardware or not.
    virtual QList<SerialPortEntry> Ports() const = 0;
    virtual DeviceFacts Inspect(const QString& path) const = 0;
    // The stable name of a device ("/dev/serial/by-id/usb-FTDI_...") that
    // survives replugging, or empty when the system gives it none.
    virtual QString StableName(const QString& path) const = 0;
    // False when the system says no hardware stands behind the device (a
    // built-in port the system reserves but that has no UART).
    virtual bool HasHardware(const QString& path) const = 0;
    // The name of the user running the program, for the command that adds it
    // to a group.
    virtual QString UserName() const = 0;
};

// The running system: Qt's serial port list and the file system.
class SystemSerialDevices : public SerialDevices {
public:
    QList<SerialPortEntry> Ports() const override;
    DeviceFacts Inspect(const QString& path) const override;
    QString StableName(const QString& path) const override;
    bool HasHardware(const QString& path) const override;
    QString UserName() const override;
};
