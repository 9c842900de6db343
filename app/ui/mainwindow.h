#pragma once
// The main window `vardelo1`: menus, the identification line, the read panel
// and the write panel. It holds no rule of its own: it starts the commands
// and sequences and shows what they report.

#include "comm/changereport.h"
#include "config/configimage.h"
#include "config/programstate.h"
#include "config/configuration.h"
#include "platform/fileaccess.h"
#include "platform/ui/modal.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class Messages;
class FileDialogs;
class PeriodicTimer;
class SerialDevices;
class SerialLink;
class TerminalSession;
class Timers;
class TransferMonitor;
class TransferRecorder;
class QDialog;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class DisplayCheckBox;
class BackgroundWidget;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Services {
        Messages& messages;
        FileDialogs& files;
        Timers& timers;
        SerialLink& link;
        QString settingsPath;   // the settings file; its folder holds the picture and the port map
        const SerialDevices* devices = nullptr;   // the system's serial devices when none is given
    };
    MainWindow(ProgramState& program, Configuration& m, Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The window's load: settings, language, texts, port, panels, then the
    // one-second timer that offers the language window.
    void StartUp();
    // Texts 103..150 in the current language onto every caption, and the
    // background picture.
    void LoadMainTexts();

    // How a dialog is shown modally (language window, interface dialog,
    // password dialog, editor). The program runs the dialog's own loop; a
    // test puts in a runner that works the dialog and returns.
    ModalRunner ShowModal;
    // Opens the editor on the file named by CurrentConfigFile, modally. The
    // default builds the editor window and shows it through ShowModal, titled
    // with the file's full name for a loaded file and "VARDELO.QLV" after a
    // read.
    std::function<void(bool loadedFile)> OpenEditor;

    // Told the language offset each time the main window's texts are loaded,
    // so that the toolkit's own dialogs (message box buttons, file dialogs)
    // can follow the language.
    std::function<void(int languageOffset)> LanguageLoaded;

    TerminalSession& Session() { return *session_; }
    TransferRecorder& Recorder() { return *recorder_; }

    // The colour a sequence button shows: green when its sequence may start,
    // red while it runs.
    static QColor ButtonColour(const QPushButton* button);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildPanels();
    void ConnectSequences();
    void RunModal(QDialog& dialog);
    void SetButtonColour(QPushButton* button, bool running);
    void HidePanels();
    // The status line and the write panel's bars, from the transfer monitor.
    void ShowProgress();
    const SerialDevices& Devices();

    // Menu commands and buttons.
    void LoadCommand();
    void ShowReadPanel();
    void StartRead();
    PasswordEntry AskPassword();
    void WriteCommand();
    void StartWrite();
    void ResetCommand();
    void InterfaceCommand();
    void ShowMakerAddress();
    void OfferLanguageWindow();
    void OpenEditorWindow(bool loadedFile);
    void ShowWriteChanges(const QString& file);
    void ShowChangeDetails();

    ProgramState& program_;
    // The configuration the window loads, writes and opens in the editor.
    Configuration& m_;
    // Set while a loaded file is to open in the editor.
    bool EditAfterLoad = false;
    Services services_;
    std::unique_ptr<TerminalSession> session_;
    std::unique_ptr<PeriodicTimer> languageOfferTimer_;
    std::unique_ptr<TransferMonitor> monitor_;
    QLabel* statusLine_ = nullptr;
    std::unique_ptr<SerialDevices> systemDevices_;
    std::unique_ptr<TransferRecorder> recorder_;

    BackgroundWidget* client_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* loadAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QMenu* terminalMenu_ = nullptr;
    QAction* readAction_ = nullptr;
    QAction* writeAction_ = nullptr;
    QAction* resetAction_ = nullptr;
    QAction* interfaceAction_ = nullptr;
    QMenu* helpMenu_ = nullptr;

    QGroupBox* identificationFrame_ = nullptr;
    QLabel* identificationLabel_ = nullptr;
    QLabel* bannerLabel_ = nullptr;

    QGroupBox* readPanel_ = nullptr;
    QGroupBox* waitFrame_ = nullptr;
    QLineEdit* waitNotice_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* readCancelButton_ = nullptr;
    DisplayCheckBox* connectionCheck_ = nullptr;
    DisplayCheckBox* passwordCheck_ = nullptr;
    DisplayCheckBox* finishedCheck_ = nullptr;

    QGroupBox* writePanel_ = nullptr;
    QPushButton* writeButton_ = nullptr;
    QPushButton* writeCancelButton_ = nullptr;
    QGroupBox* writeFileFrame_ = nullptr;
    QLabel* writeFileLabel_ = nullptr;
    QGroupBox* sendFrame_ = nullptr;
    QProgressBar* sendBar_ = nullptr;
    QGroupBox* replyFrame_ = nullptr;
    QProgressBar* replyBar_ = nullptr;

    // What the chosen file will change in the terminal against the last
    // read, shown with the write panel.
    QGroupBox* changesFrame_ = nullptr;
    QLabel* changesSummary_ = nullptr;
    QPushButton* changesDetails_ = nullptr;
    QList<ChangeLine> changeLines_;
};
