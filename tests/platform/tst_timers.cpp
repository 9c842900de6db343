// The manual clock that every sequence test runs on.
#include "platform/timers.h"

#include <QtTest>

class TimersTest : public QObject {
    Q_OBJECT
private slots:
    // Ticks fire in time order, at the same millisecond in the order they
    // were scheduled; Start() on a running timer keeps its phase; a
    // destroyed timer leaves the clock.
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
        c->Start();   // armed at 150: due 250, 350, ...
        clock.Advance(500);
        QCOMPARE(log.join(u' '), QStringLiteral("a200 c250 b300 c350 a400 c450 c550 a600 b650 c650"));
        a.reset();
        b.reset();
        c.reset();
        QCOMPARE(clock.NextDue(), -1);
    }
};

QTEST_GUILESS_MAIN(TimersTest)
#include "tst_timers.moc"
