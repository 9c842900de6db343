#pragma once
// Messages about files in the operator's language: why a file was not read or
// not replaced, and that an existing file was kept.

#include "platform/fileaccess.h"

#include <QString>

namespace FileText {
constexpr int NotRegular = 420;
constexpr int Folder = 421;
constexpr int LinkToNothing = 422;
constexpr int PermissionDenied = 423;
constexpr int TooLarge = 424;
constexpr int Missing = 425;
constexpr int Unreadable = 426;
constexpr int ExistingKept = 427;          // %1: the file
constexpr int SimulationNotStored = 428;   // the simulated terminal could not store a write
constexpr int SimulationMemoryFile = 429;  // its memory file cannot be used
constexpr int PasswordPrompt = 430;
constexpr int NotUsedAtStartUp = 431;
constexpr int CommentsNotRead = 432;
constexpr int TooFewLines = 515;         // %1: the file, %2: how many lines
constexpr int TooManyLines = 516;        // %1: the file, %2: the line
constexpr int KeptWhenReplaced = 517;    // a comments file not used is kept in history/
}

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
