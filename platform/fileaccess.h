#pragma once
// Every file the program reads or replaces goes through here. A reader opens a
// file only when it is a regular file (or a link to one), never blocking on a
// FIFO or a device, and reads no more than a limit; a writer replaces only a
// regular file (or the regular file a link leads to). Anything else is refused
// at once with a reason naming the file.

#include <QByteArray>
#include <QString>

class QFile;

// Why a file was not read or not replaced.
enum class FileFault {
    None,
    Missing,            // nothing of that name
    Folder,             // a folder of that name
    NotRegular,         // a FIFO, a device, a socket ...
    LinkToNothing,      // a link whose target does not exist
    PermissionDenied,
    TooLarge,           // larger than the reader's limit
    Unreadable,         // the system refused the read for another reason
    Exists,             // a new name that is taken already
    // The content is not what the file must hold (`line` says where):
    TooFewLines,        // only `line` lines, and texts in them that need more
    TooManyLines,       // text beyond the last line the file may have, from line `line` on
};

struct FileStatus {
    bool ok = true;
    bool diskFull = false;   // the write failed for lack of space
    QString message;         // what went wrong, naming the file (English; for logs and the CLI)
    FileFault fault = FileFault::None;   // set when the file's kind or size was the reason
    QString path;            // the file concerned, when fault is set
    int line = 0;            // TooFewLines: how many; TooManyLines: the line, counted from 1
    explicit operator bool() const { return ok; }
    static FileStatus Ok() { return {}; }
    static FileStatus Failed(QString why, bool full = false) { return {false, full, std::move(why)}; }
    static FileStatus Refused(const QString& path, FileFault fault);
    static FileStatus Damaged(const QString& path, FileFault fault, int line);
};

// The file's content, at most limit bytes. On TooLarge the content holds the
// first limit bytes, for readers that only need the beginning.
struct FileContent {
    FileStatus status;
    QByteArray content;
};
FileContent ReadRegularFile(const QString& path, qint64 limit);
// Opens a regular file (or a link to one) for reading in file, for readers
// that seek (a log read from its end); anything else is refused as above.
FileStatus OpenRegularFile(const QString& path, QFile& file);

// Ok when path may be replaced by a regular file: it does not exist, or it is
// a regular file or a link to one. A folder, a FIFO, a device or a link to
// nothing is refused.
FileStatus CheckWriteTarget(const QString& path);

// What the fault says, in English ("is a folder, not a file").
QString FileFaultText(FileFault fault);

// Text fit for a message: control characters (a NUL, an escape, a line end)
// shown as \xNN instead of passed on raw, at most maxChars characters
// (cut ones end in "...", never in half a surrogate pair).
QString PrintableText(const QString& text, qsizetype maxChars = 1000);
