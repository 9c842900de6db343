#include "comm/portdiagnosis.h"

#include "texts/catalogue.h"
#include "texts/networktexts.h"
#include "texts/sequencetext.h"
#include "platform/serialdevices.h"

#include <QSerialPort>

#include <algorithm>

PortFailure DiagnoseOpenFailure(const QString& device, int serialError, const QString& serialErrorText,
                                const SerialDevices& devices)
{
    PortFailure f;
    f.device = device;
    f.detail = serialErrorText;
    const DeviceFacts facts = devices.Inspect(device);
    if (facts.kind == DeviceFacts::Kind::Missing || serialError == QSerialPort::DeviceNotFoundError) {
        f.cause = PortFailure::Cause::Missing;
        for (const SerialPortEntry& port : devices.Ports())
            f.detected << port.path;
    } else if (facts.kind != DeviceFacts::Kind::Device) {
        f.cause = PortFailure::Cause::NotADevice;
        f.kind = facts.kind == DeviceFacts::Kind::File     ? PortFailure::Kind::File
                 : facts.kind == DeviceFacts::Kind::Folder ? PortFailure::Kind::Folder
                                                           : PortFailure::Kind::Other;
    } else if (!facts.mayReadWrite) {
        // Whatever the serial layer says: this user may not open it. Joining
        // the group helps only when the group may read and write it.
        f.cause = PortFailure::Cause::NoPermission;
        if (facts.groupMayReadWrite && facts.group != u"root")
            f.group = facts.group;
        f.user = devices.UserName();
    } else if (serialError == QSerialPort::PermissionError) {
        // The user may read and write the device, yet it was refused: it is
        // held exclusively or locked by another program.
        f.cause = PortFailure::Cause::Busy;
    } else if (!devices.HasHardware(device)) {
        f.cause = PortFailure::Cause::NoHardware;
    } else {
        f.cause = PortFailure::Cause::Other;
    }
    return f;
}

QString OpenFailureLine(const PortFailure& f, int languageOffset)
{
    const auto text = [&](TextNumber id) { return CatalogueText(id, languageOffset); };
    switch (f.cause) {
    case PortFailure::Cause::None:
        return {};
    case PortFailure::Cause::Missing: {
        QString line = text(Text::PortDoesNotExist).arg(f.device);
        if (!f.detected.isEmpty())
            line += QStringLiteral("; ") + text(Text::PortsDetected).arg(f.detected.join(QStringLiteral(", ")));
        return line;
    }
    case PortFailure::Cause::NoPermission:
        if (f.group.isEmpty())
            return text(Text::PortNotAllowed).arg(f.device);
        return text(Text::PortJoinGroup).arg(f.device, f.group, f.user.isEmpty() ? QStringLiteral("USER") : f.user);
    case PortFailure::Cause::Busy:
        return text(Text::PortInUse).arg(f.device);
    case PortFailure::Cause::NotADevice:
        return text(f.kind == PortFailure::Kind::File     ? Text::PortIsFile
                    : f.kind == PortFailure::Kind::Folder ? Text::PortIsFolder
                                                          : Text::PortNotADevice)
            .arg(f.device);
    case PortFailure::Cause::NoHardware:
        return text(Text::PortNoHardware).arg(f.device);
    case PortFailure::Cause::SimulationFile:
        return text(Text::SimulationMemoryFile) + u' ' + f.detail;
    case PortFailure::Cause::SimulationSetting:
        return text(Text::SimulationSettingUnusable) + u' ' + f.device + QStringLiteral(": ") + f.detail;
    case PortFailure::Cause::Network:
        return NetworkFailureLine(f, languageOffset);
    case PortFailure::Cause::Other:
        break;
    }
    if (f.device.isEmpty() || f.detail.startsWith(f.device))
        return f.detail;
    return QStringLiteral("%1: %2").arg(f.device, f.detail);
}

QString PortFailedMessage(const ProgramState& program, TextNumber textId, const QList<PortFailure>& failures)
{
    // A simulated terminal whose memory file or setting cannot be used, or a
    // terminal on the network that cannot be reached, is no occupied
    // interface: then its own line stands alone.
    const bool noInterface = !failures.isEmpty()
        && std::all_of(failures.begin(), failures.end(), [](const PortFailure& f) {
               return f.cause == PortFailure::Cause::SimulationFile || f.cause == PortFailure::Cause::SimulationSetting
                   || f.cause == PortFailure::Cause::Network;
           });
    QString message = noInterface ? QString() : SequenceText(program, textId);
    for (const PortFailure& failure : failures) {
        const QString line = OpenFailureLine(failure, program.LanguageOffset);
        if (!line.isEmpty())
            message += (message.isEmpty() ? QString() : QStringLiteral("\n")) + line;
    }
    return message;
}
