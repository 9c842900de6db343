#include "comm/sequences.h"

#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "texts/networktexts.h"
#include "texts/sequencetext.h"
#include "comm/portdiagnosis.h"
#include "comm/receivehandler.h"
#include "comm/timing.h"
#include "config/configfiles.h"
#include "config/windows1252.h"
#include "platform/messages.h"
#include "platform/seriallink.h"
#include "platform/timers.h"

#include <QDir>
#include <algorithm>

namespace {
// A terminal command needs the port; with none open it says so at once. A
// terminal on the network still being connected cannot be timed yet (its
// lines would all go out at once when it is): the command waits for it
// where it is given (the window, the command line), and here it is refused.
bool PortReady(const SequenceContext& c)
{
    if (c.link.IsReady())
        return true;
    if (c.link.IsOpen()) {
        c.messages.Show(CatalogueText(Text::NetworkConnecting, c.s.Program.LanguageOffset).arg(c.link.Description()),
                        SequenceText(c.s.Program, Text::PortBusyTitle));
        return false;
    }
    // The last failed opening still says why the port is closed.
    c.messages.Show(PortFailedMessage(c.s.Program, Text::PortBusy, {c.link.OpenFailure()}),
                    SequenceText(c.s.Program, Text::PortBusyTitle));
    return false;
}
}

// ---------------------------------------------------------------- gate

bool SequenceGate::TryAcquire()
{
    if (busy_)
        return false;
    busy_ = true;
    emit BusyChanged(true);
    return true;
}

void SequenceGate::Release()
{
    if (!busy_)
        return;
    busy_ = false;
    emit BusyChanged(false);
}

// ---------------------------------------------------------------- read

ReadSequence::ReadSequence(const SequenceContext& c, QObject* parent)
    : QObject(parent), c_(c), readTimer_(c.timers.CreateTimer(Timing::ReadTickMs))
{
    connect(readTimer_.get(), &PeriodicTimer::Tick, this, &ReadSequence::OnTick);
    connect(&c_.rx, &ReceiveHandler::StartByteReceived, this, [this] {
        if (IsRunning()) {
            startByteSeen_ = true;
            emit ChecksChanged(true, true, false);
        }
    });
}

ReadSequence::~ReadSequence() = default;

bool ReadSequence::IsRunning() const
{
    return readTimer_->IsRunning();
}

QString ReadSequence::OutputFile() const
{
    return outputFile_.isEmpty() ? QDir::current().filePath(QStringLiteral("VARDELO.QLV")) : outputFile_;
}

void ReadSequence::SetLines(bool dtr, bool rts)
{
    c_.link.SetDtr(dtr);
    c_.link.SetRts(rts);
}

bool ReadSequence::Start(const std::function<PasswordEntry()>& askPassword)
{
    if (c_.gate.Busy() || !PortReady(c_))
        return false;
    startByteSeen_ = false;
    emit ChecksChanged(false, false, false);
    SessionState& s = c_.s;
    s.RxIndex = 0;
    s.Synced = 0;
    s.StepCount = 0;
    s.DiscardRx = 0;
    s.AnswerFold = 0;

    s.PasswordAccepted = 0;
    if (askPassword) {
        const PasswordEntry entry = askPassword();
        if (entry.PasswordAccepted != 0) {
            s.TerminalPassword = entry.TerminalPassword;
            s.PasswordAccepted = entry.PasswordAccepted;
        }
    }
    if (s.PasswordAccepted == 0)
        return false;
    if (!c_.gate.TryAcquire())
        return false;

    s.PasswordAccepted = 0;
    s.TerminalRead = 0;
    failure_.clear();
    notice_.clear();
    c_.rx.SetListening(true);
    readTimer_->Start();
    emit RunningChanged(true);
    return true;
}

void ReadSequence::OnTick()
{
    SessionState& s = c_.s;
    if (s.StepCount == Timing::ReadDtrStep)
        c_.link.SetDtr(true);
    if (s.StepCount == Timing::ReadRtsStep) {
        c_.link.SetRts(true);
        c_.link.SetDtr(false);
    }
    if (s.RxIndex == Timing::ReadCompleteIndex) {
        FinishRead();
        return;
    }
    ++s.StepCount;
    if (s.StepCount >= Timing::ReadGiveUpStep && s.Synced == 0)
        ReadFailed(Text::NoConnection, Text::NoConnectionTitle);
    else if (s.StepCount > Timing::ReadSilenceStep && s.Synced == 1)
        ReadFailed(Text::TransmissionError, Text::TransmissionErrorTitle);
}

void ReadSequence::ReadFailed(TextNumber textId, TextNumber titleId)
{
    // The timer stops before the message, and the lines, check boxes and
    // button stay as they are while it is open.
    readTimer_->Stop();
    c_.rx.SetListening(false);
    failure_ = SequenceText(c_.s.Program, textId);
    emit Ended(false);
    c_.messages.Show(failure_, SequenceText(c_.s.Program, titleId));
    c_.s.StepCount = 0;
    SetLines(false, false);
    emit ChecksChanged(false, false, false);
    emit RunningChanged(false);
    c_.gate.Release();
    emit Finished(false);
}

void ReadSequence::FinishRead()
{
    SessionState& s = c_.s;
    s.TerminalRead = 1;
    // Only "Fertig" is ticked: a start byte that came within a delivery of
    // several bytes was never recognised, and the boxes keep saying so.
    emit ChecksChanged(startByteSeen_, startByteSeen_, true);
    readTimer_->Stop();
    c_.rx.SetListening(false);
    s.StepCount = 0;
    SetLines(false, false);
    emit RunningChanged(false);

    QString identification(6, u' ');
    const int firstIdSlot = Timing::FirstConfigSlot + Timing::ConfigBytes;
    for (int i = 0; i < Timing::IdentificationChars; ++i)
        identification += Windows1252Char(quint8(s.ReceiveImage[firstIdSlot + i]));
    s.Identification = identification;
    emit IdentificationChanged(s.Identification);

    // The configuration block is what arrived from slot 5 on.
    ConfigBlock block;
    std::copy_n(s.ReceiveImage.begin() + Timing::FirstConfigSlot, block.size(), block.begin());
    if (!StoreAside) {
        Stored(StoreResult(block));
        return;
    }
    // Everything the storing needs from this session is taken here; the
    // work itself touches only files. The gate stays closed until it is done.
    StoreAside(StoreWork(block), [this](const ReadStorage& stored) { Stored(stored); });
}

std::function<ReadStorage()> ReadSequence::StoreWork(const ConfigBlock& block)
{
    const Storing storing = storing_;
    const QString path = OutputFile();
    const QDateTime time = Now();
    const QString fallback = fallbackFolder_;
    const QStringList sources = storing == Storing::OutputFile && CommentSources
                                    ? CommentSources(c_.s.Identification.trimmed())
                                    : QStringList();
    return [=] { return StoreBlock(block, storing, path, time, fallback, sources); };
}

void ReadSequence::Stored(const ReadStorage& stored)
{
    lastRead_ = stored;
    c_.gate.Release();

    const bool notStored = storing_ == Storing::OutputFile && !stored.Stored();
    if (notStored) {
        // The read is complete (LastRead holds its block) and TerminalRead
        // stays 1, so a write may still follow.
        failure_ = SequenceText(c_.s.Program, Text::ReadFileNotWritten) + QStringLiteral("\n")
            + PrintableText(stored.problem);
        if (const QString kept = ExistingFileKeptText(stored.target, c_.s.Program.LanguageOffset); !kept.isEmpty())
            failure_ += QStringLiteral("\n") + kept;
    } else if (storing_ != Storing::OutputFile) {
        notice_ = stored.problem;
    } else if (!stored.problem.isEmpty()) {
        // Told, not failed: the read is complete and stored where it says.
        const TextNumber text = stored.AtTarget() ? Text::ReadNotInHistory : Text::ReadStoredElsewhere;
        const QString why =
            stored.cause ? PrintableText(stored.problem) : FileStatusText(stored.cause, c_.s.Program.LanguageOffset);
        notice_ = SequenceText(c_.s.Program, text).arg(PrintableText(stored.savedAs), why);
    }
    if (storing_ == Storing::OutputFile && !stored.commentsNotRead) {
        // The replaced comments file was not usable: said, and kept.
        const bool kept = std::any_of(stored.keptInHistory.begin(), stored.keptInHistory.end(),
                                      [](const QString& file) { return file.endsWith(QStringLiteral(".BGT")); });
        notice_ += (notice_.isEmpty() ? QString() : QStringLiteral("\n"))
            + DamagedCommentsText(stored.commentsNotRead, c_.s.Program.LanguageOffset, kept);
    }
    emit Ended(true);

    if (notStored) {
        c_.messages.Show(failure_, SequenceText(c_.s.Program, Text::MustReadFirstTitle));
        emit PanelsHideRequested();
        emit Finished(true);
        return;
    }
    if (storing_ != Storing::OutputFile) {
        emit Finished(true);
        return;
    }
    if (!notice_.isEmpty())
        c_.messages.Show(notice_, SequenceText(c_.s.Program, Text::MustReadFirstTitle));
    const QString path = stored.savedAs;
    if (askToEdit_) {
        const auto answer = c_.messages.Show(SequenceText(c_.s.Program, Text::EditLoadedFile),
                                             SequenceText(c_.s.Program, Text::EditLoadedFileTitle),
                                             Messages::Buttons::YesNo);
        if (answer == Messages::Answer::Yes)
            emit EditRequested(path);
        else
            emit PanelsHideRequested();
    }
    emit Finished(true);
}

ReadStorage ReadSequence::StoreResult(const ConfigBlock& block)
{
    return StoreWork(block)();
}

ReadStorage ReadSequence::StoreBlock(const ConfigBlock& block, Storing storing, const QString& path,
                                     const QDateTime& time, const QString& fallbackFolder,
                                     const QStringList& commentSources)
{
    switch (storing) {
    case Storing::OutputFile:
        return StoreRead(block, path, time, fallbackFolder, commentSources);
    case Storing::HistoryOnly: {
        ReadStorage r;
        r.target = path;
        r.read = ConfigSnapshot::From(block, std::nullopt);
        r.historyCopy = KeepReadInHistory(block, path, time, r.problem);
        r.savedAs = r.historyCopy;
        return r;
    }
    case Storing::Nothing:
        break;
    }
    ReadStorage r;
    r.target = path;
    r.read = ConfigSnapshot::From(block, std::nullopt);
    return r;
}

void ReadSequence::Abort()
{
    if (!IsRunning())
        return;
    readTimer_->Stop();
    c_.rx.SetListening(false);
    c_.s.StepCount = 0;
    SetLines(false, false);
    emit RunningChanged(false);
    c_.gate.Release();
}

// ---------------------------------------------------------------- write

WriteSequence::WriteSequence(const SequenceContext& c, QObject* parent)
    : QObject(parent),
      c_(c),
      writeTimer_(c.timers.CreateTimer(Timing::WriteTickMs)),
      settleTimer_(c.timers.CreateTimer(Timing::WriteSettleMs))
{
    connect(writeTimer_.get(), &PeriodicTimer::Tick, this, &WriteSequence::OnTick);
    connect(settleTimer_.get(), &PeriodicTimer::Tick, this, &WriteSequence::OnSettled);
}

WriteSequence::~WriteSequence() = default;

bool WriteSequence::IsRunning() const
{
    return writeTimer_->IsRunning() || settleTimer_->IsRunning();
}

bool WriteSequence::CheckReadDone()
{
    if (c_.s.TerminalRead != 0)
        return true;
    result_ = SequenceText(c_.s.Program, Text::MustReadFirst);
    c_.messages.Show(result_, SequenceText(c_.s.Program, Text::MustReadFirstTitle));
    return false;
}

bool WriteSequence::Start(const ConfigBlock& block)
{
    if (c_.gate.Busy() || !PortReady(c_) || !CheckReadDone())
        return false;
    if (const QString unsendable = UnsendableImageText(c_.s.Program, block); !unsendable.isEmpty()) {
        result_ = unsendable;
        c_.messages.Show(result_, SequenceText(c_.s.Program, Text::MustReadFirstTitle));
        return false;
    }
    if (!c_.gate.TryAcquire())
        return false;

    c_.link.SetRts(true);
    c_.link.SetDtr(false);

    SessionState& s = c_.s;
    s.TerminalRead = 0;
    s.RxIndex = 0;
    s.Synced = 1;
    s.TerminalPassword.clear();
    s.AnswerFold = 0;
    s.StepCount = Timing::WatchdogRestartStep;
    s.DiscardRx = 1;
    result_.clear();
    // Announced once the state is the write's: the bytes of the read before
    // must not be taken for its reply.
    emit RunningChanged(true);
    emit IdentificationChanged(SequenceText(c_.s.Program, Text::NoIdentification));
    c_.rx.SetListening(true);
    SendImage(block);
    return true;
}

void WriteSequence::SendImage(const ConfigBlock& block)
{
    SessionState& s = c_.s;
    // The bytes are queued at once; how far they have gone on the line is
    // followed by the transfer monitor, and the write panel's bars with it.
    for (int sendIndex = 0; sendIndex < Timing::ConfigBytes; ++sendIndex) {
        sent_[sendIndex] = block[sendIndex];
        c_.link.Send(QByteArray(1, char(quint8(sent_[sendIndex]))));
    }
    c_.link.ClearReceive();
    s.DiscardRx = 0;
    s.RxIndex = 0;
    writeTimer_->Start();
}

void WriteSequence::OnTick()
{
    SessionState& s = c_.s;
    if (s.RxIndex >= Timing::ConfigBytes)
        settleTimer_->Start();   // already running: its delay is not restarted
    ++s.StepCount;
    if (s.StepCount > Timing::WriteSilenceStep)
        VerifyFailed();
}

void WriteSequence::StopTimers()
{
    settleTimer_->Stop();
    writeTimer_->Stop();
    c_.rx.SetListening(false);
}

void WriteSequence::OnSettled()
{
    // The terminal's reply must be what was sent, byte for byte.
    for (int i = 0; i < Timing::ConfigBytes; ++i) {
        if (c_.s.ReceiveImage[i] != sent_[i]) {
            VerifyFailed();
            return;
        }
    }
    Succeeded();
}

void WriteSequence::Succeeded()
{
    StopTimers();
    emit PanelHideRequested();
    emit RunningChanged(false);
    c_.link.SetDtr(true);
    c_.link.SetRts(false);
    c_.link.SetDtr(false);
    result_ = SequenceText(c_.s.Program, Text::Programmed);
    emit Ended(true);
    c_.messages.Show(result_, SequenceText(c_.s.Program, Text::ProgrammedTitle));
    c_.s.TerminalRead = 0;
    c_.gate.Release();
    emit Finished(true);
}

void WriteSequence::VerifyFailed()
{
    StopTimers();
    c_.link.SetDtr(true);
    c_.link.SetRts(false);
    result_ = SequenceText(c_.s.Program, Text::ComparisonError);
    emit Ended(false);
    c_.messages.Show(result_, SequenceText(c_.s.Program, Text::ComparisonErrorTitle));
    c_.s.StepCount = 0;
    c_.link.SetDtr(false);
    c_.link.SetRts(false);
    emit PanelHideRequested();
    emit RunningChanged(false);
    c_.s.TerminalRead = 0;
    c_.gate.Release();
    emit Finished(false);
}

void WriteSequence::Abort()
{
    if (!IsRunning())
        return;
    StopTimers();
    c_.s.StepCount = 0;
    c_.link.SetDtr(false);
    c_.link.SetRts(false);
    emit RunningChanged(false);
    c_.gate.Release();
}

// ---------------------------------------------------------------- reset

ResetSequence::ResetSequence(const SequenceContext& c, QObject* parent)
    : QObject(parent), c_(c), pulseTimer_(c.timers.CreateTimer(Timing::ResetPulseMs))
{
    connect(pulseTimer_.get(), &PeriodicTimer::Tick, this, &ResetSequence::OnTick);
}

ResetSequence::~ResetSequence() = default;

bool ResetSequence::IsRunning() const
{
    return pulseTimer_->IsRunning();
}

bool ResetSequence::Start()
{
    if (c_.gate.Busy() || !PortReady(c_) || !c_.gate.TryAcquire())
        return false;
    emit PanelsHideRequested();
    c_.link.SetRts(false);
    c_.link.SetDtr(true);
    emit IdentificationChanged(SequenceText(c_.s.Program, Text::NoIdentification));
    pulseTimer_->Start();
    emit RunningChanged(true);
    return true;
}

void ResetSequence::OnTick()
{
    c_.link.SetDtr(false);
    c_.s.TerminalRead = 0;
    pulseTimer_->Stop();
    emit RunningChanged(false);
    c_.gate.Release();
    emit Finished(true);
}

void ResetSequence::Abort()
{
    if (!IsRunning())
        return;
    pulseTimer_->Stop();
    c_.link.SetDtr(false);
    emit RunningChanged(false);
    c_.gate.Release();
}

// ---------------------------------------------------------------- session

TerminalSession::TerminalSession(const ProgramState& program, SerialLink& link, Timers& timers, Messages& messages,
                                 QObject* parent)
    : QObject(parent),
      state_(program),
      link_(link),
      gate_(std::make_unique<SequenceGate>()),
      rx_(std::make_unique<ReceiveHandler>(state_, link))
{
    const SequenceContext c{state_, link, timers, messages, *rx_, *gate_};
    read_ = std::make_unique<ReadSequence>(c);
    write_ = std::make_unique<WriteSequence>(c);
    reset_ = std::make_unique<ResetSequence>(c);
    connect(gate_.get(), &SequenceGate::BusyChanged, this, &TerminalSession::BusyChanged);
}

TerminalSession::~TerminalSession()
{
    Shutdown();
}

void TerminalSession::Shutdown()
{
    read_->Abort();
    write_->Abort();
    reset_->Abort();
    rx_->SetListening(false);
    state_.DiscardRx = 0;
    if (link_.IsOpen()) {
        link_.SetDtr(false);
        link_.SetRts(false);
    }
}
