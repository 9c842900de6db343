#pragma once
// The editor's last tab, "umr3": the eight display texts, each a frame F1(k)
// with its upper and lower line in the read-only boxes b1(2k) and b1(2k+1).
// A click or Enter on a box opens the display line dialog, which writes the
// image and the box itself.

#include "config/programstate.h"
#include "config/configuration.h"
#include "platform/ui/modal.h"

#include <QWidget>
#include <array>

class Messages;
class QLineEdit;

class DisplayTextsPanel : public QWidget {
    Q_OBJECT
public:
    DisplayTextsPanel(ProgramState& program, Configuration& m, Messages& messages, const ModalRunner& showModal,
                      QWidget* parent);

    // b1(n) = DecodeDisplayLine(n) for n = 0..15.
    void ShowDisplayTexts();
    void OpenDisplayLine(int index);   // 0..15

    QLineEdit* DisplayLineBox(int line) const;   // 0..15, nullptr outside
    QString DisplayLineText(int line) const;

signals:
    // A display line dialog closed: ChangeCount may have changed.
    void Edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetBoxTextColour(QLineEdit* box, const QString& colourText);

    ProgramState& program_;
    Configuration& m_;
    Messages& messages_;
    const ModalRunner& showModal_;
    std::array<QLineEdit*, 16> lineBoxes_{};       // b1(0..15)
};
