#include "platform/timers.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace {

class RealTimer : public PeriodicTimer {
public:
    explicit RealTimer(int intervalMs)
    {
        // Coarse timers may be late by 5 %, which would stretch the
        // simulated line and the watchdogs alike.
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(intervalMs);
        connect(&timer_, &QTimer::timeout, this, &PeriodicTimer::Tick);
    }
    void SetInterval(int ms) override { timer_.setInterval(std::max(0, ms)); }
    int Interval() const override { return timer_.interval(); }
    void Start() override
    {
        if (!timer_.isActive())
            timer_.start();
    }
    void Stop() override { timer_.stop(); }
    bool IsRunning() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

qint64 MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

QtTimers::QtTimers() : originNs_(MonotonicNs()) {}

std::unique_ptr<PeriodicTimer> QtTimers::CreateTimer(int intervalMs)
{
    return std::make_unique<RealTimer>(intervalMs);
}

qint64 QtTimers::NowMs() const
{
    return (MonotonicNs() - originNs_) / 1000000;
}
