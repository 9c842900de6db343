#pragma once
// The terminal password dialog "Passwort": six digits packed for the terminal
// and the image, or (after "X" as the first or second key) a free entry of up
// to eight characters. Its result goes to whoever showed it (the editor's
// password field, a read): TerminalPassword and PasswordAccepted.
//
// Opening calls opening once, so that whoever shows the dialog can stop what
// must not run beside it (a running read); the dialog never calls it again.

#include "config/configimage.h"

#include <QDialog>
#include <functional>

struct ProgramState;
class Messages;
class QLineEdit;

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    PasswordDialog(ProgramState& program, Messages& messages, const std::function<void()>& opening,
                   QWidget* parent = nullptr);

    bool FreeMode() const { return entryMode_ == FreeEntryMode; }
    void Confirm();   // OK
    // PasswordAccepted 1 and the packed password once OK took an entry;
    // PasswordAccepted 0 otherwise.
    const PasswordEntry& Result() const { return result_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int DigitsMode = 0;
    static constexpr int FreeEntryMode = 8;

    ProgramState& program_;
    Messages& messages_;
    QLineEdit* entry_;
    PasswordEntry result_;
    int entryMode_ = DigitsMode;
};
