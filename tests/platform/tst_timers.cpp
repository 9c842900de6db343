#include "platform/timers.h"

#include <QtTest>

class TimersTest : public QObject {
    Q_OBJECT
private slots:
    // Ticks fire in time order; at the same millisecond in the order the
    // timers were armed; Start() on a running timer keeps its phase.
    void manualClockOrder()
    {
        ManualClock clock;
        QStringList log;
        auto a = clock.CreateTimer(200);
        auto b = clock.CreateTimer(300);
        auto c = clock.CreateTimer(100);
        connect(a.get(), &PeriodicTimer::Tick, this, [&] { log << QStringLiteral("a%1").arg(clock.NowMs()); });
        connect(b.get(), &PeriodicTimer::Tick, this, [&] {
            log << QStringLiteral("b%1").arg(clock.NowMs());
            b->Stop();
        });
        connect(c.get(), &PeriodicTimer::Tick, this, [&] {
            log << QStringLiteral("c%1").arg(clock.NowMs());
            b->Start();   // running: no new phase; stopped: 300 ms from now
        });
        a->Start();
        b->Start();
        clock.Advance(150);
        c->Start();    // armed at 150: due 250, 350, ...
        clock.Advance(500);
        QCOMPARE(log.join(u' '), QStringLiteral("a200 c250 b300 c350 a400 c450 c550 a600 b650 c650"));
        QCOMPARE(clock.NowMs(), 650);
    }

    void sameInstantInArmingOrder()
    {
        ManualClock clock;
        QStringList log;
        auto late = clock.CreateTimer(100);
        auto early = clock.CreateTimer(100);
        connect(late.get(), &PeriodicTimer::Tick, this, [&] { log << "late"; });
        connect(early.get(), &PeriodicTimer::Tick, this, [&] { log << "early"; });
        early->Start();
        late->Start();
        clock.Advance(100);
        QCOMPARE(log.join(u' '), QStringLiteral("early late"));
    }

    void restartAndRunUntil()
    {
        ManualClock clock;
        auto t = clock.CreateTimer(1000);
        int ticks = 0;
        connect(t.get(), &PeriodicTimer::Tick, this, [&] {
            ++ticks;
            t->Restart(7);
        });
        t->Start();
        QVERIFY(clock.RunUntil([&] { return ticks == 3; }, 5000));
        QCOMPARE(clock.NowMs(), 1014);
        QVERIFY(!clock.RunUntil([] { return false; }, 100));
        QCOMPARE(clock.NowMs(), 1114);
        t.reset();   // a destroyed timer leaves the clock
        clock.Advance(100);
        QCOMPARE(clock.NextDue(), -1);
    }
};

QTEST_GUILESS_MAIN(TimersTest)
#include "tst_timers.moc"
