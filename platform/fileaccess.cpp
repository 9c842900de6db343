#include "platform/fileaccess.h"

#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

FileStatus FileStatus::Refused(const QString& path, FileFault fault)
{
    FileStatus status = Failed(PrintableText(path) + QStringLiteral(": ") + FileFaultText(fault));
    status.fault = fault;
    status.path = path;
    return status;
}

FileStatus FileStatus::Damaged(const QString& path, FileFault fault, int line)
{
    FileStatus status = Refused(path, fault);
    status.line = line;
    status.message = PrintableText(path) + QStringLiteral(": ") + FileFaultText(fault).arg(line);
    return status;
}

QString FileFaultText(FileFault fault)
{
    switch (fault) {
    case FileFault::None: return {};
    case FileFault::Missing: return QStringLiteral("does not exist");
    case FileFault::Folder: return QStringLiteral("is a folder, not a file");
    case FileFault::NotRegular: return QStringLiteral("is not a regular file (a FIFO, a device or the like)");
    case FileFault::LinkToNothing: return QStringLiteral("is a link to nothing");
    case FileFault::PermissionDenied: return QStringLiteral("permission denied");
    case FileFault::TooLarge: return QStringLiteral("is too large");
    case FileFault::Unreadable: return QStringLiteral("cannot be read");
    case FileFault::Exists: return QStringLiteral("exists already");
    case FileFault::TooFewLines: return QStringLiteral("is damaged: it has only %1 lines, too few for the texts in it");
    case FileFault::TooManyLines: return QStringLiteral("is damaged: it holds text beyond its last line, in line %1");
    }
    return {};
}

QString PrintableText(const QString& text, qsizetype maxChars)
{
    QString out;
    qsizetype shown = qMin(text.size(), maxChars);
    if (shown > 0 && shown < text.size() && text.at(shown - 1).isHighSurrogate())
        --shown;   // a character beyond U+FFFF is cut whole, not half of its surrogate pair
    for (qsizetype i = 0; i < shown; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
            out += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
        else
            out += text.at(i);
    }
    if (shown < text.size())
        out += QStringLiteral("...");
    return out;
}

namespace {

// The kind of what the name stands for, links followed.
FileFault KindFault(const QFileInfo& info)
{
    if (info.isSymLink() && !info.exists())
        return FileFault::LinkToNothing;
    if (!info.exists())
        return FileFault::Missing;
    if (info.isDir())
        return FileFault::Folder;
    if (!info.isFile())
        return FileFault::NotRegular;
    return FileFault::None;
}

// Opens a file known to be regular. On Unix the open does not block even
// when the name was swapped for a FIFO in the meantime, and the opened file
// is checked again.
FileFault OpenRegular(const QString& path, QFile& file)
{
#ifdef Q_OS_WIN
    file.setFileName(path);
    if (file.open(QIODevice::ReadOnly))
        return FileFault::None;
    return file.error() == QFileDevice::PermissionsError ? FileFault::PermissionDenied : FileFault::Unreadable;
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES || errno == EPERM ? FileFault::PermissionDenied : FileFault::Unreadable;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return FileFault::NotRegular;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FileFault::Unreadable;
    }
    return FileFault::None;
#endif
}

} // namespace

FileStatus OpenRegularFile(const QString& path, QFile& file)
{
    if (const FileFault fault = KindFault(QFileInfo(path)); fault != FileFault::None)
        return FileStatus::Refused(path, fault);
    if (const FileFault fault = OpenRegular(path, file); fault != FileFault::None)
        return FileStatus::Refused(path, fault);
    return FileStatus::Ok();
}

FileContent ReadRegularFile(const QString& path, qint64 limit)
{
    FileContent result;
    QFile file;
    if (result.status = OpenRegularFile(path, file); !result.status)
        return result;
    result.content = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError) {
        result.content.clear();
        result.status = FileStatus::Refused(path, FileFault::Unreadable);
        result.status.message += QStringLiteral(": ") + file.errorString();
        return result;
    }
    if (result.content.size() > limit) {
        result.content.truncate(limit);
        result.status = FileStatus::Refused(path, FileFault::TooLarge);
    }
    return result;
}

FileStatus CheckWriteTarget(const QString& path)
{
    const FileFault fault = KindFault(QFileInfo(path));
    if (fault == FileFault::None || fault == FileFault::Missing)
        return FileStatus::Ok();
    return FileStatus::Refused(path, fault);
}
