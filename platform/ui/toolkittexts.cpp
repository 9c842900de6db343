#include "platform/ui/toolkittexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

ToolkitTexts::~ToolkitTexts()
{
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
}

bool ToolkitTexts::Follow(int languageOffset)
{
    static const char* const codes[] = {"de", "en", "fr", "es"};
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
    installed_ = false;
    const int index = languageOffset / 1000;
    if (index < 0 || index > 3 || languageOffset % 1000 != 0)
        return false;
    // English is the toolkit's own language: no file needed.
    if (index == 1)
        return true;
    if (!translator_.load(QStringLiteral("qtbase_") + QLatin1String(codes[index]),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    installed_ = QCoreApplication::installTranslator(&translator_);
    return installed_;
}
