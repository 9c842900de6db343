#include "config/readhistory.h"

#include "platform/fileoperations.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace {

bool Exists(const QString& path)
{
    // A dangling link takes the name too.
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

PairContent ContentOf(const ConfigBlock& block, const CommentTexts* comments)
{
    return {FormatConfigBlock(block), comments ? std::optional(FormatComments(*comments)) : std::nullopt};
}

PairPart New(const std::optional<QByteArray>& content)
{
    return {{}, content};
}

// The read goes somewhere else than its target, never over an existing file:
// beside the target with the time in its name (not when the target is a
// device or the like: its folder is no place for files), in the fallback
// folder, or in the temporary folder. The path, or empty.
QString SaveElsewhere(const PairContent& content, const QString& target, const QString& stamp,
                      const QString& fallbackFolder, QString& problem, FileOperations& ops)
{
    const QFileInfo info(target);
    const QString base = info.completeBaseName() + u'_' + stamp;
    QStringList folders;
    if (!Exists(target) || info.isFile() || info.isDir())
        folders << info.absolutePath();
    if (!fallbackFolder.isEmpty())
        folders << fallbackFolder;
    folders << QDir::tempPath();
    for (const QString& folder : folders) {
        if (!QDir().mkpath(folder))
            continue;
        const PlacedPair placed = PlacePairUnderNewName(
            folder, [&](int n) { return (n <= 1 ? base : base + u'-' + QString::number(n)) + QStringLiteral(".QLV"); },
            New(content.configuration), New(content.comments), ops);
        if (placed.status)
            return placed.configuration;
    }
    problem += QStringLiteral("; the read could not be saved anywhere");
    return {};
}

// A configuration whose comments may go over to the read, with the time its
// comments file last changed.
struct CommentSource {
    ConfigSnapshot snapshot;
    QDateTime changed;
};

} // namespace

QString DefaultReadFallbackFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("reads"));
}

ReadStorage StoreRead(const ConfigBlock& block, const QString& target, const QDateTime& time,
                      const QString& fallbackFolder, const QStringList& commentSources)
{
    SystemFileOperations ops;
    ReadStorage r;
    r.target = target;
    const QFileInfo targetInfo(target);
    const bool targetExists = Exists(target);
    const bool pairExists = targetExists || Exists(CommentFileNameFor(target));
    const QString stamp = HistoryStamp(time);

    // The comments of the replaced pair and of the other sources go over to
    // the same cards of the read; the one changed last first.
    QList<CommentSource> sources;
    QStringList seen;
    const auto addSource = [&](const QString& path, bool replaced) {
        const QFileInfo info(path);
        if (path.isEmpty() || !info.isFile() || seen.contains(info.canonicalFilePath()))
            return;
        seen << info.canonicalFilePath();
        ConfigSnapshot snapshot;
        if (!LoadSnapshot(path, snapshot))
            return;
        if (replaced)
            r.commentsNotRead = snapshot.commentsStatus;
        if (snapshot.hasComments)
            sources.append({snapshot, QFileInfo(CommentFileToRead(path)).lastModified()});
    };
    addSource(target, true);
    for (const QString& source : commentSources)
        addSource(source, false);
    std::stable_sort(sources.begin(), sources.end(),
                     [](const CommentSource& a, const CommentSource& b) { return a.changed > b.changed; });
    std::optional<CommentTexts> carried;
    const ConfigSnapshot bare = ConfigSnapshot::From(block, std::nullopt);
    for (const CommentSource& source : std::as_const(sources)) {
        const CommentTexts from = CarryOverComments(source.snapshot, bare);
        if (!carried)
            carried = from;
        else
            for (const CardRow& row : bare.rows)
                if ((*carried)[row.row] == ResetCommentText)
                    (*carried)[row.row] = from[row.row];
    }
    r.read = ConfigSnapshot::From(block, carried);
    const CommentTexts* comments = carried ? &r.read.comments : nullptr;
    if (carried)
        r.commentsCarried = CountComments(r.read, *carried);
    const PairContent content = ContentOf(block, comments);

    const auto elsewhere = [&] {
        r.savedAs = SaveElsewhere(content, target, stamp, fallbackFolder, r.problem, ops);
        r.commentsWritten = comments && r.Stored();
        return r;
    };

    // Something that is not a file stands where the read should go: it is
    // neither kept nor replaced.
    if (targetExists && !targetInfo.isFile()) {
        r.cause = CheckWriteTarget(target);
        if (r.cause)
            r.cause = FileStatus::Refused(target, FileFault::NotRegular);
        r.problem = r.cause.message;
        return elsewhere();
    }
    // What the read replaces must find its place in history/ first;
    // without it, what exists stays as it is.
    bool createdHistory = false;
    QString history;
    if (pairExists) {
        history = PrepareHistoryFolder(target, ops, r.problem, &createdHistory);
        if (history.isEmpty())
            return elsewhere();
    }
    const PairCommit committed = CommitPair(target, content, time, ops);
    if (!committed) {
        // A history folder made for nothing is not left behind (rmdir
        // removes only an empty folder).
        if (createdHistory)
            QDir().rmdir(history);
        r.problem = committed.status.message;
        return elsewhere();
    }
    r.savedAs = target;
    r.keptInHistory = committed.kept;
    r.commentsWritten = comments != nullptr;

    // The read itself is kept too.
    QString problem;
    history = PrepareHistoryFolder(target, ops, problem);
    if (history.isEmpty()) {
        r.problem = problem;
        return r;
    }
    const QString fileName = targetInfo.fileName();
    const PlacedPair copy = PlacePairUnderNewName(
        history, [&](int n) { return HistoryName(stamp, fileName, n); }, New(content.configuration),
        New(content.comments), ops);
    if (copy.status)
        r.historyCopy = copy.configuration;
    else
        r.problem = copy.status.message;
    return r;
}

QString KeepReadInHistory(const ConfigBlock& block, const QString& file, const QDateTime& time, QString& problem)
{
    SystemFileOperations ops;
    const QString history = PrepareHistoryFolder(file, ops, problem);
    if (history.isEmpty())
        return {};
    const QString stamp = HistoryStamp(time);
    const PlacedPair copy = PlacePairUnderNewName(
        history, [&](int n) { return HistoryName(stamp, QStringLiteral("VARDELO.QLV"), n); },
        New(FormatConfigBlock(block)), {}, ops);
    if (!copy.status) {
        problem = copy.status.message;
        return {};
    }
    return copy.configuration;
}
