#pragma once
// A clock that moves only when a test moves it.

#include "platform/timers.h"

#include <QList>
#include <functional>
#include <memory>

// Virtual time for tests and benchmarks. Time stands still until Advance()
// moves it; the ticks that fall due on the way fire in time order, and
// timers due at the same millisecond in the order they were armed.
class ManualClock : public Timers {
public:
    ManualClock() = default;
    ~ManualClock() override;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    std::unique_ptr<PeriodicTimer> CreateTimer(int intervalMs) override;
    qint64 NowMs() const override { return now_; }

    void Advance(qint64 ms);
    void AdvanceTo(qint64 timeMs);
    // Advances tick by tick until done() holds or limitMs have passed;
    // true when done() held.
    bool RunUntil(const std::function<bool()>& done, qint64 limitMs);
    // Time of the next due tick, or -1 when no timer runs.
    qint64 NextDue() const;

private:
    class Timer;
    friend class Timer;
    bool FireNext(qint64 limit);
    QList<Timer*> timers_;
    qint64 now_ = 0;
    quint64 armCount_ = 0;
};
