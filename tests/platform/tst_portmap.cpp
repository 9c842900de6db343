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

    // The first ten bad lines are reported, each cut to 80 characters and
    // without raw control characters; a map over 64 KB is not read at all.
    void limits_data()
    {
        QTest::addColumn<QByteArray>("map");
        QTest::addColumn<QStringList>("problems");   // each as far as it is checked
        QTest::addColumn<bool>("read");
        const QString form = QStringLiteral("\" is not of the form comN=DEVICE or comN=sim[:FILE.QLV]");
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
