#include "comm/site.h"

#include "comm/changereport.h"
#include "comm/mappedlink.h"
#include "comm/portdiagnosis.h"
#include "comm/sequences.h"
#include "comm/transferlog.h"
#include "config/configimage.h"
#include "config/paircommit.h"
#include "platform/messages.h"
#include "platform/serialdevices.h"
#include "platform/timers.h"
#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "texts/sequencetext.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThreadPool>
#include <algorithm>
#include <cmath>

namespace {

// How often a running terminal reports its progress.
constexpr int ProgressIntervalMs = 250;
// Reads stored side by side at most.
constexpr int MaxStoringThreads = 16;

QString TerminalFolderRead(const SiteTerminal& t)
{
    return QDir(t.folder).filePath(SiteReadFileName);
}

// What the site's log says of one terminal.
struct LoggedState {
    QDateTime lastRead;
    QDateTime lastWrite;
    QString identification;
    QString lastError;   // the result of its newest transfer, when that failed
};

QHash<QString, LoggedState> LoggedStates(const QString& logPath)
{
    QHash<QString, LoggedState> states;   // by TerminalNameKey
    const TransferLogContent log = ReadTransferLog(logPath, 0);
    for (const QJsonObject& e : log.entries) {
        const QString name = e.value(QStringLiteral("name")).toString();
        if (name.isEmpty())
            continue;
        LoggedState& state = states[TerminalNameKey(name)];
        const QDateTime time = QDateTime::fromString(e.value(QStringLiteral("time")).toString(), Qt::ISODate);
        const bool ok = e.value(QStringLiteral("result")).toString() == u"success";
        const bool read = e.value(QStringLiteral("command")).toString() == u"read";
        if (!ok) {
            state.lastError = e.value(QStringLiteral("result")).toString();
            continue;
        }
        state.lastError.clear();
        if (read) {
            state.lastRead = time;
            state.identification = e.value(QStringLiteral("terminal")).toString();
        } else {
            state.lastWrite = time;
        }
    }
    return states;
}

QString OperationWord(SiteOperation operation)
{
    switch (operation) {
    case SiteOperation::Read: return QStringLiteral("read");
    case SiteOperation::Diff: return QStringLiteral("diff");
    case SiteOperation::Write: return QStringLiteral("write");
    case SiteOperation::Status: return QStringLiteral("status");
    }
    return {};
}

} // namespace

void CompareLastRead(const SiteTerminal& t, SiteTerminalResult& r, int languageOffset, bool withoutConfiguration)
{
    const QString readFile = TerminalFolderRead(t);
    if (t.configuration.isEmpty() && !withoutConfiguration) {
        r.result = SiteResult::Skipped;
        r.message = CatalogueText(Text::SiteMissingKey, languageOffset).arg(QStringLiteral("configuration"));
        return;
    }
    if (!QFileInfo::exists(readFile)) {
        r.result = SiteResult::Unknown;
        r.message = CatalogueText(Text::HintRead, languageOffset)
                        .arg(PrintableText(QDir(QFileInfo(t.folder).path()).relativeFilePath(readFile)));
        return;
    }
    ConfigSnapshot read;
    if (const FileStatus status = LoadSnapshot(readFile, read); !status) {
        r.result = SiteResult::Failed;
        r.message = FileStatusText(status, languageOffset);
        return;
    }
    if (t.configuration.isEmpty()) {
        r.result = SiteResult::Ok;
        return;
    }
    ConfigSnapshot wanted;
    if (const FileStatus status = LoadSnapshot(t.configuration, wanted); !status) {
        r.result = SiteResult::Failed;
        r.message = FileStatusText(status, languageOffset);
        return;
    }
    r.changes = CompareConfigurations(read, wanted);
    r.changes.comments.clear();   // the terminal holds no comments
    r.compared = true;
    r.result = r.changes.TerminalUnchanged() ? SiteResult::Equal : SiteResult::Differs;
    r.message = SummarizeChanges(r.changes, languageOffset).join(QStringLiteral("; "));
}

QString SiteResultWord(SiteResult result)
{
    switch (result) {
    case SiteResult::Ok: return QStringLiteral("ok");
    case SiteResult::Failed: return QStringLiteral("failed");
    case SiteResult::Equal: return QStringLiteral("equal");
    case SiteResult::Differs: return QStringLiteral("differs");
    case SiteResult::Skipped: return QStringLiteral("skipped");
    case SiteResult::Unknown: return QStringLiteral("unknown");
    }
    return {};
}

// ---------------------------------------------------------------- one terminal

// One selected terminal of a read or write: its link, its session with a
// monitor and a recorder, from the opening of its port to its result.
class SiteRun::Job : public QObject {
public:
    Job(SiteRun& run, int index, const std::optional<QString>& password)
        : run_(run), t_(run.site_.terminals.at(index)), password_(password.value_or(QString())),
          hasPassword_(password.has_value())
    {
        result.index = index;
        result.name = t_.name;
        result.port = t_.port.text;
    }

    SiteTerminalResult result;
    bool done = false;

    void Begin()
    {
        startMs_ = run_.timers_.NowMs();
        emit run_.TerminalStarted(result.index);
        const int language = run_.program_.LanguageOffset;
        if (run_.operation_ == SiteOperation::Write && !LoadWanted(language))
            return;
        if (!hasPassword_) {
            Fail(CatalogueText(Text::SiteMissingKey, language).arg(QStringLiteral("password")));
            return;
        }
        if (!OpenLink())
            return;
        // A terminal on the network is connected before its read starts: the
        // sequence times the control lines. The link gives up by itself, and
        // says why with ConnectionFailed.
        if (!link_->IsReady()) {
            phase_ = Phase::Connecting;
            connect(link_.get(), &SerialLink::Ready, this, [this] {
                if (phase_ == Phase::Connecting)
                    StartRead();
            });
            return;
        }
        StartRead();
    }

    void StartRead()
    {
        ReadSequence& read = session_->Read();
        const bool dryRun = run_.operation_ == SiteOperation::Write && run_.options_.dryRun;
        if (!dryRun)
            QDir().mkpath(t_.folder);
        read.SetOutputFile(TerminalFolderRead(t_));
        read.SetStoring(dryRun ? ReadSequence::Storing::Nothing : ReadSequence::Storing::OutputFile);
        read.SetFallbackFolder(QDir(DefaultReadFallbackFolder()).filePath(t_.name));
        read.SetAskToEdit(false);
        read.Now = run_.Now;
        if (run_.storeOnThreads_) {
            QThreadPool* pool = run_.pool_.get();
            read.StoreAside = [pool, &read](std::function<ReadStorage()> work, std::function<void(const ReadStorage&)> done) {
                // The run waits for its threads before its sessions go, and an
                // answer to a sequence that has gone is dropped with it.
                pool->start([work, done, &read] {
                    const ReadStorage stored = work();
                    QMetaObject::invokeMethod(&read, [done, stored] { done(stored); }, Qt::QueuedConnection);
                });
            };
        }
        connect(&read, &ReadSequence::Finished, this, &Job::ReadFinished);
        phase_ = Phase::Reading;
        const QString password = password_;
        if (!read.Start([password] { return PasswordEntry{1, password}; }))
            Fail(messages_.last);
    }

    // The run was stopped: a read under way is broken off (nothing of it is
    // stored); a write under way goes on to its end.
    void Stop()
    {
        if (phase_ == Phase::Connecting) {
            result.stopped = true;
            Finish(SiteResult::Skipped, CatalogueText(Text::SiteStopped, run_.program_.LanguageOffset));
            return;
        }
        // A read being stored is complete: it ends as it is.
        if (phase_ != Phase::Reading || !session_->Read().IsRunning())
            return;
        session_->Read().Abort();
        result.stopped = true;
        Finish(SiteResult::Skipped, CatalogueText(Text::SiteStopped, run_.program_.LanguageOffset));
    }

private:
    enum class Phase { Idle, Connecting, Reading, Writing, Done };

    // The configuration to write, checked before the line is touched.
    bool LoadWanted(int language)
    {
        if (t_.configuration.isEmpty()) {
            Finish(SiteResult::Skipped, CatalogueText(Text::SiteMissingKey, language).arg(QStringLiteral("configuration")));
            return false;
        }
        if (const FileStatus status = LoadSnapshot(t_.configuration, wanted_); !status) {
            Fail(FileStatusText(status, language));
            return false;
        }
        if (const QString unsendable = UnsendableImageText(run_.program_, wanted_.block); !unsendable.isEmpty()) {
            Fail(unsendable);
            return false;
        }
        return true;
    }

    bool OpenLink()
    {
        link_ = std::make_unique<MappedSerialLink>(run_.timers_, run_.program_.Ports);
        if (run_.devices_)
            link_->SetDevices(*run_.devices_);
        session_ = std::make_unique<TerminalSession>(run_.program_, *link_, run_.timers_, messages_);
        // com N goes through the port map; every other port is named as the
        // port map names its targets.
        if (t_.port.kind == SitePort::Kind::Com) {
            link_->SetPortNumber(t_.port.com);
            session_->State().PortNumber = qint16(t_.port.com);
        } else {
            link_->SetFixedTarget(PortMap::TargetFromText(t_.port.target));
        }
        monitor_ = std::make_unique<TransferMonitor>(*session_, run_.timers_, ProgressIntervalMs);
        connect(monitor_.get(), &TransferMonitor::Changed, this,
                [this](const TransferProgress& progress) { emit run_.TerminalProgress(result.index, progress); });
        recorder_ = std::make_unique<TransferRecorder>(*session_, QDir(run_.site_.folder).filePath(SiteLogFileName));
        recorder_->SetTerminalName(t_.name);
        recorder_->PortName = [this] { return t_.port.text; };
        recorder_->Now = run_.Now;
        connect(recorder_.get(), &TransferRecorder::Problem, this, [this](const QString& problem) {
            logProblem_ = SequenceText(run_.program_, Text::TransferLogUnwritable).arg(PrintableText(problem));
        });
        // Queued: the link is still within its own signal, and the job's end
        // closes it and may let it go.
        connect(link_.get(), &SerialLink::ConnectionFailed, this, &Job::ConnectionFailed, Qt::QueuedConnection);
        if (link_->Open())
            return true;
        FailOpening();
        return false;
    }

    // Why the port did not open (or the terminal on the network could not be
    // reached), as the port's own lines say it.
    void FailOpening()
    {
        QStringList lines = PortFailedMessage(run_.program_, Text::PortBusy, {link_->OpenFailure()}).trimmed().split(u'\n');
        for (QString& line : lines)
            line = PrintableText(line);
        Fail(lines.join(u'\n'));
    }

    // The terminal on the network could not be reached, or its connection was
    // lost. One lost midway is opened again by the link at once (the
    // sequence's own checks then tell whether the transfer survived); one
    // lost for good ends the transfer under way, whose message would only
    // follow after its waits.
    void ConnectionFailed()
    {
        const PortFailure failure = link_->OpenFailure();
        if (phase_ == Phase::Connecting) {
            FailOpening();
        } else if (failure.network != NetworkProblem::Dropped) {
            // A read being stored is complete: it ends as it is.
            if (phase_ == Phase::Reading && session_->Read().IsRunning())
                session_->Read().Abort();
            else if (phase_ == Phase::Writing && session_->Write().IsRunning())
                session_->Write().Abort();
            else
                return;
            FailOpening();
        }
    }

    void ReadFinished(bool ok)
    {
        if (phase_ != Phase::Reading)
            return;
        const ReadSequence& read = session_->Read();
        const int language = run_.program_.LanguageOffset;
        const ReadStorage* stored = ok ? read.LastRead() : nullptr;
        if (stored)
            result.identification = read.IdentificationLine().trimmed();
        // A read that ended but could not be stored in the terminal's folder
        // leaves the folder's read as it was: failed, and said where it went.
        if (!ok || !read.FailureText().isEmpty() || !stored) {
            QString message = read.FailureText().isEmpty() ? messages_.last : read.FailureText();
            return Fail(message.trimmed());
        }
        const bool dryRun = run_.operation_ == SiteOperation::Write && run_.options_.dryRun;
        if (!dryRun && !stored->AtTarget())
            return Fail(read.NoticeText().trimmed());
        if (!dryRun)
            result.lastRead = run_.Now();
        if (run_.operation_ == SiteOperation::Read)
            return Finish(SiteResult::Ok, read.NoticeText().trimmed());

        result.changes = CompareConfigurations(stored->read, wanted_);
        result.changes.comments.clear();   // the terminal holds no comments
        result.compared = true;
        const bool equal = result.changes.TerminalUnchanged();
        const QString summary = SummarizeChanges(result.changes, language).join(QStringLiteral("; "));
        if (dryRun || (equal && !run_.options_.force))
            return Finish(equal ? SiteResult::Equal : SiteResult::Differs, summary);
        if (run_.stopped_) {
            result.stopped = true;
            return Finish(SiteResult::Skipped, CatalogueText(Text::SiteStopped, language));
        }

        WriteSequence& write = session_->Write();
        recorder_->SetWriteFile(QFileInfo(t_.configuration).absoluteFilePath());
        connect(&write, &WriteSequence::Finished, this, &Job::WriteFinished);
        phase_ = Phase::Writing;
        if (!write.Start(wanted_.block))
            Fail(messages_.last.trimmed());
    }

    void WriteFinished(bool ok)
    {
        if (phase_ != Phase::Writing)
            return;
        const WriteSequence& write = session_->Write();
        const QString text = (write.ResultText().isEmpty() ? messages_.last : write.ResultText()).trimmed();
        if (!ok) {
            QString message = text;
            if (const SimulatedTerminal* sim = link_->Simulation(); sim && !sim->ErrorText().isEmpty())
                message += u'\n' + CatalogueText(Text::SimulationNotStored, run_.program_.LanguageOffset) + u' '
                           + PrintableText(sim->ErrorText());
            return Fail(message);
        }
        result.written = true;
        result.lastWrite = run_.Now();
        // The terminal holds what it replied, which is what was sent: its
        // folder holds that with the comments of the file written, and the
        // read before the write stays in history/.
        QString message = text;
        PairContent content{FormatConfigBlock(wanted_.block), std::nullopt};
        if (wanted_.hasComments)
            content.comments = FormatComments(wanted_.comments);
        if (const PairCommit committed = CommitPair(TerminalFolderRead(t_), content, run_.Now()); !committed)
            message += u'\n' + PrintableText(committed.status.message);
        Finish(SiteResult::Ok, message);
    }

    void Fail(const QString& message) { Finish(SiteResult::Failed, message); }

    void Finish(SiteResult outcome, const QString& message)
    {
        if (phase_ == Phase::Done)
            return;
        phase_ = Phase::Done;
        result.result = outcome;
        result.message = message;
        if (!logProblem_.isEmpty())
            result.message += (result.message.isEmpty() ? QString() : QStringLiteral("\n")) + logProblem_;
        if (outcome == SiteResult::Failed)
            result.lastError = message;
        result.seconds = double(run_.timers_.NowMs() - startMs_) / 1000.0;
        // The port is let go at once: another terminal, the next run or
        // another program may take it.
        if (session_)
            session_->Shutdown();
        if (link_)
            link_->Close();
        done = true;
        run_.JobEnded(this);
    }

    SiteRun& run_;
    const SiteTerminal& t_;
    QString password_;
    bool hasPassword_ = false;
    Phase phase_ = Phase::Idle;
    qint64 startMs_ = 0;
    ConfigSnapshot wanted_;
    AnsweringMessages messages_;
    std::unique_ptr<MappedSerialLink> link_;
    std::unique_ptr<TerminalSession> session_;
    std::unique_ptr<TransferMonitor> monitor_;
    std::unique_ptr<TransferRecorder> recorder_;
    QString logProblem_;
};

// ---------------------------------------------------------------- the run

SiteRun::SiteRun(const ProgramState& program, Timers& timers, const Site& site, QObject* parent)
    : QObject(parent), program_(program), timers_(timers), site_(site), pool_(std::make_unique<QThreadPool>())
{
    // Storing waits on the disk far more than it computes.
    pool_->setMaxThreadCount(MaxStoringThreads);
}

SiteRun::~SiteRun()
{
    // Reads being stored end first; then sessions end before their links,
    // and nothing is reported any more.
    pool_->waitForDone();
    blockSignals(true);
    jobs_.clear();
}

QList<int> SiteRun::Selection(const QStringList& names, QStringList* unknown) const
{
    QList<int> selection;
    for (const QString& name : names) {
        const QString key = TerminalNameKey(name.trimmed());
        bool found = false;
        for (int i = 0; i < site_.terminals.size(); ++i) {
            if (TerminalNameKey(site_.terminals.at(i).name) == key) {
                if (!selection.contains(i))
                    selection.append(i);
                found = true;
            }
        }
        if (!found && unknown)
            unknown->append(name);
    }
    std::sort(selection.begin(), selection.end());
    return selection;
}

QList<int> SiteRun::All() const
{
    QList<int> all;
    for (int i = 0; i < site_.terminals.size(); ++i)
        all.append(i);
    return all;
}

bool SiteRun::Start(SiteOperation operation, const QList<int>& selection, const QHash<int, QString>& passwords,
                    const Options& options)
{
    if (Running() || selection.isEmpty())
        return false;
    for (int index : selection)
        if (index < 0 || index >= site_.terminals.size())
            return false;
    operation_ = operation;
    options_ = options;
    stopped_ = false;
    jobs_.clear();
    QList<int> ordered = selection;
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());

    results_.clear();
    if (operation == SiteOperation::Diff || operation == SiteOperation::Status) {
        // Files only: each terminal's result at once.
        const QHash<QString, LoggedState> logged = LoggedStates(QDir(site_.folder).filePath(SiteLogFileName));
        for (int index : ordered) {
            const SiteTerminal& t = site_.terminals.at(index);
            SiteTerminalResult r;
            r.index = index;
            r.name = t.name;
            r.port = t.port.text;
            const LoggedState state = logged.value(TerminalNameKey(t.name));
            r.identification = state.identification;
            r.lastRead = state.lastRead;
            r.lastWrite = state.lastWrite;
            r.lastError = state.lastError;
            emit TerminalStarted(index);
            CompareLastRead(t, r, program_.LanguageOffset, operation == SiteOperation::Status);
            results_.insert(index, r);
            emit TerminalFinished(r);
        }
        Remember();
        emit Finished();
        return true;
    }

    for (int index : ordered)
        jobs_.push_back(std::make_unique<Job>(
            *this, index, passwords.contains(index) ? std::optional(passwords.value(index)) : std::nullopt));
    running_ = int(jobs_.size());
    // Every job is made before the first begins: one that ends at once (its
    // port does not open) must not find the run ended.
    for (const auto& job : jobs_)
        job->Begin();
    return true;
}

bool SiteRun::Running() const
{
    return running_ > 0;
}

void SiteRun::Stop()
{
    if (!Running())
        return;
    stopped_ = true;
    for (const auto& job : jobs_)
        if (!job->done)
            job->Stop();
}

QList<SiteTerminalResult> SiteRun::Results() const
{
    QList<SiteTerminalResult> results;
    if (!jobs_.empty()) {
        for (const auto& job : jobs_)
            results.append(job->result);
        return results;
    }
    for (auto it = results_.cbegin(); it != results_.cend(); ++it)
        results.append(it.value());
    return results;
}

void SiteRun::JobEnded(Job* job)
{
    --running_;
    emit TerminalFinished(job->result);
    if (running_ == 0) {
        if (!(operation_ == SiteOperation::Write && options_.dryRun))
            Remember();
        emit Finished();
    }
}

void SiteRun::Remember()
{
    RememberFailed(site_, operation_, Results());
}

// ---------------------------------------------------------------- passwords

SitePasswords ResolveSitePasswords(const Site& site, const QList<int>& selection,
                                   const std::optional<QString>& defaultPassword, const QString& defaultSource)
{
    SitePasswords resolved;
    for (int index : selection) {
        const SiteTerminal& t = site.terminals.at(index);
        const SitePassword& source = t.password;
        QString text;
        QString from;
        switch (source.source) {
        case SitePassword::Source::File: {
            const PasswordFileLine file = ReadPasswordFile(source.file);
            if (!file.status) {
                SiteProblem problem{source.line, SiteProblem::Kind::PasswordFileUnusable, {source.file}};
                problem.status = file.status;
                resolved.problems.append(problem);
                continue;
            }
            text = file.line;
            from = source.file;
            const QFileDevice::Permissions p = QFileInfo(source.file).permissions();
            if (p & (QFileDevice::ReadGroup | QFileDevice::ReadOther))
                resolved.readableByOthers.append(source.file);
            break;
        }
        case SitePassword::Source::Environment:
            if (!qEnvironmentVariableIsSet(qPrintable(source.variable))) {
                resolved.problems.append({source.line, SiteProblem::Kind::PasswordVariableUnset, {source.variable}});
                continue;
            }
            text = qEnvironmentVariable(qPrintable(source.variable));
            from = source.variable;
            break;
        case SitePassword::Source::Default:
            if (!defaultPassword)
                continue;   // the face says that none was given
            text = *defaultPassword;
            from = defaultSource;
            break;
        }
        if (const auto packed = TerminalPasswordFromText(text))
            resolved.passwords.insert(index, *packed);
        else
            resolved.problems.append({source.line, SiteProblem::Kind::PasswordMalformed, {from}});
    }
    std::stable_sort(resolved.problems.begin(), resolved.problems.end(),
                     [](const SiteProblem& a, const SiteProblem& b) { return a.line < b.line; });
    resolved.readableByOthers.removeDuplicates();
    return resolved;
}

bool NeedsDefaultPassword(const Site& site, const QList<int>& selection)
{
    return std::any_of(selection.cbegin(), selection.cend(), [&](int index) {
        return site.terminals.at(index).password.source == SitePassword::Source::Default;
    });
}

// ---------------------------------------------------------------- results

bool SiteSucceeded(SiteOperation operation, const SiteTerminalResult& r)
{
    if (r.result == SiteResult::Skipped && !r.stopped && operation != SiteOperation::Read)
        return true;
    switch (operation) {
    case SiteOperation::Read: return r.result == SiteResult::Ok;
    case SiteOperation::Diff: return r.result == SiteResult::Equal;
    case SiteOperation::Write:
        return r.result == SiteResult::Ok || r.result == SiteResult::Equal;
    case SiteOperation::Status:
        return (r.result == SiteResult::Ok || r.result == SiteResult::Equal) && r.lastError.isEmpty();
    }
    return false;
}

int SiteExitStatus(SiteOperation operation, const QList<SiteTerminalResult>& results)
{
    const bool all = std::all_of(results.cbegin(), results.cend(),
                                 [operation](const SiteTerminalResult& r) { return SiteSucceeded(operation, r); });
    return all ? 0 : 1;
}

QJsonObject SiteResultsJson(const QString& siteName, const QList<SiteTerminalResult>& results)
{
    QJsonArray terminals;
    for (const SiteTerminalResult& r : results) {
        terminals.append(QJsonObject{
            {QStringLiteral("name"), r.name},
            {QStringLiteral("port"), r.port},
            {QStringLiteral("result"), SiteResultWord(r.result)},
            {QStringLiteral("identification"), r.identification.isEmpty() ? QJsonValue() : QJsonValue(r.identification)},
            {QStringLiteral("seconds"), std::round(r.seconds * 10) / 10},
            {QStringLiteral("message"), r.message},
            {QStringLiteral("changes"), r.compared ? QJsonValue(ChangeSummaryJson(r.changes)) : QJsonValue()},
        });
    }
    return QJsonObject{{QStringLiteral("site"), siteName}, {QStringLiteral("terminals"), terminals}};
}

QStringList LastFailedNames(const Site& site, SiteOperation operation)
{
    const FileContent file = ReadRegularFile(SiteRunsFileName(site.file), MaxSiteFileBytes);
    if (!file.status)
        return {};
    QStringList names;
    for (const QJsonValue& name : QJsonDocument::fromJson(file.content).object().value(OperationWord(operation)).toArray())
        names.append(name.toString());
    return names;
}

FileStatus RememberFailed(const Site& site, SiteOperation operation, const QList<SiteTerminalResult>& results)
{
    const QString path = SiteRunsFileName(site.file);
    const FileContent file = ReadRegularFile(path, MaxSiteFileBytes);
    QJsonObject runs = file.status ? QJsonDocument::fromJson(file.content).object() : QJsonObject();
    // Each terminal as its own last run of this command left it: those not
    // in this run keep what they were.
    QStringList failed = LastFailedNames(site, operation);
    for (const SiteTerminalResult& r : results) {
        const QString key = TerminalNameKey(r.name);
        failed.removeIf([&](const QString& name) { return TerminalNameKey(name) == key; });
        if (!SiteSucceeded(operation, r))
            failed.append(r.name);
    }
    runs.insert(OperationWord(operation), QJsonArray::fromStringList(failed));
    return WriteFileAtomically(path, QJsonDocument(runs).toJson(QJsonDocument::Indented));
}
