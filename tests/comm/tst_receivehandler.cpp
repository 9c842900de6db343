// The receive handler fed delivery by delivery through a scripted link.
#include "comm/receivehandler.h"
#include "common/scriptedlink.h"

#include <QtTest>

// Deliveries as "|"-separated groups of byte values, one group per receive
// event ("!N": an event with code N instead); state "discard": DiscardRx 1,
// "idle": not listening.
struct Delivery {
    int from, synced;   // RxIndex and Synced before
    QString groups, state;
    int rxIndex, syncedAfter, stepCount;
    bool passwordSent;
};

class ReceiveHandlerTest : public QObject {
    Q_OBJECT

    ProgramState program;
    std::unique_ptr<SessionState> s;
    std::unique_ptr<ScriptedLink> link;
    std::unique_ptr<ReceiveHandler> rx;

private slots:
    void init()
    {
        s = std::make_unique<SessionState>(program);
        s->TerminalPassword = QStringLiteral("0abc");
        link = std::make_unique<ScriptedLink>();
        link->Open();
        rx = std::make_unique<ReceiveHandler>(*s, *link);
        rx->SetListening(true);
    }

    // The start byte counts only alone while not synced; only single-byte
    // deliveries set the watchdog back (from 20 to 3); slots end at 2200,
    // beyond them nothing is stored or fed; bytes are read away unused while
    // the write sends, while no sequence runs, and on events that are not
    // line errors.
    void deliveries_data()
    {
        QTest::addColumn<Delivery>("c");
        QTest::newRow("start byte alone") << Delivery{0, 0, "16", "", 1, 1, 3, true};
        QTest::newRow("start byte inside a burst") << Delivery{0, 0, "1 16 2", "", 3, 0, 20, false};
        QTest::newRow("start byte at the head of a burst") << Delivery{0, 0, "16 1", "", 2, 0, 20, false};
        QTest::newRow("start byte while synced is data") << Delivery{0, 1, "16", "", 1, 1, 3, false};
        QTest::newRow("single byte before the start byte") << Delivery{0, 0, "7", "", 1, 0, 20, false};
        QTest::newRow("burst does not feed the watchdog") << Delivery{0, 1, "1 2 3 4", "", 4, 1, 20, false};
        QTest::newRow("single byte feeds the watchdog") << Delivery{0, 1, "1 2 3|4", "", 4, 1, 3, false};
        QTest::newRow("start byte then data") << Delivery{0, 0, "16|1|2 3", "", 4, 1, 3, true};
        QTest::newRow("second start byte is data") << Delivery{0, 0, "16|16", "", 2, 1, 3, true};
        QTest::newRow("beyond the last slot") << Delivery{2199, 1, "1 2|3|4 5 6", "", 2201, 1, 20, false};
        QTest::newRow("discarding while sending") << Delivery{10, 1, "16", "discard", 10, 1, 20, false};
        QTest::newRow("no sequence running") << Delivery{10, 1, "16", "idle", 10, 1, 20, false};
        QTest::newRow("send event") << Delivery{10, 1, "16!1", "", 10, 1, 20, false};
        QTest::newRow("ring") << Delivery{10, 1, "16!6", "", 10, 1, 20, false};
        QTest::newRow("receive overflow") << Delivery{10, 1, "16!1008", "", 10, 1, 20, false};
    }
    void deliveries()
    {
        QFETCH(Delivery, c);
        rx->State().RxIndex = c.from;
        rx->State().Synced = c.synced;
        rx->State().StepCount = 20;
        rx->State().DiscardRx = c.state == u"discard" ? 1 : 0;
        rx->SetListening(c.state != u"idle");
        QSignalSpy started(rx.get(), &ReceiveHandler::StartByteReceived);
        QByteArray all;
        for (const QString& group : c.groups.split(u'|')) {
            const QStringList parts = group.split(u'!');
            QByteArray bytes;
            for (const QString& v : parts.at(0).split(u' '))
                bytes.append(char(v.toInt()));
            all += bytes;
            link->Deliver(bytes, parts.value(1, QString::number(LinkEvent::Received)).toInt());
        }
        QCOMPARE(QList<int>({rx->State().RxIndex, rx->State().Synced, rx->State().StepCount}), QList<int>({c.rxIndex, c.syncedAfter, c.stepCount}));
        QCOMPARE(link->sent, c.passwordSent ? QByteArray("0abc") : QByteArray());
        QCOMPARE(started.count(), c.passwordSent ? 1 : 0);
        // The bytes land in the slots in order, from slot 0 at the start byte.
        const qsizetype skip = c.passwordSent ? all.indexOf(char(16)) : 0;
        const int base = c.passwordSent ? 0 : c.from;
        for (int i = base; i < rx->State().RxIndex; ++i)
            QCOMPARE(s->ReceiveImage[i], qint16(quint8(all.at(skip + i - base))));
        QCOMPARE(std::count_if(s->ReceiveImage.begin(), s->ReceiveImage.end(), [](qint16 v) { return v != 0; }), rx->State().RxIndex - base);
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
        QCOMPARE(s->ReceiveImage[4], qint16(4));
    }
};

QTEST_GUILESS_MAIN(ReceiveHandlerTest)
#include "tst_receivehandler.moc"
