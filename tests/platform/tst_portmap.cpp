// The port map: which device or simulation each of com1..com8 means.
#include "platform/seriallink.h"

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
};

QTEST_GUILESS_MAIN(PortMapTest)
#include "tst_portmap.moc"
