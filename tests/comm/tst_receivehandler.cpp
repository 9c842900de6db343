// The receive handler fed delivery by delivery through a scripted link.
#include "comm/receivehandler.h"
#include "common/scriptedlink.h"

#include <QtTest>

class ReceiveHandlerTest : public QObject {
    Q_OBJECT

    Vardelomod m;
    std::unique_ptr<ScriptedLink> link;
    std::unique_ptr<ReceiveHandler> rx;

private slots:
    void init()
    {
        m = Vardelomod();
        m.TerminalPassword = QStringLiteral("0abc");
        link = std::make_unique<ScriptedLink>();
        link->Open();
        rx = std::make_unique<ReceiveHandler>(m, *link);
        rx->SetListening(true);
    }

    // Deliveries as "|"-separated groups of byte values, one group per
    // receive event ("!N": an event with code N instead). The start byte
    // counts only alone while not synced; only single-byte deliveries set the
    // watchdog back (from 20 to 3); slots end at 2200, beyond them nothing is
    // stored or fed; bytes are read away unused while the write sends, while
    // no sequence runs, and on events that are not line errors.
    void deliveries_data()
    {
        QTest::addColumn<int>("from");   // RxIndex before
        QTest::addColumn<int>("synced");
        QTest::addColumn<QString>("groups");
        QTest::addColumn<QString>("state");   // "discard": DiscardRx 1; "idle": not listening
        QTest::addColumn<int>("rxIndex");
        QTest::addColumn<int>("syncedAfter");
        QTest::addColumn<int>("stepCount");
        QTest::addColumn<bool>("passwordSent");
        QTest::newRow("start byte alone") << 0 << 0 << "16" << "" << 1 << 1 << 3 << true;
        QTest::newRow("start byte inside a burst") << 0 << 0 << "1 16 2" << "" << 3 << 0 << 20 << false;
        QTest::newRow("start byte at the head of a burst") << 0 << 0 << "16 1" << "" << 2 << 0 << 20 << false;
        QTest::newRow("start byte while synced is data") << 0 << 1 << "16" << "" << 1 << 1 << 3 << false;
        QTest::newRow("single byte before the start byte") << 0 << 0 << "7" << "" << 1 << 0 << 20 << false;
        QTest::newRow("burst does not feed the watchdog") << 0 << 1 << "1 2 3 4" << "" << 4 << 1 << 20 << false;
        QTest::newRow("single byte feeds the watchdog") << 0 << 1 << "1 2 3|4" << "" << 4 << 1 << 3 << false;
        QTest::newRow("start byte then data") << 0 << 0 << "16|1|2 3" << "" << 4 << 1 << 3 << true;
        QTest::newRow("second start byte is data") << 0 << 0 << "16|16" << "" << 2 << 1 << 3 << true;
        QTest::newRow("beyond the last slot") << 2199 << 1 << "1 2|3|4 5 6" << "" << 2201 << 1 << 20 << false;
        QTest::newRow("discarding while sending") << 10 << 1 << "16" << "discard" << 10 << 1 << 20 << false;
        QTest::newRow("no sequence running") << 10 << 1 << "16" << "idle" << 10 << 1 << 20 << false;
        QTest::newRow("send event") << 10 << 1 << "16!1" << "" << 10 << 1 << 20 << false;
        QTest::newRow("ring") << 10 << 1 << "16!6" << "" << 10 << 1 << 20 << false;
        QTest::newRow("receive overflow") << 10 << 1 << "16!1008" << "" << 10 << 1 << 20 << false;
    }
    void deliveries()
    {
        QFETCH(QString, groups);
        QFETCH(bool, passwordSent);
        QFETCH(int, from);
        QFETCH(int, synced);
        rx->State().RxIndex = from;
        rx->State().Synced = synced;
        rx->State().StepCount = 20;
        QFETCH(QString, state);
        rx->State().DiscardRx = state == u"discard" ? 1 : 0;
        rx->SetListening(state != u"idle");
        QSignalSpy started(rx.get(), &ReceiveHandler::StartByteReceived);
        QByteArray all;
        for (const QString& group : groups.split(u'|')) {
            const QStringList parts = group.split(u'!');
            QByteArray bytes;
            for (const QString& v : parts.at(0).split(u' '))
                bytes.append(char(v.toInt()));
            all += bytes;
            link->Deliver(bytes, parts.value(1, QString::number(LinkEvent::Received)).toInt());
        }
        QTEST(rx->State().RxIndex, "rxIndex");
        QTEST(rx->State().Synced, "syncedAfter");
        QTEST(rx->State().StepCount, "stepCount");
        QCOMPARE(link->sent, passwordSent ? QByteArray("0abc") : QByteArray());
        QCOMPARE(started.count(), passwordSent ? 1 : 0);
        // The bytes land in the slots in order, from slot 0 at the start byte.
        const qsizetype skip = passwordSent ? all.indexOf(char(16)) : 0;
        const int base = passwordSent ? 0 : from;
        for (int i = base; i < rx->State().RxIndex; ++i)
            QCOMPARE(m.ConfigImage[i], qint16(quint8(all.at(skip + i - base))));
        QCOMPARE(std::count_if(m.ConfigImage.begin(), m.ConfigImage.end(), [](qint16 v) { return v != 0; }), rx->State().RxIndex - base);
        QVERIFY(rx->State().RxBuffer.isEmpty());
        QCOMPARE(link->closes, 0);
    }

    // A line error reopens the port with the lines off and keeps the read's
    // state; when the reopening fails the port stays closed.
    void lineErrorsReopenAndKeepTheState_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("portBusy");
        for (int code : {1001, 1002, 1003, 1004, 1006, 1007, 1009, 1011})
            QTest::addRow("%d", code) << code << false;
        QTest::newRow("reopening fails") << int(LinkEvent::FramingError) << true;
    }
    void lineErrorsReopenAndKeepTheState()
    {
        QFETCH(int, code);
        QFETCH(bool, portBusy);
        link->Deliver(QByteArray(1, 16));
        link->Deliver(QByteArray("\x01\x02\x03"));
        link->SetRts(true);
        if (portBusy)
            link->failingPorts.insert(link->PortNumber());
        QSignalSpy reopened(rx.get(), &ReceiveHandler::PortReopened);
        link->Deliver({}, code);
        QCOMPARE(link->closes, 1);
        QCOMPARE(reopened, QList<QVariantList>{{!portBusy}});
        QCOMPARE(link->IsOpen(), !portBusy);
        QVERIFY(!link->Rts());
        QCOMPARE(rx->State().RxIndex, 4);
        QCOMPARE(rx->State().Synced, 1);
        if (portBusy)
            return;
        link->Deliver(QByteArray("\x04"));
        QCOMPARE(rx->State().RxIndex, 5);
        QCOMPARE(m.ConfigImage[4], qint16(4));
    }
};

QTEST_GUILESS_MAIN(ReceiveHandlerTest)
#include "tst_receivehandler.moc"
