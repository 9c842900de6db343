#pragma once
// The operator's choice of the user-interface language.

#include "config/programstate.h"

constexpr int LanguageCount = 4;   // German, English, French, Spanish

// The language window's button for an offset: 0 for 0, 1 for 1000, 2 for
// 2000, 3 for 3000; -1 for anything else.
int LanguageIndex(qint16 languageOffset);

// A language chosen by its button index 0..3: LanguageOffset := 1000 × index
// and LanguageText := the offset with one leading blank (" 1000"), the form
// the settings file keeps.
void ChooseLanguage(ProgramState& program, int index);
