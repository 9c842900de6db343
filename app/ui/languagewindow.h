#pragma once
// The language window `start`: four languages with their flags. A click on a
// language takes effect and is written to the settings file at once; OK only
// closes the window.

#include "config/programstate.h"

#include <QDialog>
#include <array>

class QRadioButton;
class QPushButton;

class LanguageWindow : public QDialog {
    Q_OBJECT
public:
    // settingsPath: the settings file rewritten on every click.
    LanguageWindow(ProgramState& program, QString settingsPath, QWidget* parent = nullptr);

    QRadioButton* LanguageButton(int index) const { return option_.at(index); }

private:
    void ChooseLanguageButton(int index);

    ProgramState& program_;
    QString settingsPath_;
    std::array<QRadioButton*, 4> option_{};
    QPushButton* ok_ = nullptr;
};
