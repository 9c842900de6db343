#pragma once
// The interface dialog `Schnittstelle`: com1 to com8 in two columns. A click
// reopens the port at once for the rest of the run; only OK stores the choice
// in the settings file.

#include "config/programstate.h"

#include <QDialog>
#include <array>
#include <functional>

class QLabel;
class QRadioButton;
class QPushButton;

class InterfaceDialog : public QDialog {
    Q_OBJECT
public:
    // reopenPort closes the port and opens it again on program.ChosenPort,
    // falling back as it must; afterwards ChosenPort names the port in use, or the
    // port is closed. The dialog then shows the port in use.
    // describePort(N) says what com N stands for; the line under the options
    // shows it for the selected option.
    InterfaceDialog(ProgramState& program, QString settingsPath, std::function<void()> reopenPort,
                    std::function<QString(int port)> describePort, QWidget* parent = nullptr);

    QRadioButton* PortButton(int index) const { return option_.at(index); }
    QLabel* PortLine() const { return portLine_; }

private:
    void ChoosePort(int index);
    void Store();
    void ShowPortLine(int index);

    ProgramState& program_;
    QString settingsPath_;
    std::function<void()> reopenPort_;
    std::function<QString(int)> describePort_;
    std::array<QRadioButton*, 8> option_{};
    QPushButton* ok_ = nullptr;
    QLabel* portLine_ = nullptr;
};
