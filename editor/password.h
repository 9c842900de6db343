#pragma once
// The terminal password dialog "Passwort": six digits packed for the terminal
// and the image, or (after "X" as the first or second key) a free entry of up
// to eight characters. Results in TerminalPassword and PasswordAccepted; the
// caller sets PasswordAccepted to 0 before it shows the dialog.
//
// Opening switches off the main window's read timer (Timer1) through
// stopTimer1; the dialog never switches it on again.

#include <QDialog>
#include <functional>

struct ProgramState;
struct Vardelomod;
class Messages;
class QLineEdit;

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    PasswordDialog(ProgramState& program, Vardelomod& m, Messages& messages, const std::function<void()>& stopTimer1,
                   QWidget* parent = nullptr);

    bool FreeMode() const { return entryMode_ == FreeEntryMode; }
    void Confirm();   // OK

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int DigitsMode = 0;
    static constexpr int FreeEntryMode = 8;

    ProgramState& program_;
    Vardelomod& m_;
    Messages& messages_;
    QLineEdit* entry_;
    int entryMode_ = DigitsMode;
};
