// The port map: which device or simulation each of com1..com8 means.
#include "common/filebytes.h"
#include "platform/portmap.h"

#include <QtTest>

class PortMapTest : public QObject {
    Q_OBJECT
private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("simulated");
        QTest::addColumn<QString>("target");   // device, or the text after "sim"
#ifdef Q_OS_WIN
        const QString com1 = QStringLiteral("COM1"), com8 = QStringLiteral("COM8");
#else
        const QString com1 = QStringLiteral("/dev/ttyS0"), com8 = QStringLiteral("/dev/ttyS7");
#endif
        QTest::newRow("no map") << "" << 1 << false << com1;
        QTest::newRow("usb adapter") << "com1=/dev/ttyUSB0\n" << 1 << false << "/dev/ttyUSB0";
        QTest::newRow("other port untouched") << "com1=/dev/ttyUSB0\n" << 8 << false << com8;
        QTest::newRow("blanks, case, CRLF") << "  COM2 = /dev/ttyACM0 \r\n" << 2 << false << "/dev/ttyACM0";
        QTest::newRow("simulated") << "com2=sim" << 2 << true << "";
        QTest::newRow("simulated with file")
            << "# my terminals\ncom3=sim:/tmp/T.QLV,burst=8" << 3 << true << ":/tmp/T.QLV,burst=8";
        QTest::newRow("last line wins") << "com1=/dev/a\ncom1=/dev/b" << 1 << false << "/dev/b";
        QTest::newRow("bad line ignored") << "com9=/dev/x\ncom1\n=sim" << 1 << false << com1;
        // A NUL or an escape never reaches a device name.
        QTest::newRow("control character") << QStringLiteral("com1=/dev/tty\u0000S0\ncom1=/dev/\u001b[2J") << 1 << false << com1;
    }
    void resolve()
    {
        QFETCH(QString, map);
        QFETCH(int, port);
        QFETCH(bool, simulated);
        QFETCH(QString, target);
        QCOMPARE(PortMap::PortNumberOf(QStringLiteral("COM%1").arg(port)), port);
        const PortTarget t = PortMap::Parse(map).Resolve(port);
        QCOMPARE(t.kind == PortTarget::Kind::Simulated, simulated);
        QCOMPARE(simulated ? t.simulation : t.device, target);
    }

    // Which texts are terminals on the network, and their host and port; any
    // other "SCHEME://" is meant as one too and refused as none, instead of
    // being taken for a device of that name.
    void networkAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("network");
        QTest::addColumn<QString>("host");   // empty: not an address
        QTest::addColumn<int>("port");
        QTest::newRow("host and port") << "rfc2217://terminal-7.example:4001" << true << "terminal-7.example" << 4001;
        QTest::newRow("IPv6") << "rfc2217://[::1]:2217" << true << "::1" << 2217;
        QTest::newRow("upper case scheme, trailing slash, blanks") << " RFC2217://10.1.2.3:7000/ " << true << "10.1.2.3" << 7000;
        QTest::newRow("no port") << "rfc2217://terminal-7" << true << "" << 0;
        QTest::newRow("port 0") << "rfc2217://terminal-7:0" << true << "" << 0;
        QTest::newRow("port too large") << "rfc2217://terminal-7:65536" << true << "" << 0;
        QTest::newRow("plain TCP") << "socket://terminal-7:4001" << true << "" << 0;
        QTest::newRow("a path") << "rfc2217://terminal-7:4001/ttyS0" << true << "" << 0;
        QTest::newRow("user") << "rfc2217://me@terminal-7:4001" << true << "" << 0;
        QTest::newRow("no host") << "rfc2217://:4001" << true << "" << 0;
        QTest::newRow("a query") << "rfc2217://terminal-7:4001?baud=9600" << true << "" << 0;
        QTest::newRow("control character") << "rfc2217://door\x1b[2J:4001" << true << "" << 0;
        QTest::newRow("a device") << "/dev/ttyUSB0" << false << "" << 0;
        QTest::newRow("a Windows port") << "COM3" << false << "" << 0;
        QTest::newRow("the simulated terminal") << "sim:/tmp/x://y.QLV" << false << "" << 0;
    }
    void networkAddresses()
    {
        QFETCH(QString, text);
        QFETCH(bool, network);
        QFETCH(QString, host);
        QFETCH(int, port);
        const auto address = NetworkAddress::Parse(text);
        QCOMPARE(address.has_value(), !host.isEmpty());
        if (address) {
            QCOMPARE(address->host, host);
            QCOMPARE(int(address->port), port);
        }
        const PortTarget target = PortMap::TargetFromText(text);
        QCOMPARE(target.kind == PortTarget::Kind::Network, network);
        if (network)
            QCOMPARE(target.address, text.trimmed());
    }

    // The interface dialog stores a port's target in the map: com N's first
    // line is replaced, later ones removed, a missing one appended, an empty
    // target removes it; comments and other lines stay.
    void withEntry_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("result");
        QTest::newRow("no map") << "" << 3 << "rfc2217://door1:4001" << "com3=rfc2217://door1:4001\n";
        QTest::newRow("appended, no line end before")
            << "# doors\ncom1=/dev/ttyUSB0" << 3 << "rfc2217://door1:4001"
            << "# doors\ncom1=/dev/ttyUSB0\ncom3=rfc2217://door1:4001\n";
        QTest::newRow("replaced in place, later lines of it removed")
            << "com3=sim\n# door 1\n COM3 = /dev/x\ncom4=sim\r\n" << 3 << "rfc2217://door1:4001"
            << "com3=rfc2217://door1:4001\n# door 1\ncom4=sim\n";
        QTest::newRow("a comment naming it stays") << "#com3=sim\ncom3=sim\n" << 3 << "rfc2217://[::1]:2217"
                                                   << "#com3=sim\ncom3=rfc2217://[::1]:2217\n";
        QTest::newRow("removed") << "com1=sim\ncom3=rfc2217://door1:4001\n" << 3 << "" << "com1=sim\n";
        QTest::newRow("removed, the last one") << "com3=rfc2217://door1:4001\n" << 3 << "" << "";
        QTest::newRow("unreadable lines stay") << "what\ncom3\ncom3=sim\n" << 3 << "sim,burst=8"
                                               << "what\ncom3\ncom3=sim,burst=8\n";
    }
    void withEntry()
    {
        QFETCH(QString, map);
        QFETCH(int, port);
        QFETCH(QString, target);
        const QString result = PortMap::WithEntry(map, port, target);
        QTEST(result, "result");
        QCOMPARE(PortMap::Parse(result).Entries().value(port), target);
    }

    // The first ten bad lines are reported, each cut to 80 characters and
    // without raw control characters; a map over 64 KB is not read at all.
    void limits_data()
    {
        QTest::addColumn<QByteArray>("map");
        QTest::addColumn<QStringList>("problems");   // each as far as it is checked
        QTest::addColumn<bool>("read");
        const QString form = QStringLiteral("\" is not of the form comN=DEVICE, comN=sim[:FILE.QLV] or comN=rfc2217://HOST:PORT");
        QStringList twelve;
        for (int line = 1; line <= 10; ++line)
            twelve << QStringLiteral("line %1: \"bad").arg(line);
        QTest::newRow("twelve bad lines") << QByteArray("bad\n").repeated(12) << (twelve << "2 more lines") << true;
        QTest::newRow("long line") << QByteArray(300, 'y') + "\ncom2=sim\n"
                                   << QStringList{"line 1: \"" + QString(80, u'y') + "..." + form} << true;
        QTest::newRow("NUL and escape") << QByteArray("com1=/dev/a\0b\x1b\n", 15)
                                        << QStringList{"line 1: \"com1=/dev/a\\x00b\\x1b" + form} << true;
        QTest::newRow("65 KB") << QByteArray("# comment\n").repeated(6700) << QStringList{} << false;
    }
    void limits()
    {
        QFETCH(QByteArray, map);
        QFETCH(QStringList, problems);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ports.map"));
        QVERIFY(WriteBytes(path, map));
        const PortMap loaded = PortMap::Load(path);
        QTEST(bool(loaded.LoadStatus()), "read");
        QVERIFY(loaded.LoadStatus() || loaded.LoadStatus().message.contains(QStringLiteral("ports.map: is too large")));
        QCOMPARE(loaded.Problems().size(), problems.size());
        for (int i = 0; i < problems.size(); ++i)
            QVERIFY2(loaded.Problems().at(i).startsWith(problems.at(i)), qPrintable(loaded.Problems().at(i)));
    }
};

QTEST_GUILESS_MAIN(PortMapTest)
#include "tst_portmap.moc"
