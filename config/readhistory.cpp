#include "config/readhistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool Exists(const QString& path)
{
    // A dangling link takes the name too.
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

// history/ beside target, created when missing; empty with problem set when
// it cannot be used.
QString PrepareHistory(const QString& target, QString& problem, bool* created = nullptr)
{
    const QString folder = HistoryFolderFor(target);
    const QFileInfo info(folder);
    if (Exists(folder) && !info.isDir()) {
        problem = folder + QStringLiteral(": is not a folder");
        return {};
    }
    if (!info.isDir()) {
        if (!QDir().mkpath(folder)) {
            problem = folder + QStringLiteral(": cannot be created");
            return {};
        }
        if (created)
            *created = true;
    }
    return folder;
}

// Writes the configuration and, when given, its comments file.
struct PairWritten {
    FileStatus config;
    FileStatus comments;
    bool Complete() const { return config && comments; }
    QString Message() const { return config ? comments.message : config.message; }
};
PairWritten WritePair(const QString& path, const ConfigBlock& block, const CommentTexts* comments)
{
    PairWritten w{WriteFileAtomically(path, FormatConfigBlock(block)), FileStatus::Ok()};
    if (w.config && comments)
        w.comments = WriteFileAtomically(CommentFileNameFor(path), FormatComments(*comments));
    return w;
}

// A file of the replaced pair on its way into history/. A link stays where
// it is (a read is written through it, as every save is): what it leads to
// is copied instead of moved.
struct Move;
void MoveBack(const QList<Move>& moves);

struct Move {
    QString from;
    QString to;
    bool Copies() const { return QFileInfo(from).isSymLink(); }
};

// Moves each file; on the first failure the ones already moved go back.
bool MoveAll(const QList<Move>& moves, QString& problem)
{
    QList<Move> done;
    for (const Move& move : moves) {
        QFile file(move.from);
        if (!(move.Copies() ? file.copy(move.to) : file.rename(move.to))) {
            problem = move.from + QStringLiteral(": cannot be moved to ") + move.to + QStringLiteral(": ")
                + file.errorString();
            MoveBack(done);
            return false;
        }
        done.append(move);
    }
    return true;
}

// The read goes somewhere else than its target, never over an existing file:
// beside the target with the time in its name (not when the target is a
// device or the like: its folder is no place for files), in the fallback
// folder, or in the temporary folder. The path, or empty.
QString SaveElsewhere(const ConfigBlock& block, const CommentTexts* comments, const QString& target,
                      const QString& stamp, const QString& fallbackFolder, QString& problem)
{
    const QFileInfo info(target);
    const QString name = info.completeBaseName() + u'_' + stamp + QStringLiteral(".QLV");
    QStringList folders;
    if (!Exists(target) || info.isFile() || info.isDir())
        folders << info.absolutePath();
    if (!fallbackFolder.isEmpty())
        folders << fallbackFolder;
    folders << QDir::tempPath();
    for (const QString& folder : folders) {
        if (!QDir().mkpath(folder))
            continue;
        const QString base = QFileInfo(name).completeBaseName();
        QString path = QDir(folder).filePath(name);
        for (int n = 2; Exists(path) || Exists(CommentFileNameFor(path)); ++n)
            path = QDir(folder).filePath(base + u'-' + QString::number(n) + QStringLiteral(".QLV"));
        if (WritePair(path, block, comments).config)
            return path;
    }
    problem += QStringLiteral("; the read could not be saved anywhere");
    return {};
}

void MoveBack(const QList<Move>& moves)
{
    for (const Move& move : moves)
        if (!move.Copies())
            QFile::rename(move.to, move.from);
}

} // namespace

QString HistoryFolderFor(const QString& file)
{
    return QFileInfo(file).absoluteDir().filePath(QStringLiteral("history"));
}

QString HistoryStamp(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

QString UniqueHistoryName(const QString& folder, const QString& stamp, const QString& fileName,
                          const QString& alsoTaken)
{
    const QDir dir(folder);
    QString path = dir.filePath(stamp + u'_' + fileName);
    for (int n = 2; path == alsoTaken || Exists(path) || Exists(CommentFileNameFor(path)); ++n)
        path = dir.filePath(stamp + u'-' + QString::number(n) + u'_' + fileName);
    return path;
}

QString DefaultReadFallbackFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("reads"));
}

ReadStorage StoreRead(const ConfigBlock& block, const QString& target, const QDateTime& time,
                      const QString& fallbackFolder)
{
    ReadStorage r;
    r.target = target;
    const QString targetComments = CommentFileNameFor(target);
    const QFileInfo targetInfo(target);
    const bool targetExists = Exists(target);
    const bool commentsExist = Exists(targetComments);
    const QString stamp = HistoryStamp(time);

    // The comments of the replaced pair go over to the same cards of the read.
    std::optional<CommentTexts> carried;
    ConfigSnapshot replaced;
    if (targetInfo.isFile() && commentsExist && LoadSnapshot(target, replaced) && replaced.hasComments)
        carried = CarryOverComments(replaced, ConfigSnapshot::From(block, std::nullopt));
    r.read = ConfigSnapshot::From(block, carried);
    const CommentTexts* comments = carried ? &r.read.comments : nullptr;
    if (carried)
        r.commentsCarried = CountComments(r.read, *carried);

    const auto elsewhere = [&] {
        r.savedAs = SaveElsewhere(block, comments, target, stamp, fallbackFolder, r.problem);
        r.commentsWritten = comments && r.Stored() && Exists(CommentFileNameFor(r.savedAs));
        return r;
    };

    // Something that is not a file stands where the read should go: it is
    // neither moved nor replaced.
    if (targetExists && !targetInfo.isFile()) {
        r.cause = CheckWriteTarget(target);
        if (r.cause)
            r.cause = FileStatus::Refused(target, FileFault::NotRegular);
        r.problem = r.cause.message;
        return elsewhere();
    }
    bool createdHistory = false;
    const QString history = PrepareHistory(target, r.problem, &createdHistory);
    if (!history.isEmpty()) {
        QList<Move> moves;
        QString kept;
        if (targetExists || commentsExist) {
            kept = UniqueHistoryName(history, stamp, targetInfo.fileName());
            if (targetExists)
                moves.append({target, kept});
            if (commentsExist)
                moves.append({targetComments, CommentFileNameFor(kept)});
        }
        // The read's copy is made first: it shows that history/ takes files.
        const QString copy = UniqueHistoryName(history, stamp, targetInfo.fileName(), kept);
        const PairWritten copied = WritePair(copy, block, comments);
        if (copied.config)
            r.historyCopy = copy;
        if (!copied.Complete())
            r.problem = copied.Message();
        else if (MoveAll(moves, r.problem)) {
            const PairWritten written = WritePair(target, block, comments);
            if (!written.config) {
                r.problem = written.config.message;
                MoveBack(moves);
                return elsewhere();
            }
            for (const Move& move : moves)
                r.keptInHistory << move.to;
            r.savedAs = target;
            r.commentsWritten = comments && written.comments;
            if (!written.comments)
                r.problem = written.comments.message + QStringLiteral("; the comments are in ")
                    + CommentFileNameFor(copy);
            return r;
        }
        // A history folder made for nothing is not left behind (rmdir
        // removes only an empty folder).
        if (createdHistory && r.historyCopy.isEmpty())
            QDir().rmdir(history);
    }
    // No history copy: what exists stays as it is.
    if (targetExists || commentsExist)
        return elsewhere();
    const PairWritten written = WritePair(target, block, nullptr);
    if (!written.config) {
        r.problem += (r.problem.isEmpty() ? QString() : QStringLiteral("; ")) + written.config.message;
        return elsewhere();
    }
    r.savedAs = target;
    return r;
}

QString KeepReadInHistory(const ConfigBlock& block, const QString& file, const QDateTime& time, QString& problem)
{
    const QString history = PrepareHistory(file, problem);
    if (history.isEmpty())
        return {};
    const QString copy = UniqueHistoryName(history, HistoryStamp(time), QStringLiteral("VARDELO.QLV"));
    if (const FileStatus status = WriteFileAtomically(copy, FormatConfigBlock(block)); !status) {
        problem = status.message;
        return {};
    }
    return copy;
}
