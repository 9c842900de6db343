#include "config/paircommit.h"

#include "config/configfiles.h"
#include "platform/fileoperations.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

namespace {

// How long a commit waits for another one of the same pair (a few
// milliseconds of work) before it gives up.
constexpr int LockWaitMs = 3000;
// Names tried before giving up: far more than reads in one second.
constexpr int MaxNameTries = 10000;
constexpr char JournalHeader[] = "vardelo pair commit";

bool Exists(const QString& path)
{
    // A dangling link takes the name too.
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

// Where a file of the pair is really replaced: a link is followed.
QString Place(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() && info.exists())
        return info.canonicalFilePath();
    return info.absoluteFilePath();
}

// Files beside a place that belong to a commit: hidden, named after it.
QString Beside(const QString& place, const QString& suffix)
{
    const QFileInfo info(place);
    return info.absoluteDir().filePath(u'.' + info.fileName() + suffix);
}

QString JournalFor(const QString& configPlace)
{
    return Beside(configPlace, QStringLiteral(".commit"));
}

// What the note of a commit says: the new configuration waiting beside its
// place, the new comments file (empty when the new pair has none) and the
// place of the comments file. Paths relative to the note's folder.
struct Journal {
    QString configTemp;
    QString commentsTemp;
    QString commentsPlace;

    QByteArray Text(const QDir& dir) const
    {
        return (QStringLiteral("%1\n%2\n%3\n%4\n")
                    .arg(QString::fromLatin1(JournalHeader), dir.relativeFilePath(configTemp),
                         commentsTemp.isEmpty() ? QString() : dir.relativeFilePath(commentsTemp),
                         dir.relativeFilePath(commentsPlace)))
            .toUtf8();
    }
    static std::optional<Journal> Read(const QString& path)
    {
        const FileContent file = ReadRegularFile(path, 64 * 1024);
        const QStringList lines = QString::fromUtf8(file.content).split(u'\n');
        if (!file.status || lines.size() != 5 || lines[0] != QLatin1String(JournalHeader) || lines[1].isEmpty()
            || lines[3].isEmpty())
            return std::nullopt;
        const QDir dir = QFileInfo(path).absoluteDir();
        return Journal{dir.absoluteFilePath(lines[1]), lines[2].isEmpty() ? QString() : dir.absoluteFilePath(lines[2]),
                       dir.absoluteFilePath(lines[3])};
    }
    // The new configuration is in its place once its waiting file is gone.
    bool ConfigurationPlaced() const { return !Exists(configTemp); }
};

// A new file beside place, under a free hidden name; a failure is told of
// `shown`, the file it stands for.
FileStatus CreateBeside(const QString& place, const QString& shown, const QByteArray& content, FileOperations& ops,
                        QString& created)
{
    const QFileInfo info(place);
    const std::optional<QFileDevice::Permissions> permissions =
        info.isFile() ? std::optional(info.permissions()) : std::nullopt;
    FileStatus status;
    for (int i = 0; i < MaxNameTries; ++i) {
        const QString name = Beside(place, QStringLiteral(".new-") + QString::number(QRandomGenerator::global()->generate(), 36));
        status = ops.CreateFile(name, content, permissions);
        if (status) {
            created = name;
            return status;
        }
        if (status.fault != FileFault::Exists) {
            status.message.replace(PrintableText(name), PrintableText(shown));
            break;
        }
    }
    return status;
}

// The status of a step on a place, told of the name the caller gave.
FileStatus Naming(FileStatus status, const QString& place, const QString& shown)
{
    status.message.replace(PrintableText(place), PrintableText(shown));
    return status;
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

QString HistoryName(const QString& stamp, const QString& fileName, int n)
{
    return n <= 1 ? stamp + u'_' + fileName : stamp + u'-' + QString::number(n) + u'_' + fileName;
}

QString PrepareHistoryFolder(const QString& file, FileOperations& ops, QString& problem, bool* created)
{
    const QString folder = HistoryFolderFor(file);
    if (QFileInfo(folder).isDir())
        return folder;
    // Another process may make the folder between the two looks: only what
    // is still no folder at the second look is refused.
    if (Exists(folder) && !QFileInfo(folder).isDir()) {
        problem = PrintableText(folder) + QStringLiteral(": is not a folder");
        return {};
    }
    // Every configuration holds the terminal's password: what collects the
    // past ones is for its owner's eyes only.
    if (const FileStatus status = ops.CreatePrivateFolder(folder); !status && !QFileInfo(folder).isDir()) {
        problem = status.message;
        return {};
    }
    if (created)
        *created = true;
    return folder;
}

PlacedPair PlacePairUnderNewName(const QString& folder, const std::function<QString(int)>& nameFor,
                                 const PairPart& configuration, const PairPart& comments, FileOperations& ops)
{
    const auto place = [&](const PairPart& part, const QString& name) {
        return part.existing.isEmpty() ? ops.CreateFile(name, *part.content, std::nullopt)
                                       : ops.LinkFile(part.existing, name);
    };
    const QDir dir(folder);
    FileStatus status;
    for (int n = 1; n <= MaxNameTries; ++n) {
        const QString configName = dir.filePath(nameFor(n));
        const QString commentsName = CommentFileNameFor(configName);
        // The name of an absent part must be free too, so that the two
        // names of a pair in the folder always belong together.
        if (configuration.Present()) {
            status = place(configuration, configName);
            if (status.fault == FileFault::Exists)
                continue;
            if (!status)
                return {status, {}, {}};
        } else if (Exists(configName)) {
            continue;
        }
        if (comments.Present())
            status = place(comments, commentsName);
        else
            status = Exists(commentsName) ? FileStatus::Refused(commentsName, FileFault::Exists) : FileStatus::Ok();
        if (status)
            return {status, configName, comments.Present() ? commentsName : QString()};
        if (configuration.Present())
            ops.RemoveFile(configName);
        if (status.fault != FileFault::Exists)
            return {status, {}, {}};
    }
    return {FileStatus::Failed(PrintableText(folder) + QStringLiteral(": no free name")), {}, {}};
}

namespace {

// New files of commits that ended before their note was written, and an old
// configuration on its way back: nobody else writes such names while the
// pair's lock is held.
void RemoveLeftovers(const QString& place, FileOperations& ops)
{
    const QFileInfo info(place);
    const QString prefix = u'.' + info.fileName();
    const QDir dir = info.absoluteDir();
    for (const QString& name : dir.entryList({prefix + QStringLiteral(".new-*"), prefix + QStringLiteral(".old-*")},
                                             QDir::Files | QDir::Hidden | QDir::System))
        ops.RemoveFile(dir.filePath(name));
}

FileStatus FinishNote(const QString& journalPath, FileOperations& ops)
{
    if (!Exists(journalPath))
        return FileStatus::Ok();
    const std::optional<Journal> journal = Journal::Read(journalPath);
    // No complete note: the commit ended before its renames.
    if (!journal)
        return ops.RemoveFile(journalPath);
    // Ended before its renames: the old pair is in place; the new files go.
    if (!journal->ConfigurationPlaced()) {
        ops.RemoveFile(journal->configTemp);
        if (!journal->commentsTemp.isEmpty())
            ops.RemoveFile(journal->commentsTemp);
        return ops.RemoveFile(journalPath);
    }
    // Ended between them: the new pair is completed.
    FileStatus status;
    if (journal->commentsTemp.isEmpty())
        status = ops.RemoveFile(journal->commentsPlace);
    else if (Exists(journal->commentsTemp))
        status = ops.Rename(journal->commentsTemp, journal->commentsPlace);
    if (!status)
        return status;
    ops.SyncFolder(QFileInfo(journal->commentsPlace).absolutePath());
    return ops.RemoveFile(journalPath);
}

} // namespace

FileStatus FinishInterruptedCommit(const QString& configPath, FileOperations& ops)
{
    const QString configPlace = Place(configPath);
    const FileStatus status = FinishNote(JournalFor(configPlace), ops);
    if (status) {
        RemoveLeftovers(configPlace, ops);
        RemoveLeftovers(Place(CommentFileNameFor(configPath)), ops);
    }
    return status;
}

QString CommentFileToRead(const QString& configPath)
{
    const QString normal = CommentFileNameFor(configPath);
    const QString journalPath = JournalFor(Place(configPath));
    if (!Exists(journalPath))
        return normal;
    const std::optional<Journal> journal = Journal::Read(journalPath);
    if (!journal || !journal->ConfigurationPlaced())
        return normal;
    if (journal->commentsTemp.isEmpty())
        return {};
    return Exists(journal->commentsTemp) ? journal->commentsTemp : normal;
}

PairCommit CommitPair(const QString& configPath, const PairContent& content, const QDateTime& time)
{
    SystemFileOperations ops;
    return CommitPair(configPath, content, time, ops);
}

PairCommit CommitPair(const QString& configPath, const PairContent& content, const QDateTime& time,
                      FileOperations& ops)
{
    PairCommit r;
    const QString commentsPath = CommentFileNameFor(configPath);
    const auto fail = [&r](const FileStatus& status, const QString& file) {
        r.status = status;
        r.failedFile = file;
        return r;
    };
    for (const QString& path : {configPath, commentsPath})
        if (const FileStatus target = CheckWriteTarget(path); !target)
            return fail(target, path);
    const QString configPlace = Place(configPath);
    const QString commentsPlace = Place(commentsPath);

    // One commit of a pair at a time; a lock left by a process that ended
    // is taken over.
    QLockFile lock(Beside(configPlace, QStringLiteral(".commit-lock")));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(LockWaitMs)) {
        const QString why = lock.error() == QLockFile::LockFailedError ? QStringLiteral("is being saved by another program")
                                                                        : QStringLiteral("cannot be locked for saving");
        return fail(FileStatus::Failed(PrintableText(configPath) + QStringLiteral(": ") + why), configPath);
    }
    if (const FileStatus finished = FinishInterruptedCommit(configPath, ops); !finished)
        return fail(finished, commentsPath);

    const bool oldConfig = QFileInfo(configPlace).isFile();
    const bool oldComments = QFileInfo(commentsPlace).isFile();
    QString configTemp, commentsTemp;
    PlacedPair kept;
    QStringList made;   // what this commit made, in order
    bool historyCreated = false;
    QString history;
    // Takes back what this commit made; the old pair has not moved.
    const auto undo = [&] {
        for (const QString& file : std::as_const(made))
            ops.RemoveFile(file);
        if (historyCreated)
            QDir().rmdir(history);
    };

    if (FileStatus s = CreateBeside(configPlace, configPath, content.configuration, ops, configTemp); !s)
        return fail(s, configPath);
    made << configTemp;
    if (content.comments) {
        if (FileStatus s = CreateBeside(commentsPlace, commentsPath, *content.comments, ops, commentsTemp); !s) {
            undo();
            return fail(s, commentsPath);
        }
        made << commentsTemp;
    }
    if (oldConfig || oldComments) {
        QString problem;
        history = PrepareHistoryFolder(configPath, ops, problem, &historyCreated);
        if (history.isEmpty()) {
            undo();
            return fail(FileStatus::Failed(problem), configPath);
        }
        const QString stamp = HistoryStamp(time), fileName = QFileInfo(configPath).fileName();
        kept = PlacePairUnderNewName(
            history, [&](int n) { return HistoryName(stamp, fileName, n); },
            {oldConfig ? configPlace : QString(), {}}, {oldComments ? commentsPlace : QString(), {}}, ops);
        if (!kept.status) {
            undo();
            return fail(kept.status, configPath);
        }
        if (oldConfig)
            made << kept.configuration;
        if (oldComments)
            made << kept.comments;
        if (FileStatus s = ops.SyncFolder(history); !s) {
            undo();
            return fail(s, configPath);
        }
    }
    const Journal journal{configTemp, commentsTemp, commentsPlace};
    const QString note = JournalFor(configPlace);
    if (FileStatus s = ops.CreateFile(note, journal.Text(QFileInfo(note).absoluteDir()), std::nullopt); !s) {
        undo();
        return fail(s, configPath);
    }
    made << note;
    if (FileStatus s = ops.SyncFolder(QFileInfo(configPlace).absolutePath()); !s) {
        undo();
        return fail(s, configPath);
    }

    if (FileStatus s = ops.Rename(configTemp, configPlace); !s) {
        undo();
        return fail(Naming(s, configPlace, configPath), configPath);
    }
    made.removeOne(configTemp);
    FileStatus second = commentsTemp.isEmpty() ? (oldComments ? ops.RemoveFile(commentsPlace) : FileStatus::Ok())
                                               : ops.Rename(commentsTemp, commentsPlace);
    if (!second) {
        // The old configuration goes back to its place, from its second
        // name in history/ (or the new one goes when there was none).
        FileStatus back;
        if (oldConfig) {
            QString backTemp;
            back = FileStatus::Ok();
            for (int i = 0; i < MaxNameTries; ++i) {
                backTemp = Beside(configPlace, QStringLiteral(".old-") + QString::number(QRandomGenerator::global()->generate(), 36));
                back = ops.LinkFile(kept.configuration, backTemp);
                if (back.fault != FileFault::Exists)
                    break;
            }
            if (back)
                back = ops.Rename(backTemp, configPlace);
            if (!back)
                ops.RemoveFile(backTemp);
        } else {
            back = ops.RemoveFile(configPlace);
        }
        second = Naming(second, commentsPlace, commentsPath);
        if (!back) {
            // The note stays: readers take the new comments from where it
            // says, and the next commit finishes this one.
            second.message += QStringLiteral("; the new configuration stays in place and its comments wait in ")
                + PrintableText(commentsTemp);
            return fail(second, commentsPath);
        }
        ops.SyncFolder(QFileInfo(configPlace).absolutePath());
        undo();
        return fail(second, commentsPath);
    }
    ops.SyncFolder(QFileInfo(configPlace).absolutePath());
    if (QFileInfo(commentsPlace).absolutePath() != QFileInfo(configPlace).absolutePath())
        ops.SyncFolder(QFileInfo(commentsPlace).absolutePath());
    // A note that cannot go is harmless: it says that all is in place.
    ops.RemoveFile(note);
    for (const QString& file : {kept.configuration, kept.comments})
        if (!file.isEmpty() && QFileInfo(file).isFile())
            r.kept << file;
    return r;
}
