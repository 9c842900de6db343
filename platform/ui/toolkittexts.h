#pragma once
// The toolkit's own texts in the program's language: the buttons of message
// boxes (Ja/Nein, Oui/Non, Sí/No), the file dialogs and the print dialog.
// They come from Qt's translations (Debian: qt6-translations-l10n), loaded
// at start-up and again whenever the language changes.

#include <QTranslator>

class ToolkitTexts {
public:
    ToolkitTexts() = default;
    ~ToolkitTexts();
    ToolkitTexts(const ToolkitTexts&) = delete;
    ToolkitTexts& operator=(const ToolkitTexts&) = delete;

    // Switches to the language of the offset (0 German, 1000 English, 2000
    // French, 3000 Spanish). False when the system has no translation for it:
    // the toolkit then speaks English, its own language.
    bool Follow(int languageOffset);

private:
    QTranslator translator_;
    bool installed_ = false;
};
