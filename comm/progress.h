#pragma once
// What the line is doing, in bytes and seconds: the status line of the main
// window and the progress lines of vardelo-cli both come from here.
//
//     TransferMonitor monitor(session, timers, 250);
//     connect(&monitor, &TransferMonitor::Changed, ...);   // at least every 250 ms
//     StatusLineText(program, monitor.Current(), monitor.Next())  // "Reading: 1234 of 2069 bytes, 4 s left"
//     ProgressLine(monitor.Current())                       // "read: 1234/2069 bytes, 4 s left"
//
// Seconds left come from the bytes still to move at the line's speed, never
// from a guess.

#include "config/programstate.h"

#include <QObject>
#include <QString>
#include <memory>

class PeriodicTimer;
class TerminalSession;
class Timers;

struct TransferProgress {
    // Sending: bytes of a write that have left the port; Replying: the
    // terminal's reply to that write.
    enum class Phase { Idle, Reading, Sending, Replying, Resetting };
    Phase phase = Phase::Idle;
    int done = 0;    // 0..total
    int total = 0;
    int SecondsLeft() const;
    bool operator==(const TransferProgress&) const = default;
};

// Whole seconds the line needs for this many bytes (rounded up, so that
// "0 s" is said only when nothing is left).
int LineSecondsFor(int bytes);

// What the operator can do next, when nothing runs. ReadAgain follows a
// successful write, ReadAfterReset a reset: the line says what was done.
enum class NextStep { OpenPort, Read, Write, ReadAgain, ReadAfterReset };

// The main window's status line in the current language.
QString StatusLineText(const ProgramState& program, const TransferProgress& progress, NextStep next);
// The write panel's two bars: the send bar (FlatScrollBar1, 0..2046) follows
// the bytes that have left the port and stays full while the reply comes;
// the reply bar (FlatScrollBar2, 0..2045) follows the reply. Both are empty
// whenever no write runs, so nothing of a past write stays on them.
struct WriteBars {
    int send = 0;
    int reply = 0;
    bool operator==(const WriteBars&) const = default;
};
WriteBars WriteBarsFor(const TransferProgress& progress);

// The command line's progress line: "read: 1234/2069 bytes, 4 s left",
// "send: ...", "reply: ..."; empty when nothing moves.
QString ProgressLine(const TransferProgress& progress);

// Watches a session and reports its progress every intervalMs while a
// sequence runs, and at once when one starts or ends, so that no phase
// outlives its sequence.
class TransferMonitor : public QObject {
    Q_OBJECT
public:
    TransferMonitor(TerminalSession& session, Timers& timers, int intervalMs, QObject* parent = nullptr);
    ~TransferMonitor() override;

    TransferProgress Current() const;
    NextStep Next() const;

signals:
    void Changed(const TransferProgress& progress);

private:
    void Report();
    TerminalSession& session_;
    Timers& timers_;
    std::unique_ptr<PeriodicTimer> timer_;
    qint64 writeStartMs_ = 0;
    qint64 written_ = 0;       // bytes of the running write that have left the port
    bool reading_ = false;
    bool writing_ = false;
    mutable int readHigh_ = 0; // the read's count never goes back
    bool programmed_ = false;  // the last write succeeded and nothing ran since
    bool resetGiven_ = false;  // the last sequence was a reset
};
