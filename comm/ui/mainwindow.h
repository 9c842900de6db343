#pragma once
// The main window `vardelo1`: menus, the identification line, the read panel
// and the write panel. It holds no rule of its own: it starts the commands
// and sequences and shows what they report.

#include "config/vardelomod.h"

#include <QMainWindow>
#include <functional>

class Messages;
class FileDialogs;
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
        QString settingsPath;   // the settings file; its folder holds the picture and the port map
    };
    MainWindow(Vardelomod& m, Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The window's load: settings, language, texts, port, panels, then the
    // one-second timer that offers the language window.
    void StartUp();
    // Texts 103..150 in the current language onto every caption, and the
    // background picture.
    void LoadMainTexts();

    // How a window is shown modally. The program runs it and waits; a test
    // puts in its own runner that works the window and closes it.
    std::function<void(QWidget& window)> ShowModal;
    // Opens the editor on the file named by CurrentConfigFile, modally.
    std::function<void()> OpenEditor;

    // The colour a sequence button shows: green when its sequence may start,
    // red while it runs.
    static QColor ButtonColour(const QPushButton* button);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildPanels();
    void RunModal(QWidget& window);
    void SetButtonColour(QPushButton* button, bool running);

    // Menu commands.
    void LoadCommand();
    void ShowMakerAddress();

    Vardelomod& m_;
    Services services_;

    BackgroundWidget* client_ = nullptr;
    QMenu* mnudatei_ = nullptr;
    QAction* mnuladen_ = nullptr;
    QAction* mnuBeenden_ = nullptr;
    QMenu* mnuvardelo_ = nullptr;
    QAction* mnuauslesen_ = nullptr;
    QAction* mnubeschreiben_ = nullptr;
    QAction* mres_ = nullptr;
    QAction* mnuschnittst_ = nullptr;
    QMenu* mnuhelp_ = nullptr;

    QGroupBox* frame3_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label5_ = nullptr;

    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame8_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QPushButton* taste1_ = nullptr;
    QPushButton* command2_ = nullptr;
    DisplayCheckBox* ch1_ = nullptr;
    DisplayCheckBox* ch2_ = nullptr;
    DisplayCheckBox* ch3_ = nullptr;

    QGroupBox* frame2_ = nullptr;
    QPushButton* taste2_ = nullptr;
    QPushButton* command1_ = nullptr;
    QGroupBox* frame4_ = nullptr;
    QLabel* label2_ = nullptr;
    QGroupBox* frame5_ = nullptr;
    QProgressBar* flatScrollBar1_ = nullptr;
    QGroupBox* frame6_ = nullptr;
    QProgressBar* flatScrollBar2_ = nullptr;
};
