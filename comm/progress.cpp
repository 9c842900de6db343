#include "comm/progress.h"

#include "texts/catalogue.h"
#include "comm/sequences.h"
#include "texts/sequencetext.h"
#include "comm/timing.h"
#include "platform/seriallink.h"
#include "platform/timers.h"

#include <algorithm>

int LineSecondsFor(int bytes)
{
    const int bytesPerSecond = Timing::BytesPerSecond;
    return bytes <= 0 ? 0 : (bytes + bytesPerSecond - 1) / bytesPerSecond;
}

int TransferProgress::SecondsLeft() const
{
    return LineSecondsFor(total - done);
}

namespace {

// A menu caption as the operator reads it: without its access-key marker and
// the padding some languages carry.
QString MenuCaption(const ProgramState& program, TextNumber id)
{
    QString caption = SequenceText(program, id);
    caption.remove(u'&');
    return caption.simplified();
}

QString MenuPath(const ProgramState& program, TextNumber item)
{
    return MenuCaption(program, Text::VardeloMenu) + QStringLiteral(" > ") + MenuCaption(program, item);
}

} // namespace

QString StatusLineText(const ProgramState& program, const TransferProgress& p, NextStep next)
{
    auto counted = [&](TextNumber id) {
        return SequenceText(program, id).arg(p.done).arg(p.total).arg(p.SecondsLeft());
    };
    switch (p.phase) {
    case TransferProgress::Phase::Reading: return counted(Text::ProgressReading);
    case TransferProgress::Phase::Sending: return counted(Text::ProgressSending);
    case TransferProgress::Phase::Replying: return counted(Text::ProgressReplying);
    case TransferProgress::Phase::Resetting: return SequenceText(program, Text::ProgressResetting);
    case TransferProgress::Phase::Idle: break;
    }
    const auto hint = [&](TextNumber id, TextNumber item) {
        return SequenceText(program, id).arg(MenuPath(program, item));
    };
    switch (next) {
    case NextStep::OpenPort: return hint(Text::HintOpenPort, Text::InterfaceItem);
    case NextStep::Read: return hint(Text::HintRead, Text::ReadItem);
    case NextStep::Write: return hint(Text::HintWrite, Text::WriteItem);
    case NextStep::ReadAgain: return hint(Text::HintReadAgain, Text::ReadItem);
    case NextStep::ReadAfterReset: return hint(Text::HintReadAfterReset, Text::ReadItem);
    }
    return {};
}

WriteBars WriteBarsFor(const TransferProgress& p)
{
    const auto share = [&](int end) { return p.total > 0 ? int(qint64(p.done) * end / p.total) : 0; };
    switch (p.phase) {
    case TransferProgress::Phase::Sending: return {share(Timing::SendProgressEnd), 0};
    case TransferProgress::Phase::Replying: return {Timing::SendProgressEnd, share(Timing::ReplyProgressEnd)};
    default: return {};
    }
}

QString ProgressLine(const TransferProgress& p)
{
    const char* what = nullptr;
    switch (p.phase) {
    case TransferProgress::Phase::Reading: what = "read"; break;
    case TransferProgress::Phase::Sending: what = "send"; break;
    case TransferProgress::Phase::Replying: what = "reply"; break;
    default: return {};
    }
    return QStringLiteral("%1: %2/%3 bytes, %4 s left")
        .arg(QLatin1String(what))
        .arg(p.done)
        .arg(p.total)
        .arg(p.SecondsLeft());
}

TransferMonitor::TransferMonitor(TerminalSession& session, Timers& timers, int intervalMs, QObject* parent)
    : QObject(parent), session_(session), timers_(timers), timer_(timers.CreateTimer(intervalMs))
{
    connect(timer_.get(), &PeriodicTimer::Tick, this, &TransferMonitor::Report);
    connect(&session_.Link(), &SerialLink::BytesWritten, this, [this](qint64 bytes) {
        if (writing_)
            written_ += bytes;
    });
    connect(&session_.Read(), &ReadSequence::RunningChanged, this, [this](bool running) {
        reading_ = running;
        readHigh_ = 0;
        Report();
    });
    connect(&session_.Write(), &WriteSequence::RunningChanged, this, [this](bool running) {
        // Its end is reported when the gate opens, after its last message:
        // until then the reply stands as it came.
        if (!running)
            return;
        // The image is sent right after this; what left the port before
        // (the read's password) does not count.
        writing_ = true;
        written_ = 0;
        writeStartMs_ = timers_.NowMs();
        Report();
    });
    connect(&session_.Reset(), &ResetSequence::RunningChanged, this, &TransferMonitor::Report);
    connect(&session_.Reset(), &ResetSequence::Finished, this, [this](bool ok) {
        resetGiven_ = ok;
        Report();
    });
    connect(&session_.Write(), &WriteSequence::Finished, this, [this](bool ok) {
        programmed_ = ok;
        Report();
    });
    connect(&session_, &TerminalSession::BusyChanged, this, [this](bool busy) {
        if (busy) {
            programmed_ = resetGiven_ = false;
            timer_->Start();
            return;
        }
        // Nothing runs any more: whatever a sequence left behind, the line
        // says so at once.
        timer_->Stop();
        reading_ = writing_ = false;
        Report();
    });
}

TransferMonitor::~TransferMonitor() = default;

TransferProgress TransferMonitor::Current() const
{
    using Phase = TransferProgress::Phase;
    const SessionState& rx = session_.State();
    const int received = std::max(0, rx.RxIndex);
    if (reading_) {
        // Bytes count from the terminal's start byte on.
        if (rx.Synced == 1)
            readHigh_ = std::max(readHigh_, std::min(received, Timing::ReadCompleteIndex));
        return {Phase::Reading, readHigh_, Timing::ReadCompleteIndex};
    }
    if (writing_) {
        const int total = Timing::ConfigBytes;
        // The port may report bytes as written once the system has taken
        // them; none can have left faster than the line carries them.
        const qint64 carried = (timers_.NowMs() - writeStartMs_) * Timing::BytesPerSecond / 1000;
        const int sent = int(std::clamp<qint64>(std::min(written_, carried), 0, total));
        // A reply means everything has gone, whatever the port reported.
        if (sent < total && received == 0)
            return {Phase::Sending, sent, total};
        return {Phase::Replying, std::min(received, total), total};
    }
    if (session_.Reset().IsRunning())
        return {Phase::Resetting, 0, 0};
    return {};
}

NextStep TransferMonitor::Next() const
{
    if (!session_.Link().IsOpen())
        return NextStep::OpenPort;
    if (programmed_)
        return NextStep::ReadAgain;
    if (resetGiven_)
        return NextStep::ReadAfterReset;
    return session_.State().TerminalRead != 0 ? NextStep::Write : NextStep::Read;
}

void TransferMonitor::Report()
{
    emit Changed(Current());
}
