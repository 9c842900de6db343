#include "platform/filesync.h"

#include <QFile>
#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

int SyncFileToDisk(int handle)
{
#ifdef Q_OS_WIN
    return _commit(handle) == 0 ? 0 : errno;
#else
    while (::fsync(handle) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
#endif
}

void SyncDirectory(const QString& dir)
{
#ifdef Q_OS_WIN
    Q_UNUSED(dir);   // a rename is recorded with the file's metadata there
#else
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
#endif
}

int LastSystemError()
{
    return errno;
}

bool IsOutOfSpaceError(int error)
{
#ifdef EDQUOT
    if (error == EDQUOT)
        return true;
#endif
    return error == ENOSPC || error == EFBIG;
}
