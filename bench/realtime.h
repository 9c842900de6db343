#pragma once
// What the real-time benchmarks of a read and a write share: the line's own
// minimum to compare with, a message box that answers at once, and a
// sequence run in the event loop until it has finished.

#include "comm/timing.h"
#include "config/configuration.h"
#include "platform/messages.h"

#include <QEventLoop>
#include <QObject>
#include <functional>

class QuietMessages : public Messages {
public:
    QString last;
    Answer Show(const QString& prompt, const QString&, Buttons buttons, QWidget*) override
    {
        last = prompt;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
};

constexpr double LineSeconds(int bytes)
{
    return double(bytes) * Timing::BitsPerByte / Timing::BaudRate;
}
// read: 0.6 s of control-line preamble + 2069 bytes of 10 bits = 9.22 s
constexpr double ReadMinimumSeconds = 0.6 + LineSeconds(Timing::ReadCompleteIndex);
// write: 2048 bytes to the terminal + 2048 bytes back = 17.07 s
constexpr double WriteMinimumSeconds = 2 * LineSeconds(Configuration::BlockSlots);

// Runs the event loop until the sequence has finished; true on success.
template <typename Sequence>
bool RunRealTime(Sequence& sequence, const std::function<bool()>& start)
{
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&sequence, &Sequence::Finished, &loop, [&](bool success) {
        ok = success;
        loop.quit();
    });
    if (!start())
        return false;
    loop.exec();
    return ok;
}
