#pragma once
// Periodic timers and the current time. Every timer of the terminal
// sequences and of the simulated terminal goes through this seam, so that a
// test can run a whole read on a manual clock in virtual time.

#include <QObject>
#include <memory>

class QTimer;

// One periodic timer. Start() on a running timer changes nothing: the timer
// keeps its phase (a sequence that "starts" a running timer again does not
// delay its next tick).
class PeriodicTimer : public QObject {
    Q_OBJECT
public:
    virtual void SetInterval(int ms) = 0;
    virtual int Interval() const = 0;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
    // Stop, new interval, start: the next tick comes ms from now.
    void Restart(int ms)
    {
        Stop();
        SetInterval(ms);
        Start();
    }

signals:
    void Tick();
};

class Timers {
public:
    virtual ~Timers() = default;
    // A stopped timer with the given interval.
    virtual std::unique_ptr<PeriodicTimer> CreateTimer(int intervalMs) = 0;
    // Milliseconds since this clock was created.
    virtual qint64 NowMs() const = 0;
};

// Real time: precise QTimers and a monotonic clock.
class QtTimers : public Timers {
public:
    QtTimers();
    std::unique_ptr<PeriodicTimer> CreateTimer(int intervalMs) override;
    qint64 NowMs() const override;

private:
    qint64 originNs_;
};
