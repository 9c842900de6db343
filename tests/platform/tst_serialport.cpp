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
        QCOMPARE(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));

        QByteArray received;
        connect(&link, &SerialLink::ReceiveEvent, this, [&](int code) {
            QCOMPARE(code, LinkEvent::Received);
            received += link.ReadAll();
        });
        const QByteArray all = QByteArray::fromHex("00ff10807f");
        link.Send(all);
        QByteArray atTerminal;
        const auto readAtTerminal = [&] {
            char buf[16];
            atTerminal.append(buf, qMax<ssize_t>(0, ::read(master, buf, sizeof buf)));
            return atTerminal;
        };
        QTRY_COMPARE_WITH_TIMEOUT(readAtTerminal(), all, 5000);
        QCOMPARE(::write(master, all.constData(), all.size()), ssize_t(all.size()));
        QTRY_COMPARE_WITH_TIMEOUT(received, all, 5000);
        link.Close();
        QVERIFY(!link.IsOpen());
        ::close(master);
        ::close(slave);
#endif
    }
};

QTEST_GUILESS_MAIN(SerialPortTest)
#include "tst_serialport.moc"
