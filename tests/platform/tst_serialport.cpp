// The real port implementation on a pseudo-terminal: the line settings, and
// bytes both ways through the receive event.
#include "platform/seriallink.h"

#include <QtTest>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#endif

class SerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void missingDeviceFailsWithItsName()
    {
        QSerialPortLink link;
        link.SetDevice(QStringLiteral("/dev/vardelo-no-such-port"));
        QVERIFY(!link.Open());
        QVERIFY(!link.IsOpen());
        QVERIFY(link.ErrorText().startsWith(QStringLiteral("/dev/vardelo-no-such-port")));
        link.Send("x");   // harmless on a closed port
        QVERIFY(link.ReadAll().isEmpty());
    }

    void bytesBothWays()
    {
#ifndef Q_OS_LINUX
        QSKIP("needs a pseudo-terminal");
#else
        int master = -1, slave = -1;
        char name[256] = {};
        QVERIFY(openpty(&master, &slave, name, nullptr, nullptr) == 0);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        QSerialPortLink link;
        link.SetDevice(QString::fromLatin1(name));
        QVERIFY2(link.Open(), qPrintable(link.ErrorText()));
        QVERIFY(!link.Dtr() && !link.Rts());

        termios t{};
        QVERIFY(tcgetattr(slave, &t) == 0);
        QCOMPARE(cfgetospeed(&t), speed_t(B2400));
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));

        QByteArray received;
        QList<int> codes;
        connect(&link, &SerialLink::ReceiveEvent, this, [&](int code) {
            codes << code;
            received += link.ReadAll();
        });
        const QByteArray all = QByteArray::fromHex("00ff10807f");
        link.Send(all);
        QByteArray atTerminal;
        QTRY_VERIFY_WITH_TIMEOUT((
            [&] {
                char buf[16];
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0)
                    atTerminal.append(buf, n);
                return atTerminal.size() >= all.size();
            }()),
            5000);
        QCOMPARE(atTerminal, all);
        QCOMPARE(::write(master, all.constData(), all.size()), ssize_t(all.size()));
        QTRY_COMPARE_WITH_TIMEOUT(received, all, 5000);
        QVERIFY(!codes.isEmpty());
        QVERIFY(std::all_of(codes.begin(), codes.end(), [](int c) { return c == LinkEvent::Received; }));
        link.Close();
        QVERIFY(!link.IsOpen());
        ::close(master);
        ::close(slave);
#endif
    }
};

QTEST_GUILESS_MAIN(SerialPortTest)
#include "tst_serialport.moc"
