#include "texts/language.h"

int LanguageIndex(qint16 languageOffset)
{
    switch (languageOffset) {
    case 0: return 0;
    case 1000: return 1;
    case 2000: return 2;
    case 3000: return 3;
    default: return -1;
    }
}

void ChooseLanguage(ProgramState& program, int index)
{
    if (index < 0 || index >= LanguageCount)
        return;
    program.LanguageOffset = static_cast<qint16>(1000 * index);
    program.LanguageText = QStringLiteral(" %1").arg(program.LanguageOffset);
}
