#include "comm/site.h"

#include "platform/serialdevices.h"
#include "platform/timers.h"

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

// One selected terminal of a run.
class SiteRun::Job {
public:
    SiteTerminalResult result;
    bool done = false;
};

SiteRun::SiteRun(const ProgramState& program, Timers& timers, const Site& site, QObject* parent)
    : QObject(parent), program_(program), timers_(timers), site_(site)
{
}

SiteRun::~SiteRun() = default;

QList<int> SiteRun::Selection(const QStringList& names, QStringList* unknown) const
{
    QList<int> selection;
    for (const QString& name : names) {
        const QString key = TerminalNameKey(name);
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
    Q_UNUSED(passwords);
    if (Running() || selection.isEmpty())
        return false;
    operation_ = operation;
    options_ = options;
    stopped_ = false;
    jobs_.clear();
    emit Finished();
    return true;
}

bool SiteRun::Running() const
{
    return running_ > 0;
}

void SiteRun::Stop()
{
    stopped_ = true;
}

QList<SiteTerminalResult> SiteRun::Results() const
{
    QList<SiteTerminalResult> results;
    for (const auto& job : jobs_)
        results.append(job->result);
    return results;
}

void SiteRun::JobEnded(Job* job)
{
    job->done = true;
    --running_;
    emit TerminalFinished(job->result);
    if (running_ == 0)
        emit Finished();
}

SitePasswords ResolveSitePasswords(const Site& site, const QList<int>& selection,
                                   const std::optional<QString>& defaultPassword)
{
    Q_UNUSED(site);
    Q_UNUSED(selection);
    Q_UNUSED(defaultPassword);
    return {};
}

bool NeedsDefaultPassword(const Site& site, const QList<int>& selection)
{
    for (int index : selection)
        if (site.terminals.at(index).password.source == SitePassword::Source::Default)
            return true;
    return false;
}

int SiteExitStatus(SiteOperation operation, const QList<SiteTerminalResult>& results)
{
    Q_UNUSED(operation);
    Q_UNUSED(results);
    return 1;
}
