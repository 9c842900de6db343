#include "comm/simterminal.h"

#include "comm/timing.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "config/windows1252.h"
#include "platform/portmap.h"
#include "platform/timers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace {
constexpr int DifferingReplyByte = 1000;   // the byte a "differ" terminal gets wrong
}

std::optional<SimulationOptions> ParseSimulationOptions(const QString& text, QString* error)
{
    auto fail = [error](const QString& why) -> std::optional<SimulationOptions> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    SimulationOptions o;
    if (text.isEmpty())
        return o;
    if (!text.startsWith(u':') && !text.startsWith(u','))
        return fail(QStringLiteral("\"sim%1\": expected sim, sim:FILE.QLV or sim:FILE.QLV,OPTION,...").arg(text));
    QStringList parts = text.mid(1).split(u',');
    if (text.startsWith(u':'))
        o.file = parts.takeFirst().trimmed();
    auto number = [&](const QString& value, int min, int& out) {
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok || n < min)
            return false;
        out = n;
        return true;
    };
    for (const QString& raw : std::as_const(parts)) {
        const QString part = raw.trimmed();
        if (part.isEmpty())
            continue;
        const QString name = part.section(u'=', 0, 0).toLower();
        const QString value = part.section(u'=', 1);
        const bool hasValue = part.contains(u'=');
        bool ok = true;
        if (name == u"silent" && !hasValue)
            o.silent = true;
        else if (name == u"differ" && !hasValue)
            o.differ = true;
        else if (name == u"short" && !hasValue)
            o.shortReply = true;
        else if (name == u"stop" && hasValue)
            ok = number(value, 0, o.stopAfter);
        else if (name == u"burst" && hasValue)
            ok = number(value, 1, o.burst);
        else if (name == u"framing" && hasValue)
            ok = number(value, 0, o.framingAt);
        else if (name == u"free" && hasValue) {
            ok = !value.isEmpty() && value.size() <= 8;
            o.freeText = value;
        }
        else if (name == u"id" && hasValue)
            o.identification = value.leftJustified(Timing::IdentificationChars, u' ', true);
        else
            return fail(QStringLiteral("unknown simulated terminal option \"%1\"").arg(part));
        if (!ok)
            return fail(QStringLiteral("bad value in simulated terminal option \"%1\"").arg(part));
    }
    return o;
}

TerminalMemory DefaultTerminalMemory()
{
    TerminalMemory memory{};
    const auto password = PackPasswordDigits(QStringLiteral("123456"));
    for (int i = 0; i < 3; ++i)
        memory[Slot::PasswordBcd + i] = (*password)[i];
    return memory;
}

SimulatedTerminal::SimulatedTerminal(Timers& timers, QObject* parent)
    : SerialLink(parent),
      timers_(timers),
      memory_(DefaultTerminalMemory()),
      sendTimer_(timers.CreateTimer(1)),
      inboundTimer_(timers.CreateTimer(1))
{
    connect(sendTimer_.get(), &PeriodicTimer::Tick, this, &SimulatedTerminal::OnSendTick);
    connect(inboundTimer_.get(), &PeriodicTimer::Tick, this, &SimulatedTerminal::OnInboundTick);
}

SimulatedTerminal::~SimulatedTerminal() = default;

QString SimulatedTerminal::Description() const
{
    // The whole path: the transfer log tells terminals apart by it.
    return options_.file.isEmpty() ? QStringLiteral("simulated terminal")
                                   : QStringLiteral("simulated terminal (%1)").arg(QFileInfo(options_.file).absoluteFilePath());
}

PortTarget SimulatedTerminal::TargetOf(int) const
{
    PortTarget target;
    target.kind = PortTarget::Kind::Simulated;
    if (!options_.file.isEmpty())
        target.simulation = u':' + options_.file;
    return target;
}

bool SimulatedTerminal::LoadMemoryFile()
{
    if (options_.file.isEmpty())
        return true;
    ConfigBlock block{};
    const FileStatus status = ReadConfigBlock(options_.file, block);
    if (!status) {
        SetErrorText(status.message);
        return false;
    }
    for (int i = 0; i < Configuration::BlockSlots; ++i) {
        if (block[i] < 0 || block[i] > 255) {
            SetErrorText(QStringLiteral("%1: entry %2 (%3) is not a byte").arg(PrintableText(options_.file)).arg(i).arg(block[i]));
            return false;
        }
    }
    for (int i = 0; i < Configuration::BlockSlots; ++i)
        memory_[i] = quint8(block[i]);
    memoryLoaded_ = true;
    return true;
}

bool SimulatedTerminal::LockMemoryFile()
{
    // Beside the file, where every session that uses it looks; in the
    // temporary folder when its own folder takes no files (a session there
    // cannot store a write anyway).
    const QFileInfo info(options_.file);
    const QByteArray key = QFile::encodeName(info.absoluteFilePath());
    const QStringList places{
        info.absoluteDir().filePath(u'.' + info.fileName() + QStringLiteral(".in-use")),
        QDir(QDir::tempPath()).filePath(QStringLiteral("vardelo-%1.in-use")
                                            .arg(QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16)))),
    };
    for (const QString& place : places) {
        auto lock = std::make_unique<QLockFile>(place);
        // Held for a whole session; only a lock of a process that ended is stale.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            memoryLock_ = std::move(lock);
            return true;
        }
        if (lock->error() == QLockFile::LockFailedError) {
            inUse_ = true;
            SetErrorText(PrintableText(options_.file) + QStringLiteral(": is in use by another program"));
            return false;
        }
    }
    return true;   // no place takes a lock: used as it is
}

bool SimulatedTerminal::Open()
{
    inUse_ = false;
    if (!options_.file.isEmpty()) {
        // One session at a time, as a serial port has: two sessions writing
        // one memory would each report success while one write is lost.
        if (!memoryLock_ && !LockMemoryFile())
            return false;
        // The memory as the file holds it now: another session may have
        // written it since this one last used it.
        if (!LoadMemoryFile()) {
            memoryLock_.reset();
            return false;
        }
    } else if (!memoryLoaded_ && !LoadMemoryFile()) {
        return false;
    }
    open_ = true;
    dtr_ = rts_ = false;
    SetErrorText({});
    return true;
}

void SimulatedTerminal::Close()
{
    memoryLock_.reset();
    if (!open_)
        return;
    const bool dtrWas = dtr_, rtsWas = rts_;
    dtr_ = rts_ = false;
    open_ = false;
    waiting_.clear();
    LinesChanged(dtrWas, rtsWas);
}

void SimulatedTerminal::SetDtr(bool on)
{
    if (!open_ || on == dtr_)
        return;
    const bool dtrWas = dtr_;
    dtr_ = on;
    LinesChanged(dtrWas, rts_);
}

void SimulatedTerminal::SetRts(bool on)
{
    if (!open_ || on == rts_)
        return;
    const bool rtsWas = rts_;
    rts_ = on;
    LinesChanged(dtr_, rtsWas);
}

void SimulatedTerminal::LinesChanged(bool dtrWas, bool rtsWas)
{
    if (!dtrWas && dtr_ && !rts_)
        armed_ = true;
    if (dtrWas && !dtr_ && !rts_ && armed_) {
        // The reset pulse: DTR high and low again with RTS low.
        armed_ = false;
        StopActivity();
        ++restarts_;
        emit Restarted();
        return;
    }
    if (rtsWas && !rts_) {
        StopActivity();
        return;
    }
    const bool command = !dtr_ && rts_;
    const bool commandWas = !dtrWas && rtsWas;
    if (!command || commandWas)
        return;
    StopActivity();
    exchangeBytes_ = 0;
    if (armed_) {
        armed_ = false;
        if (options_.silent)
            return;
        phase_ = Phase::AwaitPassword;
        BeginAnswer(QByteArray(1, char(Timing::StartByte)));
    } else if (!options_.silent) {
        phase_ = Phase::TakingWrite;
    }
}

void SimulatedTerminal::StopActivity()
{
    ++generation_;
    sendTimer_->Stop();
    inboundTimer_->Stop();
    outbound_.clear();
    sentInAnswer_ = 0;
    pendingBurst_ = 0;
    inbound_.clear();
    taken_.clear();
    phase_ = Phase::Idle;
}

qint64 SimulatedTerminal::NowUs() const
{
    return timers_.NowMs() * 1000;
}

qint64 SimulatedTerminal::ByteTimeUs(qint64 bytes) const
{
    return bytes * 1000000 / Timing::BytesPerSecond;
}

void SimulatedTerminal::BeginAnswer(const QByteArray& bytes)
{
    outbound_ = bytes;
    sentInAnswer_ = 0;
    pendingBurst_ = 0;
    answerStartUs_ = NowUs();
    ScheduleSend();
}

int SimulatedTerminal::ExchangeLimit() const
{
    int limit = options_.stopAfter;
    if (phase_ == Phase::Replying && options_.shortReply)
        limit = limit < 0 ? Configuration::BlockSlots - 1 : std::min(limit, Configuration::BlockSlots - 1);
    return limit;
}

void SimulatedTerminal::ScheduleSend()
{
    const int limit = ExchangeLimit();
    if (sentInAnswer_ >= outbound_.size() || (limit >= 0 && exchangeBytes_ >= limit)) {
        sendTimer_->Stop();
        outbound_.clear();
        if (phase_ == Phase::Answering || phase_ == Phase::Replying)
            phase_ = Phase::Idle;
        return;
    }
    // Byte k is on the program's side once its ten bits have passed.
    const qint64 dueUs = answerStartUs_ + ByteTimeUs(sentInAnswer_ + 1);
    const qint64 dueMs = (dueUs + 999) / 1000;
    sendTimer_->Restart(int(std::max<qint64>(0, dueMs - timers_.NowMs())));
}

void SimulatedTerminal::OnSendTick()
{
    sendTimer_->Stop();
    if (sentInAnswer_ >= outbound_.size())
        return;
    const quint64 generation = generation_;
    const char byte = outbound_.at(sentInAnswer_);
    const int index = exchangeBytes_;
    ++sentInAnswer_;
    ++exchangeBytes_;
    lastSentMs_ = timers_.NowMs();
    const int limit = ExchangeLimit();
    const bool last = sentInAnswer_ >= outbound_.size() || (limit >= 0 && exchangeBytes_ >= limit);
    if (open_) {
        if (index == options_.framingAt) {
            // The byte is garbled on the line: the program gets a line
            // error instead of it.
            emit ReceiveEvent(LinkEvent::FramingError);
        } else {
            waiting_.append(byte);
            if (++pendingBurst_ >= options_.burst || last) {
                pendingBurst_ = 0;
                emit ReceiveEvent(LinkEvent::Received);
            }
        }
    }
    // The program may have changed the lines in its handler.
    if (generation == generation_)
        ScheduleSend();
}

void SimulatedTerminal::Send(const QByteArray& bytes)
{
    if (!open_ || bytes.isEmpty())
        return;
    qint64 arrival = std::max(NowUs(), inboundFreeUs_);
    for (char b : bytes) {
        arrival += ByteTimeUs(1);
        inbound_.append({arrival, quint8(b)});
    }
    inboundFreeUs_ = arrival;
    // Bytes are taken one by one as they arrive, so that the program sees
    // them leave its port at line pace.
    const qint64 dueMs = (inbound_.first().first + 999) / 1000;
    inboundTimer_->Restart(int(std::max<qint64>(0, dueMs - timers_.NowMs())));
}

void SimulatedTerminal::OnInboundTick()
{
    inboundTimer_->Stop();
    const quint64 generation = generation_;
    const qint64 now = NowUs();
    qint64 arrived = 0;
    while (!inbound_.isEmpty() && inbound_.first().first <= now && generation == generation_) {
        ++arrived;
        TakeInbound(inbound_.takeFirst().second);
    }
    // A byte has left the program's port once its ten bits are on the line,
    // which is when it arrives here.
    if (arrived > 0 && open_)
        emit BytesWritten(arrived);
    if (generation == generation_ && !inbound_.isEmpty()) {
        const qint64 dueMs = (inbound_.first().first + 999) / 1000;
        inboundTimer_->Restart(int(std::max<qint64>(0, dueMs - timers_.NowMs())));
    }
}

QByteArray SimulatedTerminal::IdentificationBytes() const
{
    return EncodeWindows1252(options_.identification.leftJustified(Timing::IdentificationChars, u' ', true));
}

void SimulatedTerminal::TakeInbound(quint8 byte)
{
    if (phase_ == Phase::AwaitPassword) {
        taken_.append(char(byte));
        QByteArray expected;
        if (taken_.at(0) == '0') {
            expected = QByteArray(1, '0');
            for (int i = 0; i < 3; ++i)
                expected.append(char(memory_[Slot::PasswordBcd + i]));
        } else if (taken_.at(0) == 'X') {
            expected = 'X' + options_.freeText.toLatin1();
        }
        if (expected.isEmpty() || !expected.startsWith(taken_)) {
            // A wrong password is answered by silence.
            phase_ = Phase::Idle;
            taken_.clear();
            return;
        }
        if (taken_.size() < expected.size())
            return;
        QByteArray answer = taken_;
        for (quint8 b : memory_)
            answer.append(char(b));
        answer += IdentificationBytes();
        taken_.clear();
        phase_ = Phase::Answering;
        BeginAnswer(answer);
        return;
    }
    if (phase_ == Phase::TakingWrite) {
        taken_.append(char(byte));
        if (taken_.size() < Configuration::BlockSlots)
            return;
        TerminalMemory taken{};
        for (int i = 0; i < Configuration::BlockSlots; ++i)
            taken[i] = quint8(taken_.at(i));
        taken_.clear();
        // A write it cannot keep is not taken: like a terminal that failed
        // to take it, it keeps its memory and does not reply.
        if (!SaveMemoryFile(taken)) {
            phase_ = Phase::Idle;
            return;
        }
        memory_ = taken;
        ++writes_;
        emit WriteTaken();
        QByteArray reply;
        for (quint8 b : memory_)
            reply.append(char(b));
        if (options_.differ)
            reply[DifferingReplyByte] = char(~quint8(reply.at(DifferingReplyByte)));
        exchangeBytes_ = 0;
        phase_ = Phase::Replying;
        BeginAnswer(reply);
    }
}

bool SimulatedTerminal::SaveMemoryFile(const TerminalMemory& memory)
{
    if (options_.file.isEmpty())
        return true;
    ConfigBlock block{};
    for (int i = 0; i < Configuration::BlockSlots; ++i)
        block[i] = memory[i];
    const FileStatus status = WriteFileAtomically(options_.file, FormatConfigBlock(block));
    if (!status)
        SetErrorText(status.message);
    return bool(status);
}

QByteArray SimulatedTerminal::ReadAll()
{
    QByteArray all = waiting_;
    waiting_.clear();
    return all;
}
