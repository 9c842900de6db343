#pragma once
// What a crash-safe save needs from the system beyond Qt: forcing written data
// onto the storage device and telling a full disk from other write failures.

#include <QString>

// Flushes the data of an open file (its native handle) to the device.
// Returns 0 on success, otherwise the system error number.
int SyncFileToDisk(int handle);
// Makes a rename inside dir durable where the system supports it.
void SyncDirectory(const QString& dir);
// The system error number of the last failed call on this thread.
int LastSystemError();
// True for the errors that mean "no room for the data" (full disk, quota,
// file size limit).
bool IsOutOfSpaceError(int error);
