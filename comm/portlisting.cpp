#include "comm/portlisting.h"

#include "texts/catalogue.h"
#include "texts/networktexts.h"
#include "comm/simterminal.h"

#include <QFileInfo>
#include <QJsonArray>
#include <algorithm>

namespace {

bool IsPlaceholder(const SerialPortEntry& port, const SerialDevices& devices)
{
    return port.description.isEmpty() && !port.vendorId && !devices.HasHardware(port.path);
}

// Whether a name from the map leads to the port: its path, its stable name,
// or a link to the same device.
bool LeadsTo(const QString& name, const SerialPortEntry& port, const QString& stableName)
{
    if (name == port.path || (!stableName.isEmpty() && name == stableName))
        return true;
    const QString canonical = QFileInfo(name).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(port.path).canonicalFilePath();
}

QString UsbId(std::optional<quint16> id)
{
    return id ? QStringLiteral("%1").arg(*id, 4, 16, QChar(u'0')) : QString();
}

QJsonValue OrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

} // namespace

QList<ListedPort> ListPorts(const SerialDevices& devices, const PortMap& map)
{
    QList<ListedPort> listed;
    for (const SerialPortEntry& port : devices.Ports()) {
        ListedPort l;
        l.port = port;
        l.stableName = devices.StableName(port.path);
        const DeviceFacts facts = devices.Inspect(port.path);
        l.mayOpen = facts.kind == DeviceFacts::Kind::Device && facts.mayReadWrite;
        l.group = facts.group;
        l.placeholder = IsPlaceholder(port, devices);
        for (int n = 1; n <= 8; ++n) {
            const PortTarget target = map.Resolve(n);
            if (target.kind == PortTarget::Kind::Device && LeadsTo(target.device, port, l.stableName))
                l.comPorts << n;
        }
        listed << l;
    }
    std::sort(listed.begin(), listed.end(),
              [](const ListedPort& a, const ListedPort& b) { return a.port.path < b.port.path; });

    // The line to paste: the com N the port already is, otherwise the first
    // one the map does not name and that leads to no real port today.
    const auto taken = [&](int n) {
        return map.Entries().contains(n) || std::any_of(listed.begin(), listed.end(), [&](const ListedPort& l) {
            return !l.placeholder && l.comPorts.contains(n);
        });
    };
    for (ListedPort& l : listed) {
        if (l.placeholder)
            continue;
        int n = l.comPorts.isEmpty() ? 0 : l.comPorts.first();
        for (int k = 1; n == 0 && k <= 8; ++k)
            if (!taken(k))
                n = k;
        if (n == 0)
            continue;   // com1..com8 all lead elsewhere
        l.mapLine = QStringLiteral("com%1=%2").arg(n).arg(l.stableName.isEmpty() ? l.port.path : l.stableName);
    }
    return listed;
}

QString PortsText(const QList<ListedPort>& ports)
{
    if (ports.isEmpty())
        return QStringLiteral("no serial ports found\n");
    QString text;
    for (const ListedPort& l : ports) {
        QStringList about;
        for (const QString& part : {l.port.description, l.port.manufacturer})
            if (!part.isEmpty())
                about << part;
        if (!l.port.serialNumber.isEmpty())
            about << QStringLiteral("serial number ") + l.port.serialNumber;
        if (l.port.vendorId)
            about << QStringLiteral("USB %1:%2").arg(UsbId(l.port.vendorId), UsbId(l.port.productId));
        if (l.placeholder)
            about << QStringLiteral("placeholder, no hardware behind it");
        text += l.port.path;
        if (!about.isEmpty())
            text += QStringLiteral("  (") + about.join(QStringLiteral(", ")) + u')';
        text += u'\n';
        if (!l.stableName.isEmpty())
            text += QStringLiteral("  stable name: ") + l.stableName + u'\n';
        QStringList com;
        for (int n : l.comPorts)
            com << QStringLiteral("com%1").arg(n);
        text += QStringLiteral("  is:          ") + (com.isEmpty() ? QStringLiteral("no com port") : com.join(QStringLiteral(", "))) + u'\n';
        text += QStringLiteral("  access:      ")
            + (l.mayOpen ? QStringLiteral("read and write")
                         : QStringLiteral("not allowed for this user (group %1)").arg(l.group))
            + u'\n';
        if (!l.mapLine.isEmpty())
            text += QStringLiteral("  port map:    ") + l.mapLine + u'\n';
    }
    return text;
}

QJsonObject PortsJson(const QList<ListedPort>& ports)
{
    QJsonArray array;
    for (const ListedPort& l : ports) {
        QJsonArray com;
        for (int n : l.comPorts)
            com.append(QStringLiteral("com%1").arg(n));
        array.append(QJsonObject{
            {QStringLiteral("path"), l.port.path},
            {QStringLiteral("stableName"), OrNull(l.stableName)},
            {QStringLiteral("description"), l.port.description},
            {QStringLiteral("manufacturer"), l.port.manufacturer},
            {QStringLiteral("serialNumber"), l.port.serialNumber},
            {QStringLiteral("vendorId"), OrNull(UsbId(l.port.vendorId))},
            {QStringLiteral("productId"), OrNull(UsbId(l.port.productId))},
            {QStringLiteral("mayOpen"), l.mayOpen},
            {QStringLiteral("group"), l.group},
            {QStringLiteral("placeholder"), l.placeholder},
            {QStringLiteral("com"), com},
            {QStringLiteral("mapLine"), OrNull(l.mapLine)},
        });
    }
    return QJsonObject{{QStringLiteral("ports"), array}};
}

QStringList MissingMapDevices(const PortMap& map, const SerialDevices& devices, int exceptPort)
{
    QList<int> named = map.Entries().keys();
    std::sort(named.begin(), named.end());
    QStringList lines;
    QStringList detected;
    for (int n : named) {
        const PortTarget target = map.Resolve(n);
        if (n == exceptPort || target.kind != PortTarget::Kind::Device
            || devices.Inspect(target.device).kind != DeviceFacts::Kind::Missing)
            continue;
        if (detected.isEmpty())
            for (const SerialPortEntry& port : devices.Ports())
                detected << port.path;
        lines << QStringLiteral("com%1=%2: the device does not exist (detected ports: %3)")
                     .arg(n)
                     .arg(target.device, detected.isEmpty() ? QStringLiteral("none") : detected.join(QStringLiteral(", ")));
    }
    return lines;
}

QString PortStandsFor(int port, const PortTarget& target, const SerialDevices& devices, int languageOffset,
                      bool wholePath)
{
    const QString com = QStringLiteral("com%1 = ").arg(port);
    if (target.kind == PortTarget::Kind::Network) {
        if (!NetworkAddress::Parse(target.address))
            return com + CatalogueText(Text::NetworkNotAnAddress, languageOffset).arg(target.address);
        return com + target.address + QStringLiteral(", ") + CatalogueText(Text::NetworkTerminal, languageOffset);
    }
    if (target.kind == PortTarget::Kind::Simulated) {
        QString text = com + CatalogueText(Text::SimulatedTerminal, languageOffset);
        QString error;
        const auto options = ParseSimulationOptions(target.simulation, &error);
        if (!options)
            return text + QStringLiteral("; ") + CatalogueText(Text::SimulationSettingUnusable, languageOffset) + u' '
                + error;
        if (!options->file.isEmpty())
            text += QStringLiteral(" (%1)").arg(wholePath ? options->file : QFileInfo(options->file).fileName());
        return text;
    }
    if (devices.Inspect(target.device).kind == DeviceFacts::Kind::Missing)
        return com + target.device + QStringLiteral(", ") + CatalogueText(Text::PortNotPresent, languageOffset);
    for (const SerialPortEntry& entry : devices.Ports()) {
        if (!LeadsTo(target.device, entry, devices.StableName(entry.path)))
            continue;
        if (IsPlaceholder(entry, devices))
            return com + entry.path + QStringLiteral(", ") + CatalogueText(Text::PortPlaceholder, languageOffset);
        return com + entry.path + (entry.description.isEmpty() ? QString() : QStringLiteral(", ") + entry.description);
    }
    return com + target.device;
}

QStringList ComPortLines(const PortMap& map, const SerialDevices& devices)
{
    QStringList lines;
    for (int n = 1; n <= 8; ++n)
        lines << PortStandsFor(n, map.Resolve(n), devices, 1000, true);
    return lines;
}

QJsonArray ComPortsJson(const PortMap& map, const SerialDevices& devices)
{
    QJsonArray ports;
    const QStringList lines = ComPortLines(map, devices);
    for (int n = 1; n <= 8; ++n) {
        const bool mapped = map.Entries().contains(n);
        ports.append(QJsonObject{
            {QStringLiteral("com"), QStringLiteral("com%1").arg(n)},
            {QStringLiteral("mapped"), mapped},
            {QStringLiteral("target"), mapped ? map.Entries().value(n) : PortMap::SystemDevice(n)},
            {QStringLiteral("standsFor"), lines.at(n - 1)},
        });
    }
    return ports;
}
