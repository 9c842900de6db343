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

void ChooseLanguage(Vardelomod& m, int index)
{
    if (index < 0 || index >= LanguageCount)
        return;
    m.LanguageOffset = static_cast<qint16>(1000 * index);
    m.LanguageText = QStringLiteral(" %1").arg(m.LanguageOffset);
}
