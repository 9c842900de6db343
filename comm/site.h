#pragma once
// One operation over the terminals of a site: read, compare, write or show
// their state, all terminals at once on one event loop, each terminal in a
// session of its own on its own link. vardelo-cli site and the site window
// are two faces of this one object:
//
//     SiteRun run(program, timers, site);
//     connect(&run, &SiteRun::TerminalProgress, ...);   // a bar per row, a line on stderr
//     connect(&run, &SiteRun::TerminalFinished, ...);   // a row's result, a line on stdout
//     connect(&run, &SiteRun::Finished, ...);           // the summary
//     run.Start(SiteOperation::Read, run.Selection({"Tor 1", "Tor 2"}), passwords);
//     ...
//     run.Stop();   // Ctrl+C, the window's Stop: no new transfer begins
//
// Each terminal reads into <site folder>/<name>/VARDELO.QLV (with its .BGT,
// history/ and the comments of the file last written to it carried over),
// and every read and write is a line of the site's transfers.log beside the
// site file, with the terminal's name. A terminal that fails (a port that
// does not open, a silent terminal, a wrong password) is reported with its
// cause and the others go on.
//
// Read and write touch the line; diff and status only read files, and
// finish within Start().

#include "comm/progress.h"
#include "config/configcompare.h"
#include "config/sitefile.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QThreadPool;
class SerialDevices;
class Timers;

enum class SiteOperation { Read, Diff, Write, Status };

// What became of one terminal. The words are those of `vardelo-cli site
// --json`.
enum class SiteResult {
    Ok,        // read; written and verified; status: read, nothing to compare with
    Failed,    // the port, the terminal or a file failed: message says why
    Equal,     // holds its configuration (a write skipped it)
    Differs,   // does not hold its configuration (diff, status, a dry run)
    Skipped,   // not touched: no configuration named, or the run was stopped
    Unknown,   // never read: nothing to compare
};
QString SiteResultWord(SiteResult result);

struct SiteTerminalResult {
    int index = -1;          // in Site::terminals
    QString name;
    QString port;            // as the site file writes it
    SiteResult result = SiteResult::Unknown;
    QString identification;  // the terminal's 16 characters, trimmed; empty when unknown
    double seconds = 0;      // from its start to its end
    QString message;         // in the program's language: why it failed, what it did
    bool compared = false;   // changes holds a comparison with its configuration
    ConfigDifference changes;   // from what it holds to its configuration
    bool written = false;    // write: sent and verified
    bool stopped = false;    // Skipped because the run was stopped (not for lack of a configuration)
    // Status (from the folder and the transfer log; also filled by the others
    // when they end): the last read, the last verified write, the last error.
    QDateTime lastRead;
    QDateTime lastWrite;
    QString lastError;
};

// The last read in each terminal's folder.
inline const QString SiteReadFileName = QStringLiteral("VARDELO.QLV");

class SiteRun : public QObject {
    Q_OBJECT
public:
    SiteRun(const ProgramState& program, Timers& timers, const Site& site, QObject* parent = nullptr);
    ~SiteRun() override;

    const Site& SiteDescription() const { return site_; }

    // The indices of the named terminals (TerminalNameKey: letter case
    // aside), in the site's order; names the site does not have go to
    // unknown.
    QList<int> Selection(const QStringList& names, QStringList* unknown = nullptr) const;
    QList<int> All() const;

    struct Options {
        bool dryRun = false;   // write: read and compare, write nothing
        bool force = false;    // write: also where the terminal already holds it
    };
    // Starts the operation on the selected terminals; passwords holds each
    // selected terminal's password as the terminal is sent it (see
    // ResolveSitePasswords), by index: a read or write of a terminal without
    // one fails at once, untouched. False when nothing started (a run is
    // going on, the selection is empty or names no terminal of the site).
    bool Start(SiteOperation operation, const QList<int>& selection, const QHash<int, QString>& passwords,
               const Options& options);
    bool Start(SiteOperation operation, const QList<int>& selection, const QHash<int, QString>& passwords = {})
    {
        return Start(operation, selection, passwords, Options());
    }
    bool Running() const;
    // No new read or write begins; reads under way on the line are broken
    // off (nothing of them is stored; one already being stored ends as it
    // is), writes under way end as a write does, and every terminal left
    // out is reported Skipped with stopped set.
    void Stop();
    bool Stopped() const { return stopped_; }

    SiteOperation Operation() const { return operation_; }
    // The results of the selected terminals in the site's order; those still
    // running are Unknown.
    QList<SiteTerminalResult> Results() const;

    // What the system says of its serial devices, for the cause of a port
    // that did not open (the running system's unless told otherwise).
    void SetDevices(const SerialDevices& devices) { devices_ = &devices; }
    // The clock of the history/ names and the log's entries.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };
    // Reads are stored (written and synced) on threads of the run's own, side
    // by side, so that terminals whose reads end on one tick do not wait for
    // each other's disk; off, each is stored at once on the event loop's
    // thread (tests on a manual clock, where the order must not depend on
    // the disk).
    void SetStoreOnThreads(bool on) { storeOnThreads_ = on; }

signals:
    void TerminalStarted(int index);
    void TerminalProgress(int index, const TransferProgress& progress);
    void TerminalFinished(const SiteTerminalResult& result);
    void Finished();

private:
    class Job;
    friend class Job;
    void JobEnded(Job* job);
    void Remember();

    const ProgramState& program_;
    Timers& timers_;
    Site site_;
    const SerialDevices* devices_ = nullptr;
    SiteOperation operation_ = SiteOperation::Read;
    Options options_;
    std::vector<std::unique_ptr<Job>> jobs_;   // read, write
    QMap<int, SiteTerminalResult> results_;     // diff, status
    int running_ = 0;
    bool stopped_ = false;
    bool storeOnThreads_ = true;
    std::unique_ptr<QThreadPool> pool_;
};

// The terminal's last read (in its folder) against its configuration, as
// diff and status say it without touching the line: r's result, message and
// changes. withoutConfiguration: a terminal that names none is Ok when its
// last read can be loaded (status), otherwise it is Skipped (diff).
void CompareLastRead(const SiteTerminal& t, SiteTerminalResult& r, int languageOffset, bool withoutConfiguration);

// The passwords of the selected terminals, from their sources in the site
// file: a password file's first line, an environment variable, or
// defaultPassword (VARDELO_PASSWORD, or what the operator typed once; named
// defaultSource in a message) for those that name none. A source that gives
// no usable password is a problem naming its line; a terminal that takes
// the default gets none when there is none. Nothing is touched.
struct SitePasswords {
    QHash<int, QString> passwords;   // by index: packed as the terminal is sent it
    QList<SiteProblem> problems;
    QStringList readableByOthers;    // password files others may read (a warning)
};
SitePasswords ResolveSitePasswords(const Site& site, const QList<int>& selection,
                                   const std::optional<QString>& defaultPassword,
                                   const QString& defaultSource = QStringLiteral("VARDELO_PASSWORD"));
// Whether any selected terminal takes the default password.
bool NeedsDefaultPassword(const Site& site, const QList<int>& selection);

// Whether a terminal did what the operation is for: read: Ok; diff: Equal;
// write: Ok (written and verified) or Equal (nothing to write); status: Ok or
// Equal with no error after its last success. A terminal skipped for lack
// of a configuration had nothing to do; one skipped because the run was
// stopped did not do it.
bool SiteSucceeded(SiteOperation operation, const SiteTerminalResult& result);
// The exit status of a site command over these results: 0 when every
// terminal succeeded, otherwise 1.
int SiteExitStatus(SiteOperation operation, const QList<SiteTerminalResult>& results);

// {"site": NAME, "terminals": [{"name", "port", "result", "identification",
// "seconds", "message", "changes"}]}: identification null when unknown,
// seconds to a tenth, changes the change summary (as in the transfer log)
// where the terminal was compared with its configuration, else null.
QJsonObject SiteResultsJson(const QString& siteName, const QList<SiteTerminalResult>& results);

// Which terminals failed, each in the last run of this operation it took
// part in, kept beside the site file (SiteRunsFileName). A run (but a dry
// run) records its results when it finishes.
QStringList LastFailedNames(const Site& site, SiteOperation operation);
FileStatus RememberFailed(const Site& site, SiteOperation operation, const QList<SiteTerminalResult>& results);
