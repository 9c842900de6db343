#pragma once
// The configuration editor "vardelodatei": one configuration on four tabs
// (basic settings, privileges, block lists, display texts), edited straight
// into ConfigImage and saved as .QLV with its .BGT comments beside it.
//
// Use (main window):
//     EditorWindow editor(program, configuration, messages, fileDialogs, this);
//     connect(&editor, &EditorWindow::PasswordDialogOpening, this, &MainWindow::StopRunningRead);
//     editor.exec();
// The constructor is the window's opening: it reads the configuration's
// CurrentConfigFile and its comments and fills every control. A file that
// cannot be read is refused with a message (Text::FileRefused), ConfigImage stays as
// it was, Loaded() is false and exec() returns Rejected at once without
// showing the window.
//
// The title is the file's name with the modified mark ("VARDELO.QLV*" while
// edits are unsaved), after a read, a load and a save as alike. The status
// line StatusLine at the bottom names the file opened and says what a save,
// a save as, an export or an import did (the file and its number of cards).
//
// Controls carry their names as objectName (ST1, umr0..umr3, Frame1..Frame15,
// Text1..Text4, O1(i), O2(i), Op1..Op6, Mgd1..Mgd4, F1(k), b1(n), the menu
// actions mnudatei, mnuspeich, mnuspeichals, mnudruck, mnualldruck, mnubeend).
// Beyond those: the card lists as CSV (mnuexport, mnuimport, editor/cardlistfiles.h),
// the print preview (mnuvorschau)
// and the search over the lists (menu mnusuche with mnusuchen Ctrl+F,
// mnuweiter F3, mnuzurueck Shift+F3; the find field FindText, editor/listsearch.h).
//
// The window builds the three parts and wires them: the basic settings panel
// (editor/basicsettingspanel.h), the list grids (editor/listgrids.h) and the
// display texts (editor/displaytextspanel.h); it keeps the file commands.
// Modal dialogs (row edit, display line, password) are shown through
// ShowModal; tests replace it to play the operator's part.

#include "config/programstate.h"
#include "config/configuration.h"
#include "platform/ui/modal.h"

#include <QDialog>
#include <array>
#include <memory>

class BasicSettingsPanel;
class CardListFiles;
class DisplayTextsPanel;
class FileDialogs;
class GridWidget;
class ListGrids;
class ListGridSource;
class ListSearch;
class Messages;
class QAction;
class QLineEdit;
class QMenu;
class QStatusBar;
class QTabWidget;
class QWidget;
struct FileStatus;

class EditorWindow : public QDialog {
    Q_OBJECT
public:
    EditorWindow(ProgramState& program, Configuration& m, Messages& messages, FileDialogs& fileDialogs,
                 QWidget* parent = nullptr);
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

    // Printing: the current tab's section, or everything; the preview of the
    // current tab's section, from which it can be printed too.
    virtual void PrintCurrentSection();
    virtual void PrintAll();
    void PreviewCurrentSection();

    int CurrentTab() const;
    GridWidget* ListGrid(int list) const;           // list 1..4
    const ListGridSource& Grids() const;            // the grids as the reports read them
    const BasicSettingsPanel& BasicSettings() const;   // the basic settings as the reports read them
    QLineEdit* DisplayLineBox(int line) const;      // 0..15
    QString DisplayLineText(int line) const;
    FileDialogs& Dialogs() const { return fileDialogs_; }
    QAction* PrintAction() const { return printAction_; }
    QAction* PrintAllAction() const { return printAllAction_; }
    ListSearch& Search() const { return *search_; }
    QStatusBar* StatusLine() const { return statusLine_; }

signals:
    // The password dialog is opening (the password field was entered); a
    // read must not run beside it.
    void PasswordDialogOpening();

private:
    void BuildWindow();
    void BuildMenu();
    void SelectTab(int tab);
    void ReportSaveFailure(const FileStatus& status, const QString& fileName);
    void ReportSaved(const QString& fileName);
    void ShowFileName(const QString& fileName);
    void ShowChangeMark();
    void RunPrintCommand(bool all);

    ProgramState& program_;
    Configuration& m_;
    Messages& messages_;
    FileDialogs& fileDialogs_;
    ListRowsObserver* previousObserver_ = nullptr;
    bool loaded_ = false;

    QTabWidget* tabs_ = nullptr;
    std::array<QWidget*, 4> containers_{};   // umr0..umr3
    BasicSettingsPanel* basic_ = nullptr;
    ListGrids* grids_ = nullptr;
    DisplayTextsPanel* displayTexts_ = nullptr;
    ListSearch* search_ = nullptr;
    std::unique_ptr<CardListFiles> cardListFiles_;
    QMenu* fileMenu_ = nullptr;
    QMenu* searchMenu_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* printAllAction_ = nullptr;
    QStatusBar* statusLine_ = nullptr;
};
