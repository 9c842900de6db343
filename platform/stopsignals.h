#pragma once
// The request to stop a program that serves until it is stopped: SIGINT
// (Ctrl+C) and SIGTERM on Unix, Ctrl+C, Ctrl+Break and the console closed on
// Windows, handed to the event loop as a Qt signal. While an object of this
// class lives, those no longer end the process on their own; afterwards they
// do again. One at a time.

#include <QObject>

class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

signals:
    // Comes from the event loop, never from inside the system's handler.
    void StopRequested();

private:
    class Watch;
    Watch* watch_ = nullptr;
};
