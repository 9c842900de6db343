// vardelo-cli site read|diff|write|status|plan|apply|directory SITE: one
// command over every terminal of a site file, all at once in this one process
// (comm/site.h and comm/siteplan.h do the work; this file parses, asks for a
// password once, prints a line per terminal as it finishes and a summary, and
// turns Ctrl+C into a stop that tears no write).
#include "cli/sitecommand.h"

#include "cli/commands.h"
#include "cli/passwordsource.h"
#include "comm/simterminal.h"
#include "comm/site.h"
#include "comm/siteplan.h"
#include "config/directory.h"
#include "platform/fileaccess.h"
#include "platform/interrupts.h"
#include "platform/timers.h"
#include "texts/catalogue.h"
#include "texts/directorytexts.h"
#include "texts/sitetexts.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <algorithm>

namespace {

// The progress line on stderr comes at most this often.
constexpr int ProgressIntervalMs = 1000;

const QStringList Actions{QStringLiteral("read"), QStringLiteral("diff"),  QStringLiteral("write"),
                          QStringLiteral("status"), QStringLiteral("plan"), QStringLiteral("apply"),
                          QStringLiteral("directory")};

// The options that belong to some actions only; given to another, they are
// wrong usage (--force with diff would otherwise be silently ignored).
struct OptionUse {
    QString option;
    QStringList actions;
};
const QList<OptionUse>& OptionUses()
{
    static const QStringList runs{"read", "diff", "write", "status"};
    static const QStringList all{"read", "diff", "write", "status", "plan", "apply"};
    static const QList<OptionUse> uses{
        {QStringLiteral("only"), all},
        {QStringLiteral("failed"), runs},
        {QStringLiteral("dry-run"), {"write", "apply"}},
        {QStringLiteral("force"), {"write"}},
        {QStringLiteral("directory"), {"plan", "apply"}},
        {QStringLiteral("date"), {"plan", "apply"}},
        {QStringLiteral("json"), all},
        {QStringLiteral("pretty"), all},
    };
    return uses;
}

SiteOperation OperationOf(const QString& action)
{
    return action == u"diff"    ? SiteOperation::Diff
           : action == u"write" ? SiteOperation::Write
           : action == u"status" ? SiteOperation::Status
                                 : SiteOperation::Read;
}

QString SimulationError(const QString& afterSim)
{
    QString error;
    return ParseSimulationOptions(afterSim, &error) ? QString() : error;
}

QString Seconds(double seconds)
{
    return QString::number(seconds, 'f', 1);
}

QString Time(const QDateTime& time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QStringLiteral("-");
}

// The message of a result as status tells it: its state against its
// configuration, then when it was last read and written, and its last error.
QString StatusMessage(const SiteTerminalResult& r)
{
    QStringList parts;
    if (!r.message.isEmpty())
        parts << r.message;
    parts << QStringLiteral("last read ") + Time(r.lastRead) << QStringLiteral("last write ") + Time(r.lastWrite);
    if (!r.lastError.isEmpty())
        parts << QStringLiteral("last error: ") + r.lastError;
    return parts.join(QStringLiteral("; "));
}

// One line a terminal as it finishes: "Tor 1: ok, VARDELO SIM 1.00, 9.4 s",
// then its message indented.
QString FinishedLine(const SiteTerminalResult& r)
{
    QString line = PrintableText(r.name) + QStringLiteral(": ") + SiteResultWord(r.result);
    if (!r.identification.isEmpty())
        line += QStringLiteral(", ") + PrintableText(r.identification);
    if (r.seconds > 0)
        line += QStringLiteral(", ") + Seconds(r.seconds) + QStringLiteral(" s");
    line += u'\n';
    for (const QString& text : r.message.split(u'\n', Qt::SkipEmptyParts))
        line += QStringLiteral("  ") + PrintableText(text) + u'\n';
    return line;
}

// The summary: a column each, the message last (its lines joined); seconds
// only where the line was used.
QString SummaryTable(const QList<SiteTerminalResult>& results, bool withSeconds)
{
    const auto row = [withSeconds](QStringList cells) {
        if (!withSeconds)
            cells.removeAt(4);
        return cells;
    };
    QList<QStringList> rows{row({QStringLiteral("terminal"), QStringLiteral("port"), QStringLiteral("result"),
                                 QStringLiteral("identification"), QStringLiteral("seconds"), QStringLiteral("message")})};
    for (const SiteTerminalResult& r : results)
        rows.append(row({PrintableText(r.name), PrintableText(r.port), SiteResultWord(r.result),
                         r.identification.isEmpty() ? QStringLiteral("-") : PrintableText(r.identification),
                         Seconds(r.seconds),
                         PrintableText(r.message.split(u'\n', Qt::SkipEmptyParts).join(QStringLiteral("; ")))}));
    const qsizetype columns = rows.first().size();
    QList<qsizetype> widths(columns, 0);
    for (const QStringList& cells : rows)
        for (qsizetype c = 0; c < columns - 1; ++c)
            widths[c] = std::max(widths[c], cells.at(c).size());
    QString table;
    for (const QStringList& cells : rows) {
        QString line;
        for (qsizetype c = 0; c < columns - 1; ++c)
            line += cells.at(c).leftJustified(widths[c] + 2);
        table += (line + cells.last()).trimmed() + u'\n';
    }
    return table;
}

// What every running terminal still has to move, as one line.
class SiteProgress {
public:
    void Set(int index, const TransferProgress& progress) { progress_[index] = progress; }
    void Done(int index) { progress_.remove(index); ++done_; }
    QString Text(const QString& action, int total) const
    {
        if (progress_.isEmpty())
            return {};
        int done = 0, bytes = 0;
        for (const TransferProgress& p : progress_) {
            done += p.done;
            bytes += p.total;
        }
        return QStringLiteral("site %1: %2 of %3 terminals done, %4 running (%5/%6 bytes)")
            .arg(action)
            .arg(done_)
            .arg(total)
            .arg(progress_.size())
            .arg(done)
            .arg(bytes);
    }

private:
    QMap<int, TransferProgress> progress_;
    int done_ = 0;
};

// "site write or site apply"
QString ActionsText(const QStringList& actions)
{
    QStringList named;
    for (const QString& action : actions)
        named << QStringLiteral("site ") + action;
    return named.size() < 2 ? named.join(QString())
                            : named.mid(0, named.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + named.last();
}

// A day as YYYY-MM-DD, nothing else.
std::optional<QDate> DayOf(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    const QDate day = form.match(text).hasMatch() ? QDate::fromString(text, Qt::ISODate) : QDate();
    return day.isValid() ? std::optional<QDate>(day) : std::nullopt;
}

// The passwords of the terminals a run will touch, before the line (and
// before apply changes a file): a source that gives none is named with its
// line, and nothing is returned.
std::optional<QHash<int, QString>> SitePasswordsOrSay(CommandCall& call, const Site& site, const QList<int>& selection,
                                                       const ProgramState& program)
{
    const int language = program.LanguageOffset;
    std::optional<QString> fallback;
    if (NeedsDefaultPassword(site, selection)) {
        fallback = PasswordFromEnvironmentOrPrompt(language, call.err);
        if (!fallback) {
            call.Warning(QStringLiteral("the terminals without password-file or password-env need the "
                                        "password: the environment variable ") +
                         QLatin1String(PasswordVariable) + QStringLiteral(", or typed at the prompt"));
            return std::nullopt;
        }
    }
    const SitePasswords resolved = ResolveSitePasswords(site, selection, fallback);
    if (!resolved.problems.isEmpty()) {
        call.err << SiteProblemsMessage(resolved.problems, call.Argument(1), language) << '\n';
        return std::nullopt;
    }
    for (const QString& file : resolved.readableByOthers)
        WarnWhenOthersMayRead(file, language, call.err);
    ReportPortMapFile(program.Ports, language, call.err);
    return resolved.passwords;
}

// Runs the operation over the selection until it has ended: a line per
// terminal on lines as it finishes, the progress on stderr, Ctrl+C a stop
// that lets a write end.
QList<SiteTerminalResult> RunReporting(CommandCall& call, SiteWorld& world, SiteRun& run, SiteOperation operation,
                                       const QString& action, const QList<int>& selection,
                                       const QHash<int, QString>& passwords, const SiteRun::Options& options,
                                       QTextStream& lines)
{
    const bool touchesLine = operation == SiteOperation::Read || operation == SiteOperation::Write;
    SiteProgress progress;
    QObject context;
    QObject::connect(&run, &SiteRun::TerminalProgress, &context,
                     [&](int index, const TransferProgress& p) { progress.Set(index, p); });
    QObject::connect(&run, &SiteRun::TerminalFinished, &context, [&](const SiteTerminalResult& r) {
        progress.Done(r.index);
        if (operation == SiteOperation::Status) {
            SiteTerminalResult shown = r;
            shown.message = StatusMessage(r);
            lines << FinishedLine(shown);
        } else {
            lines << FinishedLine(r);
        }
        lines.flush();
    });
    const std::unique_ptr<PeriodicTimer> ticker = world.timers.CreateTimer(ProgressIntervalMs);
    QObject::connect(ticker.get(), &PeriodicTimer::Tick, &context, [&] {
        if (const QString line = progress.Text(action, int(selection.size())); !line.isEmpty()) {
            call.err << line << '\n';
            call.err.flush();
        }
    });
    // Ctrl+C: no new transfer begins, a write under way ends as a write
    // does, and the summary says what was written.
    std::unique_ptr<InterruptWatcher> interrupts;
    if (touchesLine && world.watchInterrupts) {
        interrupts = std::make_unique<InterruptWatcher>();
        QObject::connect(interrupts.get(), &InterruptWatcher::Interrupted, &context, [&] {
            call.Warning(QStringLiteral("stopping: no new transfer begins; a write under way ends first"));
            call.err.flush();
            run.Stop();
        });
    }
    if (touchesLine)
        call.err << QStringLiteral("site %1: %2 terminal(s) of %3\n").arg(action).arg(selection.size()).arg(PrintableText(run.SiteDescription().name));
    call.err.flush();
    run.Start(operation, selection, passwords, options);
    if (run.Running()) {
        ticker->Start();
        world.wait(run);
    }
    ticker->Stop();
    return run.Results();
}

// The summary table, then for a write what was written.
void PrintSummary(CommandCall& call, const QList<SiteTerminalResult>& results, bool withSeconds, bool written)
{
    call.out << '\n' << SummaryTable(results, withSeconds);
    if (!written)
        return;
    QStringList names;
    for (const SiteTerminalResult& r : results)
        if (r.written)
            names << PrintableText(r.name);
    call.out << "written: " << (names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "))) << '\n';
}

void WarnWhenStopped(CommandCall& call, const QList<SiteTerminalResult>& results)
{
    if (std::any_of(results.cbegin(), results.cend(), [](const SiteTerminalResult& r) { return r.stopped; }))
        call.Warning(QStringLiteral("stopped before every terminal was done"));
}

// site directory: the directory made of every terminal's last read, on
// stdout; where the terminals disagree, on stderr.
int MakeDirectory(CommandCall& call, const Site& site, int language)
{
    const SiteDirectoryMade made = DirectoryFromSite(site, language);
    if (!made) {
        for (const QString& problem : made.problems)
            call.err << problem << '\n';
        return call.Failure(QStringLiteral("no directory was made: it would take every card off a terminal that "
                                           "is missing from it; read every terminal first (site read)"));
    }
    for (const DirectoryConflict& conflict : made.made.conflicts)
        call.Warning(ConflictText(conflict, language));
    WriteRawBytes(call.out, FormatDirectoryCsv(made.made.entries));
    return ExitOk;
}

// site plan and site apply: each selected terminal's configuration planned
// from the directory; apply brings the configurations up to their plans and
// writes the terminals that need it.
int PlanOrApply(CommandCall& call, SiteWorld& world, SiteRun& run, const ProgramState& program,
                const QList<int>& selection, const QDate& day, bool apply)
{
    const Site& site = run.SiteDescription();
    const int language = program.LanguageOffset;
    const QString directoryFile = call.Value(QStringLiteral("directory"));
    const Directory directory = ReadSiteDirectory(site, directoryFile);
    if (!directory) {
        call.err << DirectoryMessage(directory, directoryFile, language) << '\n';
        return ExitUsage;
    }
    QList<LoadedTerminal> loaded = LoadSiteTerminals(site, selection, TerminalSource::Configuration, language);
    const SitePlan plan = PlanSite(PlanTerminals(loaded), directory, day);
    // Apply: each plan applied in memory, and the passwords of the terminals
    // to write, before any file is changed: a run that cannot begin changes
    // nothing.
    const bool dryRun = call.IsSet(QStringLiteral("dry-run"));
    QList<TerminalApplied> applied;
    QHash<int, QString> passwords;
    if (apply) {
        applied = PrepareSiteApply(site, loaded, plan, language);
        if (!dryRun && !WriteSelection(applied).isEmpty()) {
            const auto resolved = SitePasswordsOrSay(call, site, WriteSelection(applied), program);
            if (!resolved)
                return ExitUsage;
            passwords = *resolved;
        }
    }

    const bool json = call.IsSet(QStringLiteral("json"));
    QTextStream& lines = json ? call.err : call.out;
    call.err << QStringLiteral("site %1: %2 terminal(s) of %3 planned for %4 from %5\n")
                    .arg(apply ? QStringLiteral("apply") : QStringLiteral("plan"))
                    .arg(selection.size())
                    .arg(PrintableText(site.name), day.toString(Qt::ISODate), PrintableText(directoryFile));
    for (const QString& line : SitePlanLines(plan, loaded, language))
        lines << line << '\n';
    lines.flush();

    if (!apply) {
        if (json)
            call.PrintJson(SitePlanJson(site, plan, loaded, language));
        const bool unplanned = std::any_of(loaded.cbegin(), loaded.cend(),
                                           [](const LoadedTerminal& l) { return !l.configuration && !l.NamesNone(); });
        return plan.Changes() || unplanned ? ExitFailed : ExitOk;
    }

    if (!dryRun)
        SaveAppliedConfigurations(loaded, applied, language);
    for (const TerminalApplied& a : applied) {
        if (a.outcome == TerminalApplied::Outcome::Saved || a.outcome == TerminalApplied::Outcome::SaveFailed)
            lines << PrintableText(a.name) << ": " << a.message.split(u'\n').join(QStringLiteral("\n  ")) << '\n';
        else if (a.outcome == TerminalApplied::Outcome::Overflows || a.outcome == TerminalApplied::Outcome::SharedFileDiffers)
            lines << a.message << '\n';
    }
    lines.flush();

    QList<SiteTerminalResult> written;
    const QList<int> toWrite = WriteSelection(applied);
    if (!dryRun && !toWrite.isEmpty())
        written = RunReporting(call, world, run, SiteOperation::Write, QStringLiteral("apply"), toWrite, passwords, {}, lines);
    const QList<SiteTerminalResult> results = SiteApplyResults(site, applied, written, dryRun);
    if (json)
        call.PrintJson(SiteApplyJson(site, plan, loaded, results, language));
    else
        PrintSummary(call, results, !written.isEmpty(), !dryRun);
    if (dryRun)
        call.Warning(QStringLiteral("dry run, no file and no terminal was written"));
    WarnWhenStopped(call, results);
    return SiteExitStatus(SiteOperation::Write, results);
}

} // namespace

int RunSite(CommandCall& call, SiteWorld& world)
{
    const QString action = call.Argument(0);
    if (!Actions.contains(action))
        return call.UsageError(QStringLiteral("ACTION is read, diff, write, status, plan, apply or directory, not ") +
                               PrintableText(action));
    for (const OptionUse& use : OptionUses())
        if (call.IsSet(use.option) && !use.actions.contains(action))
            return call.UsageError(QStringLiteral("--%1 belongs to %2").arg(use.option, ActionsText(use.actions)));
    if (call.IsSet(QStringLiteral("dry-run")) && call.IsSet(QStringLiteral("force")))
        return call.UsageError(QStringLiteral("give either --dry-run or --force, not both"));
    if (call.IsSet(QStringLiteral("only")) && call.IsSet(QStringLiteral("failed")))
        return call.UsageError(QStringLiteral("give either --only or --failed, not both"));
    const bool planning = action == u"plan" || action == u"apply";
    if (planning && !call.IsSet(QStringLiteral("directory")))
        return call.UsageError(QStringLiteral("site %1 needs --directory FILE, the directory of card holders").arg(action));
    QDate day = world.now().date();
    if (call.IsSet(QStringLiteral("date"))) {
        const auto given = DayOf(call.Value(QStringLiteral("date")));
        if (!given)
            return call.UsageError(QStringLiteral("--date takes a day as YYYY-MM-DD, not ") +
                                   PrintableText(call.Value(QStringLiteral("date"))));
        day = *given;
    }
    const qint16 language = call.LanguageOffset();

    // The whole site file is checked before any terminal is touched.
    const QString siteFile = call.Argument(1);
    const SiteFileRead read = ReadSiteFile(siteFile, SimulationError);
    if (!read) {
        call.err << SiteFileMessage(read, siteFile, language) << '\n';
        return ExitUsage;
    }
    const Site& site = read.site;
    if (action == u"directory")
        return MakeDirectory(call, site, language);

    ProgramState program;
    program.LanguageOffset = language;
    LoadWindowTexts(program, TextWindow::Main);
    program.Ports = ProgramPortMap();
    SiteRun run(program, world.timers, site);
    run.Now = world.now;
    run.SetStoreOnThreads(world.storeReadsOnThreads);

    const SiteOperation operation = OperationOf(action);
    QList<int> selection = run.All();
    if (call.IsSet(QStringLiteral("only"))) {
        QStringList unknown;
        selection = run.Selection(call.Value(QStringLiteral("only")).split(u',', Qt::SkipEmptyParts), &unknown);
        if (!unknown.isEmpty())
            return call.UsageError(QStringLiteral("%1 names no terminal %2").arg(PrintableText(siteFile),
                                                                             PrintableText(unknown.join(QStringLiteral(", ")))));
        if (selection.isEmpty())
            return call.UsageError(QStringLiteral("--only names no terminal"));
    } else if (call.IsSet(QStringLiteral("failed"))) {
        selection = run.Selection(LastFailedNames(site, operation));
        if (selection.isEmpty()) {
            call.err << QStringLiteral("vardelo-cli site %1: no terminal failed in the last site %1 of %2\n")
                            .arg(action, PrintableText(siteFile));
            if (call.IsSet(QStringLiteral("json")))
                call.PrintJson(SiteResultsJson(site.name, {}));
            return ExitOk;
        }
    }
    if (planning)
        return PlanOrApply(call, world, run, program, selection, day, action == u"apply");

    // Passwords before the line: a source that gives none is named with its
    // line, and nothing is touched.
    QHash<int, QString> passwords;
    const bool touchesLine = operation == SiteOperation::Read || operation == SiteOperation::Write;
    if (touchesLine) {
        const auto resolved = SitePasswordsOrSay(call, site, selection, program);
        if (!resolved)
            return ExitUsage;
        passwords = *resolved;
    }

    // Results as they come: with --json the lines go to stderr and stdout
    // holds the document alone.
    const bool json = call.IsSet(QStringLiteral("json"));
    SiteRun::Options options;
    options.dryRun = call.IsSet(QStringLiteral("dry-run"));
    options.force = call.IsSet(QStringLiteral("force"));
    QList<SiteTerminalResult> results =
        RunReporting(call, world, run, operation, action, selection, passwords, options, json ? call.err : call.out);
    if (operation == SiteOperation::Status)
        for (SiteTerminalResult& r : results)
            r.message = StatusMessage(r);
    if (json)
        call.PrintJson(SiteResultsJson(site.name, results));
    else
        PrintSummary(call, results, touchesLine, operation == SiteOperation::Write && !options.dryRun);
    if (options.dryRun)
        call.err << "vardelo-cli site write: dry run, nothing was written\n";
    WarnWhenStopped(call, results);
    return SiteExitStatus(operation, results);
}

int RunSite(CommandCall& call)
{
    QtTimers timers;
    SiteWorld world{timers, [] { return QDateTime::currentDateTime(); },
                    [](SiteRun& run) {
                        QEventLoop loop;
                        QObject::connect(&run, &SiteRun::Finished, &loop, &QEventLoop::quit);
                        if (run.Running())
                            loop.exec();
                    }};
    return RunSite(call, world);
}

const Command& SiteCommand()
{
    static const Command command{
        QStringLiteral("site"),
        QStringLiteral("read, compare, write or show every terminal of a site file at once; plan and apply the "
                       "directory of card holders"),
        {{QStringLiteral("ACTION"),
          QStringLiteral("read (every terminal into its folder), diff (each last read against its configuration, "
                         "without the line), write (each configuration where the terminal's fresh read differs, "
                         "verified), status (port, identification, last read and write, drift, last error, without "
                         "the line), plan (what the directory changes in each configuration, writing nothing), "
                         "apply (each configuration brought up to its plan, then written where the terminal does "
                         "not hold it) or directory (a directory of card holders made of the terminals' last reads, "
                         "on standard output)")},
         {QStringLiteral("SITE"), QStringLiteral("the site file (TOML): its terminals, ports, password sources and "
                                                 "configurations")}},
        {{QStringLiteral("only"), QStringLiteral("NAME[,NAME...]"), QStringLiteral("only these terminals"), {}, {}, {}, false},
         {QStringLiteral("failed"), {}, QStringLiteral("only the terminals that failed in the last run of this action"),
          {}, {}, {}, false},
         {QStringLiteral("directory"), QStringLiteral("FILE"),
          QStringLiteral("plan, apply: the directory of card holders (CSV)"), {}, {}, {}, false},
         {QStringLiteral("date"), QStringLiteral("YYYY-MM-DD"),
          QStringLiteral("plan, apply: the day to plan for (default today)"), {}, {}, {}, false},
         {QStringLiteral("dry-run"), {},
          QStringLiteral("write: read and compare, print what would change, write nothing; apply: say what would "
                         "change, write no file and no terminal"),
          {}, {}, {}, false},
         {QStringLiteral("force"), {}, QStringLiteral("write: write also where the terminal holds its configuration"),
          {}, {}, {}, false},
         JsonOptions().at(0), PrettyOption(), LangOption(QStringLiteral("en"))},
        {{ExitOk, QStringLiteral("every selected terminal succeeded (diff: all equal; status: all as configured, "
                                 "without a last error; plan: no terminal needs a change)")},
         {ExitFailed, QStringLiteral("a terminal failed, differs, was never read or was left out by Ctrl+C (each "
                                     "one's line says why); plan: a terminal needs a change or its configuration "
                                     "cannot be read; apply: also a terminal left as it was because a list would "
                                     "overflow; directory: a terminal was never read")},
         {ExitUsage, QStringLiteral("wrong usage, or a site file, directory or password source that cannot be used "
                                    "(the message names the line); no file and no terminal was touched")}},
        RunSite};
    return command;
}
