// Opening the editor on the largest configuration (one list of 1774 rows with
// 2001 comments) and one yes/no press on it (ShowSettings plus DecodeLists,
// refilling all grids). Goals: opening under 150 ms, a press under 16 ms.
// Run: QT_QPA_PLATFORM=offscreen ./build/bench/bench_editor

#include "common/editorfixture.h"
#include "common/fakes.h"
#include "editor/editorwindow.h"
#include "platform/ui/gridwidget.h"

#include <QRadioButton>
#include <QtTest>

class EditorBench : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ProgramState program;
    Configuration m;
    FakeMessages messages;
    FakeFileDialogs dialogs;

private slots:
    void initTestCase()
    {
        SampleSettings largest;
        largest.featureFlags = 0x04 | 0x10;   // no block lists
        largest.trackFlags = 0x01;            // track 2 only
        largest.track2Digits = 2;             // one slot per record
        QVERIFY(WriteSampleConfiguration(m, dir.filePath(QStringLiteral("BIG.QLV")), largest));
        QCOMPARE(m.ListCount1, quint16(1774));
    }

    void openEditor()
    {
        QBENCHMARK {
            EditorWindow editor(program, m, messages, dialogs);
            QVERIFY(editor.Loaded());
            QCOMPARE(editor.ListGrid(1)->Rows(), 1776);
        }
    }

    void yesNoPress()
    {
        EditorWindow editor(program, m, messages, dialogs);
        editor.show();
        auto* yes = editor.findChild<QRadioButton*>(QStringLiteral("O1(0)"));
        QBENCHMARK {
            QTest::mouseClick(yes, Qt::LeftButton);
        }
        QCOMPARE(editor.ListGrid(1)->Rows(), 1776);
    }
};

QTEST_MAIN(EditorBench)
#include "bench_editor.moc"
