#include "common/editorfixture.h"

#include "config/configfiles.h"
#include "config/configimage.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QtTest>

bool WriteSampleConfiguration(Configuration& m, const QString& path, const SampleSettings& s)
{
    m.ConfigImage.fill(0);
    m.ConfigImage[Slot::DoorOpenTime] = qint16(s.doorOpenTime);
    m.ConfigImage[Slot::FeatureFlags] = qint16(s.featureFlags);
    m.ConfigImage[Slot::TrackFlags] = qint16(s.trackFlags);
    m.ConfigImage[5] = 0x21;
    m.ConfigImage[6] = 0x43;
    m.ConfigImage[7] = 0x65;
    EncodeDataLength(m, TrackNo::Track2, s.track2Digits);
    EncodeDataLength(m, TrackNo::Track3, s.track3Digits);
    for (int line = 0; line < 16; ++line)
        EncodeDisplayLine(m, line, line == 15 ? QStringLiteral("WWWWWWWWWWWWWWWW")
                                              : QStringLiteral("Zeile %1 Tür    ").arg(line, 2).left(16));
    LayOutLists(m);
    // Distinct record contents: the record's own number in its first slots.
    for (int list = 1, row = 0; list <= 4; ++list) {
        for (int k = 0; k < m.ListCount(list); ++k, ++row) {
            m.ConfigImage[m.RowSlot[row]] = qint16(k % 100 / 10 * 16 + k % 10);
            m.ListComment[row] = (k % 7 == 3) ? QStringLiteral("Karte %1 von Frau Müller-Lüdenscheidt, Haus B").arg(row)
                                              : QStringLiteral("Karte %1").arg(row);
        }
    }
    DecodeLists(m);
    m.CurrentConfigFile = path;
    return WriteConfigurationFile(m, path).ok && SaveComments(m, CommentFileNameFor(path)).ok;
}

void EditorFixture::Reset()
{
    e.reset();
    program = ProgramState();
    m = Configuration();
    messages = {};
    dialogs = {};
    messageBoxes = &messages;
    fileDialogs = &dialogs;
    QDir folder(dir.path());
    folder.removeRecursively();
    folder.mkpath(QStringLiteral("."));
}

bool EditorFixture::Create(const SampleSettings& settings, int language)
{
    e.reset();
    if (!WriteSampleConfiguration(m, Path(QStringLiteral("TEST.QLV")), settings))
        return false;
    m.ConfigImage.fill(0);
    program.LanguageOffset = qint16(language);
    e = std::make_unique<EditorWindow>(program, m, *messageBoxes, *fileDialogs);
    return e->Loaded();
}

bool EditorFixture::Open(const SampleSettings& settings, int language)
{
    if (!Create(settings, language))
        return false;
    e->show();
    QApplication::setActiveWindow(e.get());
    return QTest::qWaitForWindowExposed(e.get());
}

QTabWidget* EditorFixture::Tabs() const
{
    return Child<QTabWidget>(QStringLiteral("ST1"));
}
