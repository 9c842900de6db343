#pragma once
// The interface dialog `Schnittstelle`: com1 to com8 in two columns. A click
// reopens the port at once for the rest of the run; only OK stores the choice
// in the settings file.
//
// Under the options, the selected com port can be given a terminal on the
// network: typed (or chosen among the addresses the port map already names)
// as rfc2217://HOST:PORT and taken with Enter or OK. It names com N in the
// port map for the rest of the run and the port is opened on it at once; OK
// stores it in the port map file (an empty field takes a network address
// off the port again). What is not an address is said under the field and
// taken for nothing.

#include "config/programstate.h"

#include <QDialog>
#include <QMap>
#include <array>
#include <functional>

class Messages;
class QComboBox;
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
    // The port map file lies beside the settings file; messages says when it
    // cannot be written.
    InterfaceDialog(ProgramState& program, QString settingsPath, std::function<void()> reopenPort,
                    std::function<QString(int port)> describePort, Messages& messages, QWidget* parent = nullptr);

    QRadioButton* PortButton(int index) const { return option_.at(index); }
    QLabel* PortLine() const { return portLine_; }
    QComboBox* AddressField() const { return address_; }
    QLabel* AddressProblem() const { return addressProblem_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChoosePort(int index);
    void Store();
    void ShowPortLine(int index);
    // Takes the address field for the selected port; false (and nothing
    // taken) when it holds no address.
    bool TakeAddress();
    // The network address com N stands for in the map, or nothing.
    QString AddressOf(int port) const;

    ProgramState& program_;
    QString settingsPath_;
    std::function<void()> reopenPort_;
    std::function<QString(int)> describePort_;
    Messages& messages_;
    std::array<QRadioButton*, 8> option_{};
    QPushButton* ok_ = nullptr;
    QLabel* portLine_ = nullptr;
    QLabel* addressCaption_ = nullptr;
    QComboBox* address_ = nullptr;
    QLabel* addressProblem_ = nullptr;
    // The ports given (or taken off) a network address in this dialog, with
    // what the map is to say for them.
    QMap<int, QString> assigned_;
};
