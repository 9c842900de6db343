#include "common/mainwindowharness.h"

#include "comm/sequences.h"
#include "common/democonfig.h"
#include "config/configfiles.h"
#include "config/configimage.h"

void MainWindowHarness::StartRead()
{
    onModal = [](QDialog& dialog) { EnterPassword(dialog, DemoPassword); };
    Trigger(QStringLiteral("mnuauslesen"));
    Click(QStringLiteral("Taste1"));
}

bool MainWindowHarness::ReadDone()
{
    return clock.RunUntil(
        [&] { return window->Session().State().TerminalRead == 1 && !window->Session().Read().IsRunning(); }, 30000);
}

bool MainWindowHarness::ChooseEditedDemoForWrite(Configuration& demo)
{
    BuildDemoConfiguration(demo);
    Terminal().SetMemory(TerminalMemoryOf(demo));
    // Saved with its comments after the last cycle: the read takes them over.
    DecodeLists(demo);
    if (!WriteConfigurationFile(demo, QStringLiteral("VARDELO.QLV")) || !SaveComments(demo, QStringLiteral("VARDELO.BGT")))
        return false;
    StartAndPassLanguageWindow();
    messages.answers.enqueue(Messages::Answer::No);
    StartRead();
    if (!ReadDone())
        return false;

    // The operator's edit of the read, saved with comments.
    const auto card = [&](int row, const char* data, const char* comment) {
        demo.ListData[row] = QString::fromLatin1(data);
        EncodeRowData(demo, row);
        demo.ListComment[row] = QString::fromUtf8(comment);
    };
    card(12, "30000001", "Neu, Eins");
    card(13, "30000002", "Neu, Zwei");
    card(demo.ListCount1 + 9, "672000777001", "Neu, Drei");
    card(demo.ListCount1 + demo.ListCount2 + 1, "00000000", "----------");
    demo.ConfigImage[Slot::DoorOpenTime] = 12;
    const QString edited = QDir::current().filePath(QStringLiteral("VARDELO.QLV"));
    if (!WriteConfigurationFile(demo, edited) || !SaveComments(demo, CommentFileNameFor(edited)))
        return false;
    files.names.enqueue(edited);
    Trigger(QStringLiteral("mnubeschreiben"));
    return true;
}
