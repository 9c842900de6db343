#pragma once
// The main window as a test drives it: a settings folder of its own, the fake
// message and file dialogs, a manual clock, a scripted link or the simulated
// terminal (password DemoPassword), and modal dialogs worked by the test.

#include "comm/mappedlink.h"
#include "comm/simterminal.h"
#include "app/ui/mainwindow.h"
#include "common/fakes.h"
#include "common/filebytes.h"
#include "common/manualclock.h"
#include "common/scriptedlink.h"

#include <QtTest>
#include <QtWidgets>

struct MainWindowHarness {
    enum class LinkKind { Scripted, Simulated };

    QTemporaryDir dir;
    ProgramState program;
    Configuration m;
    FakeMessages messages;
    FakeFileDialogs files;
    ManualClock clock;
    FakeSerialDevices devices;
    std::unique_ptr<SerialLink> link;
    std::unique_ptr<MainWindow> window;
    QStringList modalShown;                   // objectName of every modal dialog, in order
    std::function<void(QDialog&)> onModal;    // works each modal dialog; none: a cancel
    QStringList editorOpenedOn;               // unless the real editor is used
    Messages* realMessages = nullptr;         // message boxes on screen instead of the fake

    // settings: the settings file's content, or nothing for a first run.
    explicit MainWindowHarness(LinkKind kind = LinkKind::Scripted, std::optional<QByteArray> settings = QByteArray(" 1\r\n 0\r\n"))
    {
        QDir::setCurrent(dir.path());
        QDir().mkpath(dir.filePath(QStringLiteral("config")));
        if (settings)
            WriteBytes(SettingsPath(), *settings);
        if (kind == LinkKind::Scripted)
            link = std::make_unique<ScriptedLink>(&clock);
        else
            link = std::make_unique<SimulatedTerminal>(clock);
    }
    ~MainWindowHarness()
    {
        window.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    // Constructs the window and runs its start-up (the language window is
    // offered one second later, on the clock).
    void Start(bool realEditor = false)
    {
        // The site window's reads are stored at once: a read stored on a
        // thread comes back through the event loop, which the manual clock
        // does not run, and its time would depend on the disk.
        window = std::make_unique<MainWindow>(program, m,
                                              MainWindow::Services{realMessages ? *realMessages : messages, files, clock, *link,
                                                                   SettingsPath(), &devices, false});
        window->ShowModal = [this](QDialog& dialog) {
            modalShown.append(dialog.objectName());
            if (onModal)
                onModal(dialog);
        };
        if (!realEditor)
            window->OpenEditor = [this](bool) { editorOpenedOn.append(m.CurrentConfigFile); };
        window->StartUp();
    }
    // Start, and OK for the language window.
    void StartAndPassLanguageWindow(bool realEditor = false)
    {
        onModal = [](QDialog& dialog) { Press(dialog, "Command1"); };
        Start(realEditor);
        clock.Advance(1000);
        onModal = nullptr;
    }

    QString SettingsPath() const { return dir.filePath(QStringLiteral("config/VARDELO.ini")); }
    QByteArray SettingsContent() const { return Bytes(SettingsPath()); }
    // The program's own link instead, through the port map given (set
    // before Start()).
    MappedSerialLink& UseMappedLink(const QString& map)
    {
        program.Ports = PortMap::Parse(map);
        auto mapped = std::make_unique<MappedSerialLink>(clock, program.Ports);
        mapped->SetDevices(devices);
        link = std::move(mapped);
        return static_cast<MappedSerialLink&>(*link);
    }
    ScriptedLink& Scripted() { return static_cast<ScriptedLink&>(*link); }
    SimulatedTerminal& Terminal() { return static_cast<SimulatedTerminal&>(*link); }

    template <typename T = QWidget> T* Find(const QString& name) const { return window->findChild<T*>(name); }
    bool Visible(const QString& name) const { return Find(name)->isVisibleTo(window.get()); }
    bool Enabled(const QString& action) const { return Find<QAction>(action)->isEnabled(); }
    QString Text(const QString& label) const { return Find<QLabel>(label)->text(); }
    void Trigger(const QString& action) { Find<QAction>(action)->trigger(); }
    void Click(const QString& button) { Find<QPushButton>(button)->click(); }
    static void Press(QDialog& dialog, const char* button) { dialog.findChild<QPushButton*>(QLatin1String(button))->click(); }
    static void EnterPassword(QDialog& dialog, const QString& text)
    {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("Text1")), text);
        Press(dialog, "OK");
    }
    QStringList Prompts() const
    {
        QStringList prompts;
        for (const auto& shown : messages.shown)
            prompts << shown.prompt;
        return prompts;
    }

    // Opens the read panel and starts a read with the simulated terminal's
    // password.
    void StartRead();
    // Runs the clock until the read has ended with the image read.
    bool ReadDone();
    // Puts the demonstration configuration into the simulated terminal and,
    // with its comments, beside the program; starts the window and reads it.
    // Then edits it as an operator does (adds 3 cards, removes 1, sets the
    // door open time to 12), saves the edit with its comments as VARDELO.QLV
    // and chooses it for a write: the write panel shows what it changes.
    // demo is the edit; false when a step failed.
    bool ChooseEditedDemoForWrite(Configuration& demo);
};
