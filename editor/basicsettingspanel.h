#pragma once
// The editor's first tab, "umr0": the basic settings of slots 0..9 as fifteen
// frames of yes/no pairs and number boxes. Every press writes ConfigImage at
// once and ShowSettings then selects from the image; settings that change
// how the cards are laid out warn or ask first and lay the lists out anew.
//
// Controls carry their names as objectName (Frame1..Frame15, Text1..Text4,
// Label1, O1(i), O2(i), Op1..Op6).

#include "config/basicsettings.h"
#include "config/programstate.h"
#include "config/configuration.h"
#include "platform/ui/modal.h"
#include "texts/textids.h"

#include <QWidget>
#include <array>

class Messages;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QRadioButton;

class BasicSettingsPanel : public QWidget {
    Q_OBJECT
public:
    // focusHome takes the focus where the operator's action ends outside the
    // panel (the tab control).
    BasicSettingsPanel(ProgramState& program, Configuration& m, Messages& messages, const ModalRunner& showModal,
                       QWidget* focusHome, QWidget* parent);

    // Image -> controls and the dependent groups; adds 1 to ChangeCount.
    void ShowSettings();

    // The operator's press on an option button (before it becomes selected).
    // index 0..5, 7, 10 of the O1/O2 pairs.
    void PressYesNo(int index, bool yes);
    void PressBlockLists(bool on);   // Op1 / Op2
    void PressTrack(int button);     // Op3..Op6

    // What the panel shows for a setting as it stands, an entry not yet
    // committed included: whether a yes/no setting's yes button is
    // selected; the text of a number box or of the password field.
    bool ShowsYes(BasicSetting setting) const;
    QString ShownValue(BasicSetting setting) const;

    // Commits the number box that is being edited (as its focus loss does).
    void CommitPendingEntry();
    // Entering the password field: the password dialog, then the digits into
    // slots 5..7. Entered by Tab (or Backtab), the focus then moves on.
    void OpenPasswordDialog(Qt::FocusReason reason = Qt::OtherFocusReason);

signals:
    // ChangeCount may have changed: the operator typed, pressed or stored.
    void Edited();
    // The password dialog is opening (the password field was entered).
    void PasswordDialogOpening();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* MakeFrame(int number, TextNumber textId, int column, int row);
    QRadioButton* MakeOption(QGroupBox* frame, const QString& name, bool yes);
    void SetGroup(int frame, bool enabled);
    void ShowDependentGroups();
    bool ConfirmCardDataLoss();
    void WarnCardDataLoss();
    void NumberBoxKey(QKeyEvent* event, bool& discard);
    void CommitNumberBox(QLineEdit* box);
    BasicSetting SettingOf(const QLineEdit* box) const;

    ProgramState& program_;
    Configuration& m_;
    Messages& messages_;
    const ModalRunner& showModal_;
    QWidget* focusHome_;

    std::array<QGroupBox*, 16> frames_{};          // Frame1..Frame15
    std::array<QRadioButton*, 11> yes_{};          // O1(i)
    std::array<QRadioButton*, 11> no_{};           // O2(i)
    std::array<QRadioButton*, 7> options_{};       // Op1..Op6
    std::array<QLineEdit*, 5> boxes_{};            // Text1..Text4 (the password field is Text4)

    int confirmAnswer_ = 0;        // ConfirmAnswer: 1 after a confirmed card-data loss
    QLineEdit* editing_ = nullptr; // the number box whose value waits for its commit
    int valueOnEntry_ = 0;         // the number that box showed when it was entered
};
