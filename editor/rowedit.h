#pragma once
// The row edit dialog "Datensp": one row of a card list, its data string and
// its accompanying text. Works on ListData/ListComment at CurrentRow; sets
// EditConfirmed to 0 when built and to 1 (and raises ChangeCount) on OK. It
// never writes ConfigImage: the grid encodes the row after OK. The caller
// places the dialog before it shows it.

#include <QDialog>

struct ProgramState;
struct Configuration;
class Messages;
class QLineEdit;
class QPushButton;

class RowEditDialog : public QDialog {
    Q_OBJECT
public:
    RowEditDialog(ProgramState& program, Configuration& m, Messages& messages, QWidget* parent = nullptr);

    // OK: a data string shorter than the one the dialog opened with is
    // refused with a message and the dialog stays open.
    void Confirm();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ProgramState& program_;
    Configuration& m_;
    Messages& messages_;
    QLineEdit* data_;
    QLineEdit* comment_;
    int length_ = 0;   // the data string keeps this length
};
