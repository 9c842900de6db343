#pragma once
// Messages about files in the operator's language: why a file was not read or
// not replaced, and that an existing file was kept.

#include "platform/fileaccess.h"

#include <QString>

// The status as a sentence: a fault of the file's kind or size in the
// language, naming the file; any other failure as its own (English) detail.
// Control characters of names never pass raw.
QString FileStatusText(const FileStatus& status, int languageOffset);

// "Comments not read: FILE is damaged: ..." for a comments file that was not
// used, and, when it is (or will be) kept, "The file is kept in history/ when
// a new comments file takes its place."
QString DamagedCommentsText(const FileStatus& status, int languageOffset, bool kept);

// "The existing file ... was kept." when path is a file (or a link to one),
// otherwise nothing.
QString ExistingFileKeptText(const QString& path, int languageOffset);
