#pragma once
// The operator's words for the card lists as CSV: list captions and the
// messages of an import, from the text catalogue in one language.

#include "config/badlines.h"
#include "config/cardlists.h"

#include <QString>
#include <array>

// The caption of each list 1..4 (index 0 unused): the first column heading of its grid.
std::array<QString, 5> ListCaptions(int languageOffset);

// Why an import was refused, naming the file: the whole-file reason, or the
// bad rows by line (several reasons of one line on that line), the first 20
// lines and then how many more. Empty for an import that can be applied.
QString CardListImportMessage(const CardListImport& import, const QString& fileName, int languageOffset);

// "Nothing was changed. These lines of FILE cannot be taken:", a blank line,
// then the reasons by line as BadLineTexts lays them out: the message of every
// CSV file refused for its rows.
QString BadRowsMessage(const QList<LineReason>& reasons, const QString& fileName, int languageOffset);
