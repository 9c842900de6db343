#include "comm/receivehandler.h"
#include "common/scriptedlink.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}
}

class ReceiveHandlerTest : public QObject {
    Q_OBJECT

    Vardelomod m;
    std::unique_ptr<ScriptedLink> link;
    std::unique_ptr<ReceiveHandler> rx;

private slots:
    void init()
    {
        m = Vardelomod();
        link = std::make_unique<ScriptedLink>();
        link->Open();
        rx = std::make_unique<ReceiveHandler>(m, *link);
        rx->SetListening(true);
    }

    // Deliveries given as "|"-separated groups of byte values; one group is
    // one receive event.
    void deliveries_data()
    {
        QTest::addColumn<int>("synced");
        QTest::addColumn<QString>("groups");
        QTest::addColumn<int>("rxIndex");
        QTest::addColumn<int>("syncedAfter");
        QTest::addColumn<int>("stepCount");
        QTest::addColumn<bool>("passwordSent");

        // StepCount starts at 20 in every row, to see whether it was set back.
        QTest::newRow("start byte alone") << 0 << "16" << 1 << 1 << 3 << true;
        QTest::newRow("start byte inside a burst") << 0 << "1 16 2" << 3 << 0 << 20 << false;
        QTest::newRow("start byte at the head of a burst") << 0 << "16 1" << 2 << 0 << 20 << false;
        QTest::newRow("start byte while synced is data") << 1 << "16" << 1 << 1 << 3 << false;
        QTest::newRow("single byte before the start byte") << 0 << "7" << 1 << 0 << 20 << false;
        QTest::newRow("burst does not feed the watchdog") << 1 << "1 2 3 4" << 4 << 1 << 20 << false;
        QTest::newRow("single byte feeds the watchdog") << 1 << "1 2 3|4" << 4 << 1 << 3 << false;
        QTest::newRow("start byte then data") << 0 << "16|1|2 3" << 4 << 1 << 3 << true;
        QTest::newRow("second start byte is data") << 0 << "16|16" << 2 << 1 << 3 << true;
    }
    void deliveries()
    {
        QFETCH(int, synced);
        QFETCH(QString, groups);
        m.TerminalPassword = QStringLiteral("0abc");
        rx->State().Synced = synced;
        rx->State().StepCount = 20;
        QSignalSpy started(rx.get(), &ReceiveHandler::StartByteReceived);
        QByteArray all;
        for (const QString& group : groups.split(u'|')) {
            QByteArray bytes;
            for (const QString& v : group.split(u' '))
                bytes.append(char(v.toInt()));
            all += bytes;
            link->Deliver(bytes);
        }
        QTEST(rx->State().RxIndex, "rxIndex");
        QTEST(rx->State().Synced, "syncedAfter");
        QTEST(rx->State().StepCount, "stepCount");
        QFETCH(bool, passwordSent);
        QCOMPARE(link->sent, passwordSent ? QByteArray("0abc") : QByteArray());
        QCOMPARE(started.count(), passwordSent ? 1 : 0);
        // Every byte lands in the slots in order from where the last start
        // byte put the index.
        const qsizetype from = passwordSent ? all.indexOf(char(16)) : 0;
        for (int i = 0; i < rx->State().RxIndex; ++i)
            QCOMPARE(m.ConfigImage[i], qint16(quint8(all.at(from + i))));
        QVERIFY(rx->State().RxBuffer.isEmpty());
    }

    // Whatever the length of the password, the answer ends in slot 4 and the
    // first configuration byte lands in slot 5; the answer comes byte by
    // byte or in one burst.
    void passwordAnswerFoldsToSlotFive_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("burst");
        for (const char* pw : {"0\x21\x43\x65", "XABCDEF", "XABCDEFG", "XABCDEFGH", "XA"}) {
            const QString p = QString::fromLatin1(pw);
            QTest::newRow(qPrintable(QStringLiteral("%1 chars, single").arg(p.size()))) << p << false;
            QTest::newRow(qPrintable(QStringLiteral("%1 chars, burst").arg(p.size()))) << p << true;
        }
    }
    void passwordAnswerFoldsToSlotFive()
    {
        QFETCH(QString, password);
        QFETCH(bool, burst);
        m.TerminalPassword = password;
        link->Deliver(Bytes({16}));
        QByteArray rest = password.toLatin1();
        for (int i = 0; i < 2048; ++i)
            rest.append(char(i * 7 + 1));
        rest += "IDENT-0123456789";
        if (burst) {
            link->Deliver(rest);
        } else {
            for (char c : rest)
                link->Deliver(QByteArray(1, c));
        }
        QCOMPARE(rx->State().RxIndex, 2069);
        QCOMPARE(m.ConfigImage[4], qint16(quint8(password.toLatin1().back())));
        for (int i = 0; i < 2048; ++i)
            QCOMPARE(m.ConfigImage[5 + i], qint16(quint8(i * 7 + 1)));
        QCOMPARE(m.ConfigImage[2053], qint16('I'));
        QCOMPARE(m.ConfigImage[2068], qint16('9'));
    }

    void bytesBeyondTheLastSlotAreDropped()
    {
        rx->State().Synced = 1;
        rx->State().RxIndex = 2199;
        rx->State().StepCount = 20;
        link->Deliver(Bytes({1, 2}));
        QCOMPARE(rx->State().RxIndex, 2201);
        QCOMPARE(m.ConfigImage[2199], qint16(1));
        QCOMPARE(m.ConfigImage[2200], qint16(2));
        // Beyond: nothing stored, the index stays and the watchdog is not fed.
        link->Deliver(Bytes({3}));
        link->Deliver(Bytes({4, 5, 6}));
        QCOMPARE(rx->State().RxIndex, 2201);
        QCOMPARE(rx->State().StepCount, 20);
    }

    void discardedOrIgnoredDeliveries_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("discard");
        QTest::addColumn<bool>("listening");
        QTest::newRow("discarding while sending") << int(LinkEvent::Received) << true << true;
        QTest::newRow("no sequence running") << int(LinkEvent::Received) << false << false;
        QTest::newRow("send event") << 1 << false << true;
        QTest::newRow("CTS change") << 3 << false << true;
        QTest::newRow("ring") << 6 << false << true;
        QTest::newRow("eof") << 7 << false << true;
        QTest::newRow("receive overflow") << 1008 << false << true;
        QTest::newRow("transmit full") << 1010 << false << true;
    }
    void discardedOrIgnoredDeliveries()
    {
        QFETCH(int, code);
        QFETCH(bool, discard);
        QFETCH(bool, listening);
        rx->SetListening(listening);
        rx->State().DiscardRx = discard ? 1 : 0;
        rx->State().Synced = 1;
        rx->State().RxIndex = 10;
        m.ConfigImage[10] = 99;
        // A byte waits in the buffer; the event under test comes.
        link->Queue(Bytes({16}));
        link->RaiseEvent(code);
        QCOMPARE(rx->State().RxIndex, 10);
        QCOMPARE(m.ConfigImage[10], qint16(99));
        QCOMPARE(link->closes, 0);
        QVERIFY(rx->State().RxBuffer.isEmpty());
    }

    void lineErrorsReopenAndKeepTheState_data()
    {
        QTest::addColumn<int>("code");
        for (int code : {1001, 1002, 1003, 1004, 1006, 1007, 1009, 1011})
            QTest::newRow(qPrintable(QString::number(code))) << code;
    }
    void lineErrorsReopenAndKeepTheState()
    {
        QFETCH(int, code);
        m.TerminalPassword = QStringLiteral("0abc");
        link->Deliver(Bytes({16}));
        link->Deliver(Bytes({1, 2, 3}));
        link->SetRts(true);
        QSignalSpy reopened(rx.get(), &ReceiveHandler::PortReopened);
        link->RaiseEvent(code);
        QCOMPARE(link->closes, 1);
        QCOMPARE(link->opened.size(), 2);
        QCOMPARE(reopened.count(), 1);
        QCOMPARE(reopened.at(0).at(0).toBool(), true);
        QVERIFY(!link->Rts());   // opened with the lines off
        QCOMPARE(rx->State().RxIndex, 4);
        QCOMPARE(rx->State().Synced, 1);
        QCOMPARE(m.ConfigImage[3], qint16(3));
        link->Deliver(Bytes({4}));
        QCOMPARE(rx->State().RxIndex, 5);
        QCOMPARE(m.ConfigImage[4], qint16(4));
    }

    void reopeningThatFailsLeavesThePortClosed()
    {
        link->SetPortNumber(2);
        link->failingPorts.insert(2);
        QSignalSpy reopened(rx.get(), &ReceiveHandler::PortReopened);
        link->RaiseEvent(LinkEvent::FramingError);
        QVERIFY(!link->IsOpen());
        QCOMPARE(reopened.at(0).at(0).toBool(), false);
    }
};

QTEST_GUILESS_MAIN(ReceiveHandlerTest)
#include "tst_receivehandler.moc"
