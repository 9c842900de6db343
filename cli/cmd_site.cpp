// vardelo-cli site read|diff|write|status SITE: one command over every
// terminal of a site file, all at once in this one process (comm/site.h does
// the work; this file parses, asks for a password once, prints a line per
// terminal as it finishes and a summary, and turns Ctrl+C into a stop that
// tears no write).
#include "cli/commands.h"

#include "cli/passwordsource.h"
#include "comm/simterminal.h"
#include "comm/site.h"
#include "platform/fileaccess.h"
#include "platform/interrupts.h"
#include "platform/timers.h"
#include "texts/catalogue.h"
#include "texts/sitetexts.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace {

// The progress line on stderr comes at most this often.
constexpr int ProgressIntervalMs = 1000;

const QStringList Actions{QStringLiteral("read"), QStringLiteral("diff"), QStringLiteral("write"),
                          QStringLiteral("status")};

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

} // namespace

int RunSite(CommandCall& call)
{
    const QString action = call.Argument(0);
    if (!Actions.contains(action))
        return call.UsageError(QStringLiteral("ACTION is read, diff, write or status, not ") + PrintableText(action));
    const SiteOperation operation = OperationOf(action);
    const bool isWrite = operation == SiteOperation::Write;
    for (const char* writeOnly : {"dry-run", "force"})
        if (call.IsSet(QLatin1String(writeOnly)) && !isWrite)
            return call.UsageError(QStringLiteral("--%1 belongs to site write").arg(QLatin1String(writeOnly)));
    if (call.IsSet(QStringLiteral("dry-run")) && call.IsSet(QStringLiteral("force")))
        return call.UsageError(QStringLiteral("give either --dry-run or --force, not both"));
    if (call.IsSet(QStringLiteral("only")) && call.IsSet(QStringLiteral("failed")))
        return call.UsageError(QStringLiteral("give either --only or --failed, not both"));
    const qint16 language = call.LanguageOffset();

    // The whole site file is checked before any terminal is touched.
    const QString siteFile = call.Argument(1);
    const SiteFileRead read = ReadSiteFile(siteFile, SimulationError);
    if (!read) {
        call.err << SiteFileMessage(read, siteFile, language) << '\n';
        return ExitUsage;
    }
    const Site& site = read.site;

    ProgramState program;
    program.LanguageOffset = language;
    LoadWindowTexts(program, TextWindow::Main);
    program.Ports = ProgramPortMap();
    QtTimers timers;
    SiteRun run(program, timers, site);

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

    // Passwords before the line: a source that gives none is named with its
    // line, and nothing is touched.
    QHash<int, QString> passwords;
    const bool touchesLine = operation == SiteOperation::Read || operation == SiteOperation::Write;
    if (touchesLine) {
        std::optional<QString> fallback;
        if (NeedsDefaultPassword(site, selection)) {
            fallback = PasswordFromEnvironmentOrPrompt(language, call.err);
            if (!fallback) {
                call.Warning(QStringLiteral("the terminals without password-file or password-env need the "
                                            "password: the environment variable ") +
                             QLatin1String(PasswordVariable) + QStringLiteral(", or typed at the prompt"));
                return ExitUsage;
            }
        }
        const SitePasswords resolved = ResolveSitePasswords(site, selection, fallback);
        if (!resolved.problems.isEmpty()) {
            call.err << SiteProblemsMessage(resolved.problems, siteFile, language) << '\n';
            return ExitUsage;
        }
        for (const QString& file : resolved.readableByOthers)
            WarnWhenOthersMayRead(file, language, call.err);
        passwords = resolved.passwords;
        ReportPortMapFile(program.Ports, language, call.err);
    }

    // Results as they come: with --json the lines go to stderr and stdout
    // holds the document alone.
    const bool json = call.IsSet(QStringLiteral("json"));
    QTextStream& lines = json ? call.err : call.out;
    SiteProgress progress;
    QEventLoop loop;
    QObject::connect(&run, &SiteRun::TerminalProgress, &run,
                     [&](int index, const TransferProgress& p) { progress.Set(index, p); });
    QObject::connect(&run, &SiteRun::TerminalFinished, &run, [&](const SiteTerminalResult& r) {
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
    QObject::connect(&run, &SiteRun::Finished, &loop, &QEventLoop::quit);
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &run, [&] {
        if (const QString line = progress.Text(action, int(selection.size())); !line.isEmpty()) {
            call.err << line << '\n';
            call.err.flush();
        }
    });
    // Ctrl+C: no new transfer begins, a write under way ends as a write
    // does, and the summary says what was written.
    std::unique_ptr<InterruptWatcher> interrupts;
    if (touchesLine) {
        interrupts = std::make_unique<InterruptWatcher>();
        QObject::connect(interrupts.get(), &InterruptWatcher::Interrupted, &run, [&] {
            call.Warning(QStringLiteral("stopping: no new transfer begins; a write under way ends first"));
            call.err.flush();
            run.Stop();
        });
    }

    SiteRun::Options options;
    options.dryRun = call.IsSet(QStringLiteral("dry-run"));
    options.force = call.IsSet(QStringLiteral("force"));
    if (touchesLine)
        call.err << QStringLiteral("site %1: %2 terminal(s) of %3\n").arg(action).arg(selection.size()).arg(PrintableText(site.name));
    call.err.flush();
    run.Start(operation, selection, passwords, options);
    if (run.Running()) {
        ticker.start(ProgressIntervalMs);
        loop.exec();
    }
    ticker.stop();

    QList<SiteTerminalResult> results = run.Results();
    if (operation == SiteOperation::Status)
        for (SiteTerminalResult& r : results)
            r.message = StatusMessage(r);
    if (json) {
        call.PrintJson(SiteResultsJson(site.name, results));
    } else {
        call.out << '\n' << SummaryTable(results, touchesLine);
        if (isWrite && !options.dryRun) {
            QStringList written;
            for (const SiteTerminalResult& r : results)
                if (r.written)
                    written << PrintableText(r.name);
            call.out << "written: " << (written.isEmpty() ? QStringLiteral("none") : written.join(QStringLiteral(", "))) << '\n';
        }
    }
    if (options.dryRun)
        call.err << "vardelo-cli site write: dry run, nothing was written\n";
    if (std::any_of(results.cbegin(), results.cend(), [](const SiteTerminalResult& r) { return r.stopped; }))
        call.Warning(QStringLiteral("stopped before every terminal was done"));
    return SiteExitStatus(operation, results);
}
