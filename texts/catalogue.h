#pragma once
// The user-interface texts in four languages, compiled into the program from
// resources/texts.tsv, and the per-window text table.

#include "config/programstate.h"

#include <QString>
#include <QStringList>

constexpr int FirstTextId = 101;
constexpr int LastTextId = 273;

// Text of an ID in a language (LanguageOffset 0, 1000, 2000, 3000), exactly
// as stored. An unknown ID or language gives an empty string.
QString CatalogueText(int id, int languageOffset);
// The same with its place holders %1 .. %9 filled from values in one pass, so
// that a value which itself holds "%2" stays as it is. A place holder without
// a value stays.
QString CatalogueText(int id, int languageOffset, const QStringList& values);

// The windows and the text ID ranges each copies into TextTable when it opens.
enum class TextWindow { Start, Main, RowEdit, DisplayLine, Interface, Password, Editor };
void LoadWindowTexts(ProgramState& program, TextWindow window);
// The text table entry of an ID (101..273), as last loaded.
QString TableText(const ProgramState& program, int id);
