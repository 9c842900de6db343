#pragma once
// The main window `vardelo1`: menus, the identification line, the read panel
// and the write panel. It holds no rule of its own: it starts the commands
// and sequences and shows what they report.

#include "comm/changereport.h"
#include "config/configimage.h"
#include "config/programstate.h"
#include "config/configuration.h"
#include "platform/fileaccess.h"
#include "platform/seriallink.h"
#include "platform/ui/modal.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class Messages;
class FileDialogs;
class PeriodicTimer;
class SerialDevices;
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
        // The site window stores its reads on threads of their own (see
        // SiteRun::SetStoreOnThreads); off for a test on a manual clock.
        bool storeSiteReadsOnThreads = true;
    };
    MainWindow(ProgramState& program, Configuration& m, Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The window's load: settings, language, texts, port, panels, then the
    // one-second timer that offers the language window.
    void StartUp();
    // The main window's texts in the current language onto every caption,
    // and the background picture.
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
    // A terminal on the network: connecting, connected with its round trip,
    // or why it is not, at the right of the status bar; empty for a local port.
    void ShowConnection();
    void OnConnectionFailed(const PortFailure& failure);
    // Runs a terminal command at once, or when a terminal on the network
    // still being connected is ready (its lines cannot be timed before);
    // nothing when it cannot be reached, which is said.
    void WhenLinkReady(std::function<void()> command);
    const SerialDevices& Devices();

    // Menu commands and buttons.
    void LoadCommand();
    void ShowReadPanel();
    void StartRead();
    PasswordEntry AskPassword();
    // A password dialog opens, the main window's own or the editor's: a
    // running read stops.
    void StopRunningRead();
    void WriteCommand();
    void StartWrite();
    void ResetCommand();
    void InterfaceCommand();
    void SiteCommand();
    // Loads a configuration file and opens it in the editor, as File > Load
    // does after its file dialog.
    void LoadAndEdit(const QString& file);
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
    // Timer5: offers the language window once, a second after start-up.
    std::unique_ptr<PeriodicTimer> languageOfferTimer_;
    std::unique_ptr<TransferMonitor> monitor_;
    QLabel* statusLine_ = nullptr;                      // StatusLine
    QLabel* connectionLine_ = nullptr;                  // ConnectionStatus
    QString connectionProblem_;              // why the terminal on the network was last lost
    std::function<void()> waitingCommand_;   // given while the terminal was being connected
    std::unique_ptr<SerialDevices> systemDevices_;
    std::unique_ptr<TransferRecorder> recorder_;

    // The controls by role; the comment gives each one's objectName.
    BackgroundWidget* client_ = nullptr;
    QMenu* fileMenu_ = nullptr;                         // mnudatei
    QAction* loadAction_ = nullptr;                     // mnuladen
    QAction* exitAction_ = nullptr;                     // mnuBeenden
    QMenu* terminalMenu_ = nullptr;                     // mnuvardelo
    QAction* readAction_ = nullptr;                     // mnuauslesen
    QAction* writeAction_ = nullptr;                    // mnubeschreiben
    QAction* resetAction_ = nullptr;                    // mres
    QAction* interfaceAction_ = nullptr;                // mnuschnittst
    QAction* siteAction_ = nullptr;                     // mnustandort
    QMenu* helpMenu_ = nullptr;                         // mnuhelp

    QGroupBox* identificationFrame_ = nullptr;          // Frame3
    QLabel* identificationLabel_ = nullptr;             // Label1
    QLabel* bannerLabel_ = nullptr;                     // Label5

    QGroupBox* readPanel_ = nullptr;                    // Frame1
    QGroupBox* waitFrame_ = nullptr;                    // Frame8
    QLineEdit* waitNotice_ = nullptr;                   // Text2
    QPushButton* readButton_ = nullptr;                 // Taste1
    QPushButton* readCancelButton_ = nullptr;           // Command2
    DisplayCheckBox* connectionCheck_ = nullptr;        // Ch1
    DisplayCheckBox* passwordCheck_ = nullptr;          // Ch2
    DisplayCheckBox* finishedCheck_ = nullptr;          // Ch3

    QGroupBox* writePanel_ = nullptr;                   // Frame2
    QPushButton* writeButton_ = nullptr;                // taste2
    QPushButton* writeCancelButton_ = nullptr;          // Command1
    QGroupBox* writeFileFrame_ = nullptr;               // Frame4
    QLabel* writeFileLabel_ = nullptr;                  // Label2
    QGroupBox* sendFrame_ = nullptr;                    // Frame5
    QProgressBar* sendBar_ = nullptr;                   // FlatScrollBar1
    QGroupBox* replyFrame_ = nullptr;                   // Frame6
    QProgressBar* replyBar_ = nullptr;                  // FlatScrollBar2

    // What the chosen file will change in the terminal against the last
    // read, shown with the write panel.
    QGroupBox* changesFrame_ = nullptr;
    QLabel* changesSummary_ = nullptr;
    QPushButton* changesDetails_ = nullptr;
    QList<ChangeLine> changeLines_;
};
