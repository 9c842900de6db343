// Serial ports as the operator meets them: why one did not open, the list of
// ports with their adapters, and what a com port stands for.
#include "texts/catalogue.h"
#include "comm/mappedlink.h"
#include "comm/portdiagnosis.h"
#include "comm/portlisting.h"
#include "comm/portopening.h"
#include "common/english.h"
#include "common/fakes.h"
#include "common/scriptedlink.h"
#include "platform/timers.h"

#include <QJsonArray>
#include <QtTest>

#ifdef Q_OS_LINUX
#include "common/pseudoterminal.h"
#endif

namespace {

SerialPortEntry Port(const QString& path, const QString& description = {}, std::optional<quint16> vendor = {},
                     std::optional<quint16> product = {})
{
    SerialPortEntry entry;
    entry.path = path;
    entry.description = description;
    entry.vendorId = vendor;
    entry.productId = product;
    return entry;
}

DeviceFacts Device(bool mayReadWrite, const QString& group = QStringLiteral("dialout"), bool groupMayReadWrite = true)
{
    return {DeviceFacts::Kind::Device, mayReadWrite, group, groupMayReadWrite};
}

const QString ById = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

// A machine with a placeholder, a built-in port, an FTDI adapter with its
// stable name and an adapter this user may not open.
FakeSerialDevices Machine()
{
    FakeSerialDevices d;
    auto ftdi = Port(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), 0x0403, 0x6001);
    ftdi.manufacturer = QStringLiteral("FTDI");
    ftdi.serialNumber = QStringLiteral("A50285BI");
    d.ports = {Port(QStringLiteral("/dev/ttyS0")), Port(QStringLiteral("/dev/ttyS1")), ftdi,
               Port(QStringLiteral("/dev/ttyACM0"), QStringLiteral("Arduino Uno"), 0x2341, 0x43)};
    d.withoutHardware = {QStringLiteral("/dev/ttyS0")};
    d.stableNames.insert(QStringLiteral("/dev/ttyUSB0"), ById);
    for (const auto& port : d.ports)
        d.facts.insert(port.path, Device(port.path != u"/dev/ttyACM0"));
    d.facts.insert(ById, Device(true));
    return d;
}
const QString MachineMap = QStringLiteral("com1=%1\ncom3=sim\ncom4=sim:/home/anna/door1.QLV,burst=8\ncom5=/dev/ttyUSB7\ncom7=sim,loud\n").arg(ById);

} // namespace

class PortsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // Opening fails for a reason of its own, said under text 165 in the
    // operator's language; a port that opens says nothing.
    void openFailure_data()
    {
        QTest::addColumn<QString>("device");   // DIR: the temporary folder, PTY: a pseudo-terminal
        QTest::addColumn<QString>("facts");    // "" the real file; "no access", "no access, group root"
        QTest::addColumn<bool>("heldElsewhere");
        QTest::addColumn<QString>("line");     // English; DEV stands for the device
        QTest::newRow("missing path") << "DIR/ttyUSB9" << "" << false << "DEV does not exist; detected ports: /dev/ttyUSB0";
        QTest::newRow("regular file") << "DIR/file" << "" << false << "DEV is a file, not a serial device";
        QTest::newRow("directory") << "DIR" << "" << false << "DEV is a folder, not a serial device";
        // A device node that is no serial port; the system says this user
        // may not open it (root may open anything, so the facts are the test's).
        QTest::newRow("device node, group dialout") << "/dev/null" << "no access" << false
                                                    << "DEV may only be opened by the group dialout: add your user to it "
                                                       "(sudo usermod -aG dialout anna) and log in again";
        QTest::newRow("device node, group may not open it") << "/dev/null" << "no access, group root" << false
                                                            << "DEV may not be opened by your user (permission denied)";
        QTest::newRow("pseudo-terminal in use") << "PTY" << "" << true << "DEV is in use by another program";
        QTest::newRow("pseudo-terminal") << "PTY" << "" << false << "";
        // Not an occupied interface: its own line stands alone.
        QTest::newRow("simulated terminal, no memory file")
            << "sim:DIR/none.QLV" << "" << false
            << "Memory file of the simulated terminal cannot be used: DIR/none.QLV: does not exist";
        QTest::newRow("simulated terminal, option it does not have")
            << "sim,loud" << "" << false
            << "Setting of the simulated terminal cannot be used: sim,loud: unknown simulated terminal option \"loud\"";
    }
    void openFailure()
    {
#ifndef Q_OS_LINUX
        QSKIP("needs Linux device files");
#else
        QFETCH(QString, device);
        QFETCH(QString, facts);
        QFETCH(bool, heldElsewhere);
        QFETCH(QString, line);
        QFile(dir.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly);
        PseudoTerminal terminal;
        QVERIFY(terminal.IsOpen());
        device.replace(QStringLiteral("DIR"), dir.path()).replace(QStringLiteral("PTY"), terminal.DeviceName());
        FakeSerialDevices devices;
        devices.realFiles = true;
        devices.ports = {Port(QStringLiteral("/dev/ttyUSB0"))};
        if (!facts.isEmpty())
            devices.facts.insert(device, Device(false, facts.contains(u"root") ? "root" : "dialout"));
        QSerialPortLink other;
        other.SetDevice(device);
        QVERIFY(!heldElsewhere || other.Open());

        QtTimers timers;
        const PortMap none;
        MappedSerialLink link(timers, none);
        link.SetDevices(devices);
        link.SetFixedTarget(PortMap::TargetFromText(device));
        QCOMPARE(link.Open(), line.isEmpty());
        line.replace(QStringLiteral("DEV"), device).replace(QStringLiteral("DIR"), dir.path());
        QCOMPARE(OpenFailureLine(link.OpenFailure(), 1000), line);
        ProgramState program;
        program.LanguageOffset = 0;
        const QStringList message = PortFailedMessage(program, Text::PortBusy, {link.OpenFailure()}).split(u'\n');
        const bool simulated = device.startsWith(u"sim");
        QCOMPARE(message.first() == CatalogueText(Text::PortBusy, 0), !simulated);
        QCOMPARE(message.size(), line.isEmpty() || simulated ? 1 : 2);
        if (!line.isEmpty())
            QVERIFY2(message.last().contains(device.mid(simulated ? 4 : 0)) && message.last() != line, qPrintable(message.last()));
        link.Close();
        other.Close();
#endif
    }

    // At start-up both com1 and com2 are tried: text 129, then a line for each.
    void startUpNamesEachPort()
    {
        ProgramState program;
        program.LanguageOffset = 1000;
        SessionState session(program);
        ScriptedLink link;
        link.failingPorts = {1, 2};
        link.failure.cause = PortFailure::Cause::Busy;
        link.failure.device = QStringLiteral("/dev/ttyUSB0");
        FakeMessages messages;
        QVERIFY(!OpenPortAtStartUp(session, link, messages));
        const QString busy = QStringLiteral("/dev/ttyUSB0 is in use by another program");
        QCOMPARE(messages.shown.at(0).prompt, QStringList({En(129), busy, busy}).join(u'\n'));
    }

    // Every port the system reports is listed, the placeholder marked, with
    // the com ports the map makes of it and the line that names it for good.
    void listing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("com");
        QTest::addColumn<bool>("placeholder");
        QTest::addColumn<bool>("mayOpen");
        QTest::addColumn<QString>("mapLine");
        QTest::newRow("placeholder, its com1 mapped away") << "/dev/ttyS0" << QStringList{} << true << true << "";
        QTest::newRow("built-in port is com2") << "/dev/ttyS1" << QStringList{"com2"} << false << true << "com2=/dev/ttyS1";
        QTest::newRow("adapter by stable name") << "/dev/ttyUSB0" << QStringList{"com1"} << false << true << "com1=" + ById;
        // com1 and com2 lead to ports, com3 to com5 are named in the map.
        QTest::newRow("adapter not allowed") << "/dev/ttyACM0" << QStringList{} << false << false << "com6=/dev/ttyACM0";
    }
    void listing()
    {
        QFETCH(QString, path);
        const FakeSerialDevices devices = Machine();
        const QJsonArray ports = PortsJson(ListPorts(devices, PortMap::Parse(MachineMap))).value("ports").toArray();
        QCOMPARE(ports.size(), 4);
        QJsonObject port;
        for (const auto& p : ports)
            if (p.toObject().value("path") == path)
                port = p.toObject();
        QFETCH(QStringList, com);
        QCOMPARE(port.value("com").toVariant().toStringList(), com);
        QTEST(port.value("placeholder").toBool(), "placeholder");
        QTEST(port.value("mayOpen").toBool(), "mayOpen");
        QTEST(port.value("mapLine").toString(), "mapLine");
    }

    void listingDetails()
    {
        const FakeSerialDevices devices = Machine();
        const QList<ListedPort> listed = ListPorts(devices, PortMap::Parse(MachineMap));
        const QJsonObject ftdi = PortsJson(listed).value("ports").toArray().at(3).toObject();
        QCOMPARE(ftdi.value("path").toString(), "/dev/ttyUSB0");
        QCOMPARE(ftdi.value("stableName").toString(), ById);
        QCOMPARE(ftdi.value("vendorId").toString() + ftdi.value("productId").toString(), "04036001");
        QCOMPARE(ftdi.value("serialNumber").toString(), "A50285BI");
        const QString text = PortsText(listed);
        QVERIFY2(text.contains("/dev/ttyS0  (placeholder, no hardware behind it)\n")
                     && text.contains("/dev/ttyUSB0  (FT232R USB UART, FTDI, serial number A50285BI, USB 0403:6001)\n")
                     && text.contains("not allowed for this user (group dialout)"),
                 qPrintable(text));
        // The port opened says itself that its device does not exist.
        QVERIFY(MissingMapDevices(PortMap::Parse(MachineMap), devices, 5).isEmpty());
    }

    // The line of the interface dialog for each com port.
    void standsFor_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("mapped");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("adapter by stable name") << 1 << true << 1000 << "com1 = /dev/ttyUSB0, FT232R USB UART";
        QTest::newRow("placeholder") << 1 << false << 1000 << "com1 = /dev/ttyS0, placeholder without hardware";
        QTest::newRow("no description") << 2 << true << 1000 << "com2 = /dev/ttyS1";
        QTest::newRow("simulated") << 3 << true << 1000 << "com3 = simulated terminal";
        QTest::newRow("simulated with file, German") << 4 << true << 0 << "com4 = simuliertes Terminal (door1.QLV)";
        QTest::newRow("simulated, option it does not have") << 7 << true << 1000
            << "com7 = simulated terminal; Setting of the simulated terminal cannot be used: unknown simulated terminal option \"loud\"";
        QTest::newRow("not present") << 5 << true << 1000 << "com5 = /dev/ttyUSB7, not present";
        QTest::newRow("not present, Spanish") << 6 << true << 3000 << "com6 = /dev/ttyS5, no presente";
    }
    void standsFor()
    {
        QFETCH(int, port);
        QFETCH(bool, mapped);
        QFETCH(int, language);
        const PortMap map = PortMap::Parse(mapped ? MachineMap : QString());
        QTEST(PortStandsFor(port, map.Resolve(port), Machine(), language), "text");
    }
};

QTEST_GUILESS_MAIN(PortsTest)
#include "tst_ports.moc"
