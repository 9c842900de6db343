#include "app/ui/languagewindow.h"

#include "texts/catalogue.h"
#include "texts/language.h"
#include "app/ui/flags.h"
#include "config/configfiles.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {
// Logical pixels (15 twips each).
constexpr int RowTop = 14;
constexpr int RowHeight = 42;
constexpr int ButtonLeft = 84;
} // namespace

LanguageWindow::LanguageWindow(ProgramState& program, QString settingsPath, QWidget* parent)
    : QDialog(parent), program_(program), settingsPath_(std::move(settingsPath))
{
    setObjectName(QStringLiteral("start"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    LoadWindowTexts(program_, TextWindow::Start);
    setWindowTitle(TableText(program_, Text::SelectLanguage));
    // It opens centred over the main window.
    setFixedSize(250, 4 * RowHeight + 64);

    // The captions are the languages' own names and stay as they are in
    // every language.
    static const char* const names[] = {"deutsch", "english", "francais", "espagnol"};
    static const Flag squareFlags[] = {Flag::Germany, Flag::France, Flag::Spain, Flag::UnitedStates};
    for (int i = 0; i < LanguageCount; ++i) {
        const int top = RowTop + i * RowHeight;
        auto* button = new QRadioButton(QString::fromLatin1(names[i]), this);
        button->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        button->setGeometry(ButtonLeft, top + 6, 140, 22);
        connect(button, &QRadioButton::clicked, this, [this, i] { ChooseLanguageButton(i); });
        option_[i] = button;
    }
    // Germany, France and Spain beside their buttons; English gets the United
    // Kingdom and the United States side by side.
    const int flagRow[] = {0, 2, 3, 1};
    for (int k = 0; k < 4; ++k) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image(%1)").arg(k));
        image->setPixmap(FlagPicture(squareFlags[k]));
        const int left = squareFlags[k] == Flag::UnitedStates ? 44 : 12;
        image->setGeometry(left, RowTop + flagRow[k] * RowHeight, 32, 32);
    }
    auto* uk = new QLabel(this);
    uk->setObjectName(QStringLiteral("Image1"));
    uk->setPixmap(FlagPicture(Flag::UnitedKingdom));
    uk->setGeometry(14, RowTop + RowHeight + 9, 25, 15);

    ok_ = new QPushButton(TableText(program_, Text::LanguageOk), this);
    ok_->setObjectName(QStringLiteral("Command1"));
    ok_->setGeometry(width() - 100, height() - 40, 84, 27);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    // The language in force is selected, and selecting it counts as a click:
    // the settings file is rewritten with the values already in force.
    const int current = LanguageIndex(program_.LanguageOffset);
    if (current >= 0) {
        option_[current]->setChecked(true);
        ChooseLanguageButton(current);
    }
}

void LanguageWindow::ChooseLanguageButton(int index)
{
    ChooseLanguage(program_, index);
    // The choice counts from the click on, even if the file cannot be
    // written; the next start then simply offers the old language again.
    WriteSettings(program_, settingsPath_);
}
