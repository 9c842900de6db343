#include "platform/fileoperations.h"

#include "platform/filesync.h"

#include <QDir>
#include <QFile>

#include <cerrno>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Far beyond any configuration or comments file; what is larger is not copied.
constexpr qint64 MaxCopyBytes = 64 * 1024 * 1024;

FileStatus Failure(const QString& path, const QString& what, int error)
{
    if (error == EEXIST)
        return FileStatus::Refused(path, FileFault::Exists);
    const bool full = IsOutOfSpaceError(error);
    return FileStatus::Failed(PrintableText(path) + QStringLiteral(": ") + what + QStringLiteral(": ")
                                  + (full ? QStringLiteral("the disk is full") : qt_error_string(error)),
                              full);
}

#ifndef Q_OS_WIN
QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

// Errors of link() that mean "no hard link here", not "no room" or "not allowed".
bool LinkNotPossible(int error)
{
    return error == EXDEV || error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS;
}
#endif

} // namespace

FileStatus SystemFileOperations::CreateFile(const QString& path, const QByteArray& content,
                                            std::optional<QFileDevice::Permissions> permissions)
{
#ifdef Q_OS_WIN
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return Failure(path, QStringLiteral("cannot be created"), QFile::exists(path) ? EEXIST : EACCES);
    if (permissions)
        file.setPermissions(*permissions);
    int error = 0;
    if (file.write(content) != content.size())
        error = ENOSPC;
    else
        error = SyncFileToDisk(file.handle());
    file.close();
    if (error != 0) {
        file.remove();
        return Failure(path, QStringLiteral("cannot be written"), error);
    }
    return FileStatus::Ok();
#else
    const int fd = ::open(Native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return Failure(path, QStringLiteral("cannot be created"), errno);
    if (permissions)
        QFile::setPermissions(path, *permissions);
    int error = 0;
    for (qsizetype done = 0; done < content.size() && error == 0;) {
        const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0)
            error = ENOSPC;
        else if (errno != EINTR)
            error = errno;
    }
    if (error == 0)
        error = SyncFileToDisk(fd);
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error != 0) {
        ::unlink(Native(path).constData());
        return Failure(path, QStringLiteral("cannot be written"), error);
    }
    return FileStatus::Ok();
#endif
}

FileStatus SystemFileOperations::LinkFile(const QString& existing, const QString& path)
{
#ifdef Q_OS_WIN
    if (QFile::exists(path))
        return Failure(path, {}, EEXIST);
    if (::CreateHardLinkW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                          reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(existing).utf16()), nullptr))
        return FileStatus::Ok();
#else
    if (::linkat(AT_FDCWD, Native(existing).constData(), AT_FDCWD, Native(path).constData(), AT_SYMLINK_FOLLOW) == 0)
        return FileStatus::Ok();
    if (!LinkNotPossible(errno))
        return Failure(path, QStringLiteral("cannot be created"), errno);
#endif
    // No link here: a copy of what the file holds now.
    FileContent content = ReadRegularFile(existing, MaxCopyBytes);
    if (!content.status)
        return content.status;
    return CreateFile(path, content.content, std::nullopt);
}

FileStatus SystemFileOperations::Rename(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    if (::MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                      reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FileStatus::Ok();
    return Failure(to, QStringLiteral("cannot be replaced"), EACCES);
#else
    if (::rename(Native(from).constData(), Native(to).constData()) == 0)
        return FileStatus::Ok();
    return Failure(to, QStringLiteral("cannot be replaced"), errno);
#endif
}

FileStatus SystemFileOperations::RemoveFile(const QString& path)
{
#ifdef Q_OS_WIN
    if (QFile::remove(path) || !QFile::exists(path))
        return FileStatus::Ok();
    return Failure(path, QStringLiteral("cannot be removed"), EACCES);
#else
    if (::unlink(Native(path).constData()) == 0 || errno == ENOENT)
        return FileStatus::Ok();
    return Failure(path, QStringLiteral("cannot be removed"), errno);
#endif
}

FileStatus SystemFileOperations::SyncFolder(const QString& folder)
{
    SyncDirectory(folder);
    return FileStatus::Ok();
}

FileStatus SystemFileOperations::CreatePrivateFolder(const QString& folder)
{
#ifdef Q_OS_WIN
    if (QDir().mkdir(folder))
        return FileStatus::Ok();
    return Failure(folder, QStringLiteral("cannot be created"), QFile::exists(folder) ? EEXIST : EACCES);
#else
    if (::mkdir(Native(folder).constData(), 0700) == 0)
        return FileStatus::Ok();
    return Failure(folder, QStringLiteral("cannot be created"), errno);
#endif
}
