#pragma once
// The serial ports of the system as the operator needs to see them: which
// adapter each is, the name that survives replugging, whether this user may
// open it, which comN the port map makes of it, and the line that names it
// for good in the port map.

#include "platform/portmap.h"
#include "platform/serialdevices.h"
#include "platform/seriallink.h"

#include <QJsonArray>
#include <QJsonObject>

struct ListedPort {
    SerialPortEntry port;
    QString stableName;     // "/dev/serial/by-id/...", or empty
    bool mayOpen = false;   // this user may read and write it
    QString group;          // the group owning the device file
    bool placeholder = false;   // reserved by the system, no hardware behind it
    QList<int> comPorts;    // the com N that lead to it
    QString mapLine;        // "com1=/dev/serial/by-id/...", empty for a placeholder
};

QList<ListedPort> ListPorts(const SerialDevices& devices, const PortMap& map);
// The listing for people, one block per port, and as JSON ({"ports": [...]}).
QString PortsText(const QList<ListedPort>& ports);
QJsonObject PortsJson(const QList<ListedPort>& ports);

// One line for each device the map names that does not exist, with the
// ports the system reports; exceptPort is left out (its opening says it).
QStringList MissingMapDevices(const PortMap& map, const SerialDevices& devices, int exceptPort = 0);

// What com N stands for, in a language: "com1 = /dev/ttyUSB0, FT232R USB
// UART", "com3 = simulated terminal", "com5 = /dev/ttyS4, not present",
// "com6 = rfc2217://door1:4001, terminal on the network (RFC 2217)". A
// simulated terminal's memory file by its name (door1.QLV), or with
// wholePath as written in the map; a setting it cannot use is said.
QString PortStandsFor(int port, const PortTarget& target, const SerialDevices& devices, int languageOffset,
                      bool wholePath = false);

// com1 to com8 as the map makes them, for the command line: the line of
// PortStandsFor (English, whole paths) for each, and as JSON ({"com":
// "com1", "mapped": the map names it, "target": the map's text or the
// system's device, "standsFor": the line}).
QStringList ComPortLines(const PortMap& map, const SerialDevices& devices);
QJsonArray ComPortsJson(const PortMap& map, const SerialDevices& devices);
