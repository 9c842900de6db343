#pragma once
// The display line dialog "displayeingabe": edits display line
// DisplayLineIndex. OK cuts or pads the entry to 16 characters, writes it into
// the line's box and into ConfigImage (EncodeDisplayLine) and raises
// ChangeCount. However it closes, the line's box gets the text colour "&H800".

#include <QDialog>

struct Vardelomod;
class QLineEdit;

class DisplayLineDialog : public QDialog {
    Q_OBJECT
public:
    // lineBox: the editor's box b1(DisplayLineIndex).
    DisplayLineDialog(Vardelomod& m, QLineEdit* lineBox, QWidget* parent = nullptr);

    void Store();   // OK
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Vardelomod& m_;
    QLineEdit* lineBox_;
    QLineEdit* entry_;
    bool focusedBefore_ = false;
};
