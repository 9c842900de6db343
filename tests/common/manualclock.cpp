#include "common/manualclock.h"

#include <algorithm>

class ManualClock::Timer : public PeriodicTimer {
public:
    Timer(ManualClock* clock, int intervalMs) : clock_(clock), interval_(std::max(0, intervalMs)) {}
    ~Timer() override
    {
        if (clock_)
            clock_->timers_.removeOne(this);
    }
    void SetInterval(int ms) override { interval_ = std::max(0, ms); }
    int Interval() const override { return interval_; }
    void Start() override
    {
        if (running_ || !clock_)
            return;
        running_ = true;
        Arm(clock_->now_ + interval_);
    }
    void Stop() override { running_ = false; }
    bool IsRunning() const override { return running_; }

    void Arm(qint64 due)
    {
        due_ = due;
        order_ = ++clock_->armCount_;
    }

    ManualClock* clock_;
    int interval_;
    bool running_ = false;
    qint64 due_ = 0;
    quint64 order_ = 0;
};

ManualClock::~ManualClock()
{
    for (Timer* t : timers_)
        t->clock_ = nullptr;
}

std::unique_ptr<PeriodicTimer> ManualClock::CreateTimer(int intervalMs)
{
    auto timer = std::make_unique<Timer>(this, intervalMs);
    timers_.append(timer.get());
    return timer;
}

qint64 ManualClock::NextDue() const
{
    qint64 next = -1;
    for (const Timer* t : timers_)
        if (t->running_ && (next < 0 || t->due_ < next))
            next = t->due_;
    return next;
}

bool ManualClock::FireNext(qint64 limit)
{
    Timer* next = nullptr;
    for (Timer* t : timers_) {
        if (!t->running_ || t->due_ > limit)
            continue;
        if (!next || t->due_ < next->due_ || (t->due_ == next->due_ && t->order_ < next->order_))
            next = t;
    }
    if (!next)
        return false;
    now_ = std::max(now_, next->due_);
    // A periodic timer of interval 0 would fire forever at one instant.
    next->Arm(now_ + std::max(1, next->interval_));
    emit next->Tick();
    return true;
}

void ManualClock::AdvanceTo(qint64 timeMs)
{
    while (FireNext(timeMs)) {
    }
    now_ = std::max(now_, timeMs);
}

void ManualClock::Advance(qint64 ms)
{
    AdvanceTo(now_ + ms);
}

bool ManualClock::RunUntil(const std::function<bool()>& done, qint64 limitMs)
{
    const qint64 end = now_ + limitMs;
    while (!done()) {
        if (!FireNext(end)) {
            now_ = std::max(now_, end);
            return done();
        }
    }
    return true;
}
