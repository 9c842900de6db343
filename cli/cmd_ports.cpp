// vardelo-cli ports: the serial ports of this machine, with the adapter
// behind each, its stable name, whether this user may open it, the com port
// the port map makes of it and the line that names it for good.
#include "cli/commands.h"

#include "texts/filetexts.h"
#include "comm/portlisting.h"
#include "platform/fileaccess.h"
#include "platform/serialdevices.h"

#include <QCoreApplication>
#include <QJsonObject>

PortMap ProgramPortMap()
{
    QCoreApplication::setApplicationName(QStringLiteral("vardelo"));
    return PortMap::Load(PortMap::DefaultPath());
}

void ReportPortMapFile(const PortMap& map, int languageOffset, QTextStream& err)
{
    const QString path = PrintableText(PortMap::DefaultPath());
    if (!map.LoadStatus())
        err << "vardelo-cli: " << FileStatusText(map.LoadStatus(), languageOffset) << " (no port map)\n";
    for (const QString& problem : map.Problems())
        err << "vardelo-cli: " << path << ", " << problem << " (ignored)\n";
}

void ReportPortMap(const PortMap& map, const SerialDevices& devices, int exceptPort, int languageOffset,
                   QTextStream& err)
{
    ReportPortMapFile(map, languageOffset, err);
    const QString path = PrintableText(PortMap::DefaultPath());
    for (const QString& missing : MissingMapDevices(map, devices, exceptPort))
        err << "vardelo-cli: " << path << ", " << PrintableText(missing) << '\n';
}

int RunPorts(CommandCall& call)
{
    const PortMap map = ProgramPortMap();
    const SystemSerialDevices devices;
    ReportPortMap(map, devices, 0, 1000, call.err);
    const QList<ListedPort> ports = ListPorts(devices, map);
    if (call.IsSet(QStringLiteral("json"))) {
        QJsonObject json = PortsJson(ports);
        json.insert(QStringLiteral("comPorts"), ComPortsJson(map, devices));
        call.PrintJson(json);
        return ExitOk;
    }
    call.out << PortsText(ports);
    // What each com port is, the simulated terminal included: the port map
    // applied, as the program and read/write/reset use it.
    call.out << "\ncom ports (port map " << PrintedName(PortMap::DefaultPath()) << "):\n";
    for (const QString& line : ComPortLines(map, devices))
        call.out << "  " << PrintableText(line) << '\n';
    return ExitOk;
}
