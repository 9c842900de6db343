#pragma once
// The single steps a crash-safe replacement of several files is made of, one
// call each: a test puts its own implementation in their place to make any
// one step fail, or to end the process right before it, and then checks what
// is left on the disk.
//
// Every step that makes a name makes it only when the name is free, in one
// system call: two processes that want the same name never replace each
// other's file, the second one is told FileFault::Exists.

#include "platform/fileaccess.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <optional>

class FileOperations {
public:
    virtual ~FileOperations() = default;

    // Creates path, which must not exist yet, with content, written through
    // to the device. permissions: those of the file it will replace; none:
    // the usual ones (the umask's). A failure leaves no file of that name.
    virtual FileStatus CreateFile(const QString& path, const QByteArray& content,
                                  std::optional<QFileDevice::Permissions> permissions) = 0;
    // Gives the regular file `existing` the second name path (a hard link),
    // which must not exist yet. Where the file system has no such links, or
    // path lies on another one, the content is copied to path instead,
    // written through to the device.
    virtual FileStatus LinkFile(const QString& existing, const QString& path) = 0;
    // Renames from to to in one step, replacing what to names.
    virtual FileStatus Rename(const QString& from, const QString& to) = 0;
    virtual FileStatus RemoveFile(const QString& path) = 0;
    // Makes what was created, renamed and removed in folder durable.
    virtual FileStatus SyncFolder(const QString& folder) = 0;
    // Creates folder (its parent exists), readable by its owner only.
    virtual FileStatus CreatePrivateFolder(const QString& folder) = 0;
};

// The running system's.
class SystemFileOperations : public FileOperations {
public:
    FileStatus CreateFile(const QString& path, const QByteArray& content,
                          std::optional<QFileDevice::Permissions> permissions) override;
    FileStatus LinkFile(const QString& existing, const QString& path) override;
    FileStatus Rename(const QString& from, const QString& to) override;
    FileStatus RemoveFile(const QString& path) override;
    FileStatus SyncFolder(const QString& folder) override;
    FileStatus CreatePrivateFolder(const QString& folder) override;
};
