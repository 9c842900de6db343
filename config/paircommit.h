#pragma once
// A configuration and its comments file are one pair: the comments file's
// lines belong to the rows of the configuration beside it. Every writer of a
// pair (the editor's save and save as, a read, an import) replaces both
// through CommitPair, so that the pair in place is always either the complete
// old one or the complete new one, a crash or a full disk included:
//
//   1. both new files are written beside their places and synced;
//   2. the pair they replace is kept in history/ (a second name for each
//      file, or a copy where the file system has no such names) while it
//      stays in its place;
//   3. a note beside the configuration records the step that follows;
//   4. the new configuration is renamed into its place, then the new comments
//      file (or the old one is removed when the new pair has none);
//   5. the note is removed.
//
// When step 4's second rename fails, the old configuration is put back. The
// note covers the instant between the two renames: a reader that finds it
// takes the comments from the new file still waiting beside their place
// (CommentFileToRead), and the next commit of the pair finishes what a crash
// left there. Nothing else of history/ is ever deleted.
//
// Names in history/ carry the time: "2026-12-06_14-03-27_VARDELO.QLV" and
// ".BGT", with "-2", "-3" after the time when that name is taken. A name is
// taken in one step (the system refuses a name that exists), so two processes
// in the same second never replace each other's files.

#include "platform/fileaccess.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class FileOperations;

struct PairContent {
    QByteArray configuration;
    // None: the new pair has no comments file; one in its place is kept in
    // history/ and removed.
    std::optional<QByteArray> comments;
};

struct PairCommit {
    // Failed: the old pair is in its place as it was; the message names the
    // file and the reason.
    FileStatus status;
    QString failedFile;   // the configuration or comments file that could not be replaced
    QStringList kept;     // the replaced files, under their names in history/
    explicit operator bool() const { return bool(status); }
};

// Commits content as the pair configPath and CommentFileNameFor(configPath).
// A link in either place stays a link: what it leads to is replaced (and
// kept). Anything else than a file in either place (a folder, a FIFO, a link
// to nothing) is refused before anything is written. time names the kept
// pair in history/.
PairCommit CommitPair(const QString& configPath, const PairContent& content, const QDateTime& time,
                      FileOperations& ops);
PairCommit CommitPair(const QString& configPath, const PairContent& content,
                      const QDateTime& time = QDateTime::currentDateTime());

// Finishes a commit of this pair that a crash ended between its renames, or
// takes back one that ended before them, and removes the new files of one
// that ended before its note. Every commit does this first, holding the
// pair's lock.
FileStatus FinishInterruptedCommit(const QString& configPath, FileOperations& ops);

// Where the comments of configPath are read from: CommentFileNameFor(configPath),
// or, while a commit of the pair is between its two renames (or a crash
// ended it there), the new comments file about to take that place. Empty
// when the new pair of such a commit has no comments file.
QString CommentFileToRead(const QString& configPath);

// "history" beside the file.
QString HistoryFolderFor(const QString& file);
// "2026-12-06_14-03-27".
QString HistoryStamp(const QDateTime& time);
// "STAMP_FILENAME" for n = 1, "STAMP-n_FILENAME" after it.
QString HistoryName(const QString& stamp, const QString& fileName, int n);
// history/ beside file, created readable by its owner only when missing (an
// existing one is left as it is). Its path, or empty with problem set.
QString PrepareHistoryFolder(const QString& file, FileOperations& ops, QString& problem, bool* created = nullptr);

// One file of a pair to be placed under a new name: an existing file (given a
// second name, or copied) or new content. Absent when neither.
struct PairPart {
    QString existing;
    std::optional<QByteArray> content;
    bool Present() const { return !existing.isEmpty() || content.has_value(); }
};
struct PlacedPair {
    FileStatus status;
    QString configuration;   // the configuration name chosen (its file placed when given)
    QString comments;        // the comments file placed, or empty
};
// Places the parts in folder under the configuration name nameFor(1),
// nameFor(2), ... (and its comments name): the first whose both names are
// free. Each name is taken in one step; a name taken meanwhile by another
// process moves on to the next.
PlacedPair PlacePairUnderNewName(const QString& folder, const std::function<QString(int)>& nameFor,
                                 const PairPart& configuration, const PairPart& comments, FileOperations& ops);
