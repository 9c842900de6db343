#pragma once
// A terminal session on a fresh manual clock, its peer the simulated terminal
// with the given options or, for "scripted", a scripted link. The rig is the
// session's message box too: it notes when each message was shown and the
// control lines while it is open ("400 DR", "10200 -R", ...).

#include "texts/catalogue.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "common/fakes.h"
#include "common/manualclock.h"
#include "common/scriptedlink.h"
#include "config/configimage.h"

#include <QTemporaryDir>
#include <functional>

struct SessionRig : FakeMessages {
    QTemporaryDir dir;
    ManualClock clock;
    ProgramState program;
    std::unique_ptr<SerialLink> link;
    SimulatedTerminal* sim = nullptr;
    ScriptedLink* scripted = nullptr;
    std::unique_ptr<TerminalSession> session;
    QStringList at;
    std::function<void()> onShow;   // called as each message opens

    explicit SessionRig(const QString& options = {}, int language = 1000)
    {
        program.LanguageOffset = qint16(language);
        LoadWindowTexts(program, TextWindow::Main);
        if (options == u"scripted") {
            link = std::make_unique<ScriptedLink>(&clock);
            scripted = static_cast<ScriptedLink*>(link.get());
        } else {
            link = std::make_unique<SimulatedTerminal>(clock);
            sim = static_cast<SimulatedTerminal*>(link.get());
            sim->SetOptions(*ParseSimulationOptions(options));
        }
        link->Open();
        session = std::make_unique<TerminalSession>(program, *link, clock, *this);
        session->Read().SetOutputFile(dir.filePath(QStringLiteral("VARDELO.QLV")));
    }
    Answer Show(const QString& prompt, const QString& title, Buttons buttons, QWidget* parent) override
    {
        at << QStringLiteral("%1 %2%3").arg(clock.NowMs()).arg(QChar(link->Dtr() ? u'D' : u'-'), QChar(link->Rts() ? u'R' : u'-'));
        if (onShow)
            onShow();
        return FakeMessages::Show(prompt, title, buttons, parent);
    }
    // entry: six digits, or "X" and the free-mode text.
    bool StartRead(const QString& entry = QStringLiteral("123456"))
    {
        return session->Read().Start([entry] {
            const bool freeMode = entry.startsWith(u'X');
            return PasswordEntry{1, PackTerminalPassword(freeMode ? entry.mid(1) : entry, freeMode)};
        });
    }
    SessionState& State() { return session->State(); }
    // Runs until the running sequence has ended; its end time.
    qint64 RunToEnd()
    {
        clock.RunUntil([&] { return !session->Busy(); }, 60000);
        return clock.NowMs();
    }
};
