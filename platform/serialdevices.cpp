#include "platform/serialdevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

QList<SerialPortEntry> SystemSerialDevices::Ports() const
{
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry entry;
        entry.path = info.systemLocation();
        entry.description = info.description();
        entry.manufacturer = info.manufacturer();
        entry.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            entry.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            entry.productId = info.productIdentifier();
        ports << entry;
    }
    return ports;
}

DeviceFacts SystemSerialDevices::Inspect(const QString& path) const
{
    DeviceFacts facts;
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return facts;
    facts.kind = S_ISCHR(st.st_mode)   ? DeviceFacts::Kind::Device
                 : S_ISREG(st.st_mode) ? DeviceFacts::Kind::File
                 : S_ISDIR(st.st_mode) ? DeviceFacts::Kind::Folder
                                       : DeviceFacts::Kind::Other;
    facts.mayReadWrite = ::access(name.constData(), R_OK | W_OK) == 0;
    if (const group* g = ::getgrgid(st.st_gid))
        facts.group = QString::fromLocal8Bit(g->gr_name);
    else
        facts.group = QString::number(st.st_gid);
    facts.groupMayReadWrite = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
#else
    // COM ports are not files there: a port the system lists is a device
    // that may be opened; anything else does not exist.
    for (const SerialPortEntry& port : Ports()) {
        if (port.path.compare(path, Qt::CaseInsensitive) == 0 || ("\\\\.\\" + port.path).compare(path, Qt::CaseInsensitive) == 0) {
            facts.kind = DeviceFacts::Kind::Device;
            facts.mayReadWrite = true;
        }
    }
    if (facts.kind == DeviceFacts::Kind::Missing && QFileInfo::exists(path))
        facts.kind = QFileInfo(path).isDir() ? DeviceFacts::Kind::Folder : DeviceFacts::Kind::File;
#endif
    return facts;
}

QString SystemSerialDevices::StableName(const QString& path) const
{
#ifdef Q_OS_LINUX
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        return {};
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    }
#else
    Q_UNUSED(path);
#endif
    return {};
}

bool SystemSerialDevices::HasHardware(const QString& path) const
{
#ifdef Q_OS_LINUX
    // The serial core tells the UART type of a built-in port; 0 means it
    // found none. Devices without that entry (USB adapters) are hardware.
    QFile type(QStringLiteral("/sys/class/tty/%1/type").arg(QFileInfo(QFileInfo(path).canonicalFilePath()).fileName()));
    if (!type.open(QIODevice::ReadOnly))
        return true;
    return type.read(16).trimmed() != "0";
#else
    Q_UNUSED(path);
    return true;
#endif
}

QString SystemSerialDevices::UserName() const
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("USERNAME");
#else
    return qEnvironmentVariable("USER");
#endif
}
