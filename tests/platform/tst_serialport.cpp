// The real port implementation on a pseudo-terminal: the line settings, and
// bytes both ways through the receive event.
#include "platform/seriallink.h"

#include <QtTest>

#ifdef Q_OS_LINUX
#include "common/pseudoterminal.h"

#include <termios.h>
#endif

class SerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void bytesBothWays()
    {
#ifndef Q_OS_LINUX
        QSKIP("needs a pseudo-terminal");
#else
        PseudoTerminal terminal;
        QVERIFY(terminal.IsOpen());
        QSerialPortLink link;
        link.SetDevice(terminal.DeviceName());
        QVERIFY2(link.Open(), qPrintable(link.ErrorText()));
        QVERIFY(!link.Dtr() && !link.Rts());
        termios t{};
        QVERIFY(tcgetattr(terminal.DeviceFd(), &t) == 0);
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
        const auto readAtTerminal = [&] { return atTerminal += terminal.ReadAvailable(); };
        QTRY_COMPARE_WITH_TIMEOUT(readAtTerminal(), all, 5000);
        QVERIFY(terminal.Write(all));
        QTRY_COMPARE_WITH_TIMEOUT(received, all, 5000);
        link.Close();
        QVERIFY(!link.IsOpen());
#endif
    }
};

QTEST_GUILESS_MAIN(SerialPortTest)
#include "tst_serialport.moc"
