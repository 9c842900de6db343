#pragma once
// The user-interface texts in four languages, compiled into the program from
// resources/texts.tsv, and the per-window text table.

#include "config/programstate.h"
#include "texts/textids.h"

#include <QString>
#include <QStringList>

// The window texts the text table holds.
constexpr TextNumber FirstTextId = Text::SelectLanguage;
constexpr TextNumber LastTextId = Text::Com8;

// Text of an ID in a language (LanguageOffset 0, 1000, 2000, 3000), exactly
// as stored. An unknown ID or language gives an empty string.
QString CatalogueText(TextNumber id, int languageOffset);
// The same with its place holders %1 .. %9 filled from values in one pass, so
// that a value which itself holds "%2" stays as it is. A place holder without
// a value stays.
QString CatalogueText(TextNumber id, int languageOffset, const QStringList& values);

// The windows and the text ID ranges each copies into TextTable when it opens.
enum class TextWindow { Start, Main, RowEdit, DisplayLine, Interface, Password, Editor };
void LoadWindowTexts(ProgramState& program, TextWindow window);
// The text table entry of an ID (FirstTextId..LastTextId), as last loaded.
QString TableText(const ProgramState& program, TextNumber id);
