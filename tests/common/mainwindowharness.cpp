#include "common/mainwindowharness.h"

#include "comm/simterminal.h"
#include "common/democonfig.h"
#include "common/scriptedlink.h"
#include "config/configfiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

MainWindowHarness::MainWindowHarness(LinkKind kind, std::optional<QByteArray> settings)
{
    QDir::setCurrent(dir.path());
    QDir().mkpath(QFileInfo(SettingsPath()).absolutePath());
    if (settings) {
        QFile file(SettingsPath());
        if (file.open(QIODevice::WriteOnly))
            file.write(*settings);
    }
    if (kind == LinkKind::Scripted) {
        link = std::make_unique<ScriptedLink>(&clock);
    } else {
        auto terminal = std::make_unique<SimulatedTerminal>(clock);
        Vardelomod demo;
        BuildDemoConfiguration(demo);
        TerminalMemory memory{};
        for (int slot = 0; slot < Vardelomod::BlockSlots; ++slot)
            memory[slot] = quint8(demo.ConfigImage[slot]);
        terminal->SetMemory(memory);
        link = std::move(terminal);
    }
}

MainWindowHarness::~MainWindowHarness()
{
    window.reset();
    QDir::setCurrent(QDir::tempPath());
}

void MainWindowHarness::Start(bool realEditor)
{
    window = std::make_unique<MainWindow>(m, MainWindow::Services{messages, files, clock, *link, SettingsPath()});
    window->ShowModal = [this](QDialog& dialog) {
        modalShown.append(dialog.objectName());
        if (onModal)
            onModal(dialog);
    };
    if (!realEditor)
        window->OpenEditor = [this] { editorOpenedOn.append(m.CurrentConfigFile); };
    window->StartUp();
}

void MainWindowHarness::StartAndPassLanguageWindow()
{
    auto previous = onModal;
    onModal = [](QDialog& dialog) {
        if (auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1")))
            ok->click();
    };
    Start();
    clock.Advance(1000);
    onModal = previous;
}

QString MainWindowHarness::SettingsPath() const
{
    return dir.filePath(QStringLiteral("config/VARDELO.ini"));
}

QByteArray MainWindowHarness::SettingsContent() const
{
    QFile file(SettingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ScriptedLink& MainWindowHarness::Scripted()
{
    return static_cast<ScriptedLink&>(*link);
}

SimulatedTerminal& MainWindowHarness::Terminal()
{
    return static_cast<SimulatedTerminal&>(*link);
}

void MainWindowHarness::Trigger(const QString& action)
{
    QAction* a = window->findChild<QAction*>(action);
    QVERIFY2(a, qPrintable(action));
    a->trigger();
}

void MainWindowHarness::Click(const QString& button)
{
    auto* b = window->findChild<QPushButton*>(button);
    QVERIFY2(b, qPrintable(button));
    b->click();
}

void MainWindowHarness::EnterPassword(QDialog& dialog, const QString& text)
{
    auto* entry = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
    QVERIFY(entry);
    QTest::keyClicks(entry, text);
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OK"));
    QVERIFY(ok);
    ok->click();
}

QStringList MainWindowHarness::Prompts() const
{
    QStringList prompts;
    for (const auto& shown : messages.shown)
        prompts << shown.prompt;
    return prompts;
}
