// vardelo-cli diff A.QLV B.QLV: what tells two configurations (with their
// comments) apart; vardelo-cli log: the transfer log, readably.
#include "cli/commands.h"

#include "texts/filetexts.h"
#include "comm/changereport.h"
#include "comm/transferlog.h"
#include "config/configfiles.h"

// Prints the difference as the write panel and its details window word it;
// exits 0 when the files are equal, 1 when they differ, as diff does.
int RunDiff(CommandCall& call)
{
    ConfigSnapshot files[2];
    for (int i = 0; i < 2; ++i) {
        FileStatus status = LoadSnapshot(call.Argument(i), files[i]);
        // Comments are compared too: a comments file that cannot be read
        // would pass for changed comments.
        if (status && !files[i].commentsStatus)
            status = files[i].commentsStatus;
        if (!status) {
            call.err << "vardelo-cli diff: " << FileStatusText(status, call.LanguageOffset()) << '\n';
            return ExitUsage;
        }
    }
    const ConfigDifference d = CompareConfigurations(files[0], files[1]);
    if (call.IsSet(QStringLiteral("json"))) {
        call.PrintJson(DifferenceJson(d));
    } else {
        for (const QString& line : ChangeReportLines(d, call.LanguageOffset()))
            call.out << PrintableText(line) << '\n';
    }
    return d.Empty() ? ExitOk : ExitFailed;
}

int RunLog(CommandCall& call)
{
    int last = 0;
    if (call.IsSet(QStringLiteral("last"))) {
        bool ok = false;
        last = call.Value(QStringLiteral("last")).toInt(&ok);
        if (!ok || last < 1)
            return call.UsageError(QStringLiteral("--last needs a whole number of 1 or more"));
    }
    QCoreApplication::setApplicationName(QStringLiteral("vardelo"));
    const QString path = TransferLogPathFor(DefaultSettingsPath());
    const TransferLogContent log = ReadTransferLog(path, last);
    if (!log.status)
        return call.Failure(FileStatusText(log.status, 1000));
    if (log.entries.isEmpty() && log.damagedLines == 0)
        call.err << "vardelo-cli log: no transfers logged yet (" << PrintedName(path) << ")\n";
    for (const QJsonObject& entry : log.entries)
        call.out << PrintableText(FormatTransferEntry(entry)) << '\n';
    if (log.damagedLines > 0)
        call.err << "vardelo-cli log: " << log.damagedLines << " damaged line(s) in " << PrintedName(path) << " skipped\n";
    if (log.truncated)
        call.err << "vardelo-cli log: only the beginning of " << PrintedName(path)
                 << " was read, it is too large; --last N prints its newest transfers\n";
    return ExitOk;
}
