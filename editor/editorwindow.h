#pragma once
// The configuration editor "vardelodatei": one configuration on four tabs
// (basic settings, privileges, block lists, display texts), edited straight
// into ConfigImage and saved as .QLV with its .BGT comments beside it.
//
// Use (main window):
//     EditorHooks hooks;
//     hooks.StopTimer1 = [this] { readTimer.Stop(); };       // password dialog
//     hooks.HideMainPanels = [this] { HidePanels(); };        // opening
//     EditorWindow editor(mod, messages, fileDialogs, this, hooks);
//     editor.setWindowTitle(fileName);                        // for a loaded file
//     editor.exec();
// The constructor is the window's opening: it reads mod.CurrentConfigFile and
// its comments and fills every control. A file that cannot be read is refused
// with a message (text 290), ConfigImage stays as it was, Loaded() is false
// and exec() returns Rejected at once without showing the window.
//
// Controls carry their names as objectName (ST1, umr0..umr3, Frame1..Frame15,
// Text1..Text4, O1(i), O2(i), Op1..Op6, Mgd1..Mgd4, F1(k), b1(n), the menu
// actions mnudatei, mnuspeich, mnuspeichals, mnudruck, mnualldruck, mnubeend).
//
// Modal dialogs (row edit, display line, password) are shown through
// ShowModal; tests replace it to play the operator's part.

#include "config/configimage.h"
#include "platform/ui/modal.h"

#include <QDialog>
#include <array>
#include <functional>

class FileDialogs;
class GridWidget;
class Messages;
class QAction;
class QGroupBox;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTabWidget;
class QWidget;
struct FileStatus;

struct EditorHooks {
    // Switches off the main window's read timer; the password dialog calls it.
    std::function<void()> StopTimer1;
    // Hides the main window's panels and start buttons; the opening calls it.
    std::function<void()> HideMainPanels;
};

class EditorWindow : public QDialog, public ListRowsObserver {
    Q_OBJECT
public:
    EditorWindow(Vardelomod& m, Messages& messages, FileDialogs& fileDialogs, QWidget* parent = nullptr,
                 EditorHooks hooks = {});
    ~EditorWindow() override;

    // False when the configuration file was refused at opening.
    bool Loaded() const { return loaded_; }
    int exec() override;

    ModalRunner ShowModal = ExecModal();

    // Image -> controls.
    void ShowSettings();
    void ShowDisplayTexts();

    // File menu. Each returns true when the files were written; a failure has
    // been reported to the operator and leaves ChangeCount as it was.
    bool SaveConfiguration();
    bool SaveConfigurationAs();
    // The close prompt: true when the window may close (no changes, No, or a
    // successful save on Yes).
    bool AskToSave();
    // Exit, Escape and the close box all come here: asks once, then closes
    // unless the save the operator asked for failed.
    void reject() override;

    // The operator's press on an option button (before it becomes selected).
    // index 0..5, 7, 10 of the O1/O2 pairs.
    void PressYesNo(int index, bool yes);
    void PressBlockLists(bool on);   // Op1 / Op2
    void PressTrack(int button);     // Op3..Op6

    // Commits the number box that is being edited (as its focus loss does).
    void CommitPendingEntry();

    // Click or Enter on a grid (list 1..4) and on a display-line box (0..15).
    void OpenRow(int list);
    void OpenDisplayLine(int index);
    // Entering the password field: the password dialog, then the digits into slots 5..7.
    void OpenPasswordDialog();

    // Printing: the current tab's section, or everything.
    virtual void PrintCurrentSection();
    virtual void PrintAll();

    // Read access for the reports.
    Vardelomod& Mod() const { return m_; }
    Messages& MessageBoxes() const { return messages_; }
    FileDialogs& Dialogs() const { return fileDialogs_; }
    int CurrentTab() const;
    GridWidget* ListGrid(int list) const;           // list 1..4
    QLineEdit* DisplayLineBox(int line) const;      // 0..15
    QString DisplayLineText(int line) const;
    QAction* PrintAction() const { return printAction_; }
    QAction* PrintAllAction() const { return printAllAction_; }

    // ListRowsObserver: the grids fill themselves while DecodeLists runs.
    void ListsDecodeStarted(const Vardelomod& m, bool listsShown) override;
    void ListStarted(const Vardelomod& m, int list, int count) override;
    void RowDecoded(const Vardelomod& m, int list, int k, int row) override;
    void ListFinished(const Vardelomod& m, int list) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWindow();
    void BuildMenu();
    void BuildBasicSettings(QWidget* container);
    void BuildGrids(QWidget* container, int firstList);
    void BuildDisplayTexts(QWidget* container);
    QGroupBox* MakeFrame(QWidget* container, int number, int textId, int column, int row);
    QRadioButton* MakeOption(QGroupBox* frame, const QString& name, bool yes);

    void SetGroup(int frame, bool enabled);
    bool ConfirmCardDataLoss();
    void WarnCardDataLoss();
    void NumberBoxKey(QLineEdit* box, QKeyEvent* event, bool& discard);
    void CommitNumberBox(QLineEdit* box);
    void SelectTab(int tab);
    void ReportSaveFailure(const FileStatus& status, const QString& fileName);
    void SetBoxTextColour(QLineEdit* box, const QString& colourText);
    int RowOffset(int list) const;
    void GridFocusGained(int list);
    void GridFocusLost(int list);
    void GridCellEntered(int list);
    void GridCellLeft(int list);

    Vardelomod& m_;
    Messages& messages_;
    FileDialogs& fileDialogs_;
    EditorHooks hooks_;
    ListRowsObserver* previousObserver_ = nullptr;
    bool loaded_ = false;

    QTabWidget* tabs_ = nullptr;
    std::array<QWidget*, 4> containers_{};
    std::array<QGroupBox*, 16> frames_{};          // Frame1..Frame15
    std::array<QRadioButton*, 11> yes_{};          // O1(i)
    std::array<QRadioButton*, 11> no_{};           // O2(i)
    std::array<QRadioButton*, 7> op_{};            // Op1..Op6
    std::array<QLineEdit*, 5> text_{};             // Text1..Text4
    std::array<GridWidget*, 4> grids_{};           // Mgd1..Mgd4
    std::array<QLineEdit*, 16> lineBoxes_{};       // b1(0..15)
    QMenu* fileMenu_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* printAllAction_ = nullptr;

    int confirmAnswer_ = 0;        // ConfirmAnswer: 1 after a confirmed card-data loss
    QLineEdit* editing_ = nullptr; // the number box whose value waits for its commit
    int valueOnEntry_ = 0;         // the number that box showed when it was entered
    int longestComment_ = 33;      // the longest accompanying text of the list being read
};
