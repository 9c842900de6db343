#pragma once
// The display line dialog "displayeingabe": edits display line
// DisplayLineIndex. OK cuts or pads the entry to 16 characters, writes it into
// the line's box and into ConfigImage (EncodeDisplayLine) and raises
// ChangeCount. However it closes, the line's box gets the text colour "&H800".
// The entry holds at most the 16 characters of a line; a character the
// terminal's files cannot store (one without a Windows-1252 code, or a
// control character) is refused on OK with a message naming it, and the
// dialog stays open.

#include <QDialog>

struct ProgramState;
struct Configuration;
class Messages;
class QLineEdit;

class DisplayLineDialog : public QDialog {
    Q_OBJECT
public:
    // lineBox: the editor's box b1(DisplayLineIndex).
    DisplayLineDialog(ProgramState& program, Configuration& m, Messages& messages, QLineEdit* lineBox,
                      QWidget* parent = nullptr);

    void Store();   // OK
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ProgramState& program_;
    Configuration& m_;
    Messages& messages_;
    QLineEdit* lineBox_;
    QLineEdit* entry_;
    bool focusedBefore_ = false;
};
