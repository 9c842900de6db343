#pragma once
// Ctrl+C and a polite kill (SIGINT, SIGTERM; on Windows the console's Ctrl+C,
// Ctrl+Break and close) as a Qt signal on the event loop, so that a command
// that must not be torn in the middle (a write into a terminal) can finish
// what it has begun and stop there. While a watcher lives, these no longer
// end the process; when it goes, the handling before it is back.

#include <QObject>
#include <memory>

class InterruptWatcher : public QObject {
    Q_OBJECT
public:
    explicit InterruptWatcher(QObject* parent = nullptr);
    ~InterruptWatcher() override;
    // How many interrupts arrived since the watcher was made.
    int Count() const { return count_; }

signals:
    // Once per interrupt, on the event loop of the watcher's thread.
    void Interrupted();

private slots:
    void Report()
    {
        ++count_;
        emit Interrupted();
    }

private:
    class Handler;
    std::unique_ptr<Handler> handler_;
    int count_ = 0;
};
