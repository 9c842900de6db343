#pragma once
// The main window as a test drives it: a settings folder of its own, the
// fake message and file dialogs, a manual clock, a link of the test's choice
// (a scripted one or the simulated terminal), and modal dialogs worked by the
// test instead of a modal loop.

#include "comm/ui/mainwindow.h"
#include "common/fakes.h"
#include "platform/timers.h"

#include <QDialog>
#include <QList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class SerialLink;
class SimulatedTerminal;
class ScriptedLink;

struct MainWindowHarness {
    enum class LinkKind { Scripted, Simulated };

    QTemporaryDir dir;
    Vardelomod m;
    FakeMessages messages;
    FakeFileDialogs files;
    ManualClock clock;
    std::unique_ptr<SerialLink> link;
    std::unique_ptr<MainWindow> window;

    // The objectName of every dialog shown modally, in order.
    QStringList modalShown;
    // Works each modal dialog; the default presses nothing (a cancel).
    std::function<void(QDialog&)> onModal;
    // Files the editor was opened on (the editor itself is not built).
    QStringList editorOpenedOn;

    // settings: the settings file's content, or nothing for a first run.
    explicit MainWindowHarness(LinkKind kind = LinkKind::Scripted, std::optional<QByteArray> settings = QByteArray(" 1\r\n 0\r\n"));
    ~MainWindowHarness();

    // Constructs the window and runs its start-up (the language window is
    // offered one second later, on the clock).
    void Start(bool realEditor = false);
    // Start, then let the language window come and go with OK.
    void StartAndPassLanguageWindow();

    QString SettingsPath() const;
    QByteArray SettingsContent() const;
    ScriptedLink& Scripted();
    SimulatedTerminal& Terminal();

    template <typename T> T* Find(const QString& name) const { return window->findChild<T*>(name); }
    void Trigger(const QString& action);
    void Click(const QString& button);

    // Password dialog worked by the test: types the text and presses OK.
    static void EnterPassword(QDialog& dialog, const QString& text);
    // Caption texts of the messages shown so far.
    QStringList Prompts() const;
};
