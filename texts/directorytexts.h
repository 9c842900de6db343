#pragma once
// The operator's words for the directory of card holders, from the text
// catalogue in one language: why a directory was refused.

#include "config/directory.h"

#include <QString>
#include <QStringList>

namespace DirectoryText {
constexpr int NotText = 480;               // %1 the file
constexpr int MixedCharacterSets = 481;    // %1 the file, %2 the line
constexpr int UndefinedByte = 482;         // %1 the file, %2 the line
constexpr int NoHeader = 483;              // %1 the file, %2 the columns missing
constexpr int NoCards = 484;               // %1 the file
}

// Why a directory cannot be used, naming the file: the file's own refusal,
// the whole-file reason, or the bad rows by line (several reasons of one line
// on that line), the first 20 lines and then how many more. Empty for a
// directory that was taken.
QString DirectoryMessage(const Directory& directory, const QString& fileName, int languageOffset);
QString DirectoryProblemText(const DirectoryProblem& problem, int languageOffset);

