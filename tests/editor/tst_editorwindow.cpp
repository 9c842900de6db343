#include "app/catalogue.h"
#include "common/editorfixture.h"
#include "common/fakes.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "editor/displayline.h"
#include "editor/editorwindow.h"
#include "editor/password.h"
#include "editor/rowedit.h"
#include "platform/ui/colours.h"
#include "platform/ui/gridwidget.h"
#include "platform/ui/twips.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <memory>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using Answer = Messages::Answer;

class EditorWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Vardelomod> m;
    FakeMessages messages;
    FakeFileDialogs dialogs;

    QString Path(const QString& name) const { return dir->filePath(name); }

    // Writes a sample file and opens the editor on it, shown and active.
    std::unique_ptr<EditorWindow> Open(const SampleSettings& settings = {})
    {
        if (!WriteSampleConfiguration(*m, Path(QStringLiteral("TEST.QLV")), settings))
            return nullptr;
        m->ConfigImage.fill(0);
        auto editor = std::make_unique<EditorWindow>(*m, messages, dialogs);
        ActivateForFocus(editor.get());
        return editor;
    }
    template <class T> static T* Child(QWidget* w, const QString& name)
    {
        T* child = w->findChild<T*>(name);
        if (!child)
            qWarning() << "no control" << name;
        return child;
    }
    static void Press(QWidget* w, const QString& name) { QTest::mouseClick(Child<QRadioButton>(w, name), Qt::LeftButton); }
    static bool Selected(QWidget* w, const QString& name) { return Child<QRadioButton>(w, name)->isChecked(); }
    // Types into a number box and leaves it, as the operator does.
    static void Enter(EditorWindow* e, const QString& box, const QString& keys)
    {
        auto* edit = Child<QLineEdit>(e, box);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, keys);
        Child<QTabWidget>(e, QStringLiteral("ST1"))->setFocus(Qt::TabFocusReason);
    }
    int Slot1() const { return m->ConfigImage[1]; }
    int Slot2() const { return m->ConfigImage[2]; }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        m = std::make_unique<Vardelomod>();
        messages = {};
        dialogs = {};
    }

    void openingShowsTheImageWithoutCountingAnEdit()
    {
        SampleSettings s;
        s.doorOpenTime = 0;
        auto e = Open(s);
        QVERIFY(e && e->Loaded());
        QCOMPARE(Child<QLineEdit>(e.get(), "Text1")->text(), QStringLiteral("1"));
        QCOMPARE(m->ConfigImage[0], qint16(1));
        QCOMPARE(m->ChangeCount, qint16(0));
        QCOMPARE(Child<QLineEdit>(e.get(), "Text2")->text(), QStringLiteral("8"));
        QCOMPARE(Child<QLineEdit>(e.get(), "Text3")->text(), QStringLiteral("24"));
        QCOMPARE(Child<QLineEdit>(e.get(), "Text4")->text(), QStringLiteral("123456"));
        QCOMPARE(e->DisplayLineText(3), QStringLiteral("Zeile  3 Tür    ").replace(u'ü', u'ü'));
        QCOMPARE(e->PrintAction()->text(), TableText(*m, 207));
        QCOMPARE(e->windowTitle(), QStringLiteral("VARDELO.QLV"));
        QCOMPARE(e->findChild<QTabWidget*>("ST1")->currentIndex(), 0);
        QCOMPARE(m->ListComment[3], QStringLiteral("Karte 3 von Frau Müller-Lüdenscheidt, Haus B"));
        QVERIFY(messages.shown.isEmpty());
    }

    void aDamagedFileIsRefusedAndTheImageKept()
    {
        QFile file(Path(QStringLiteral("BAD.QLV")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1\r\n2\r\nkaputt\r\n");
        file.close();
        m->ConfigImage.fill(7);
        m->CurrentConfigFile = file.fileName();
        EditorWindow e(*m, messages, dialogs);
        QVERIFY(!e.Loaded());
        QCOMPARE(e.exec(), int(QDialog::Rejected));   // returns at once, nothing shown
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].prompt.endsWith(file.fileName()));
        QCOMPARE(messages.shown[0].prompt, CatalogueText(290, 0) + file.fileName());
        QVERIFY(std::all_of(m->ConfigImage.begin(), m->ConfigImage.end(), [](qint16 v) { return v == 7; }));
    }

    void dependentGroups_data()
    {
        QTest::addColumn<int>("featureFlags");
        QTest::addColumn<int>("trackFlags");
        QTest::addColumn<QString>("enabled");   // frames 6 7 8 10 11 13 14 as 1/0
        QTest::newRow("mag signal off") << 0x10 << 3 << "0000000";
        QTest::newRow("evaluation off") << 0x04 << 3 << "1000000";
        QTest::newRow("all on") << 0x14 << 3 << "1111111";
        QTest::newRow("track 2 only") << 0x14 << 1 << "1111110";
        QTest::newRow("track 3 only") << 0x14 << 2 << "1111101";
        QTest::newRow("signal off wins") << 0xFB << 3 << "0000000";
    }
    void dependentGroups()
    {
        QFETCH(int, featureFlags);
        QFETCH(int, trackFlags);
        QFETCH(QString, enabled);
        SampleSettings s;
        s.featureFlags = featureFlags;
        s.trackFlags = trackFlags;
        auto e = Open(s);
        QVERIFY(e);
        const QList<int> frames{6, 7, 8, 10, 11, 13, 14};
        const QStringList controls{"O1(4)", "O1(5)", "Op1", "Op3", "Op5", "Text2", "Text3"};
        for (int i = 0; i < frames.size(); ++i) {
            const bool on = enabled.at(i) == u'1';
            QCOMPARE(Child<QGroupBox>(e.get(), QStringLiteral("Frame%1").arg(frames[i]))->isEnabled(), on);
            QCOMPARE(Child<QWidget>(e.get(), controls[i])->isVisible(), on);
        }
        QVERIFY(Child<QGroupBox>(e.get(), "Frame5")->isEnabled());   // opening never locks the chip-card frame
    }

    void yesNoPressWritesTheBit_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("slot1");
        QTest::addColumn<int>("slot2");
        const int base = 0x04 | 0x10 | 0x40;
        QTest::newRow("buzzer yes") << "O1(0)" << (base | 0x01) << 3;
        QTest::newRow("interval yes") << "O1(1)" << (base | 0x02) << 3;
        QTest::newRow("door on fault yes") << "O1(7)" << (base | 0x80) << 3;
        QTest::newRow("data on display yes") << "O1(5)" << (base | 0x20) << 3;
        QTest::newRow("monitoring yes") << "O1(10)" << base << 7;
        QTest::newRow("evaluation no") << "O2(4)" << (base & ~0x10) << 3;
        QTest::newRow("mag signal no") << "O2(2)" << (base & ~0x04) << 3;
        QTest::newRow("already selected no") << "O2(0)" << base << 3;
    }
    void yesNoPressWritesTheBit()
    {
        QFETCH(QString, button);
        QFETCH(int, slot1);
        QFETCH(int, slot2);
        auto e = Open();
        QVERIFY(e);
        Press(e.get(), button);
        QCOMPARE(Slot1(), slot1);
        QCOMPARE(Slot2(), slot2);
        QVERIFY(Selected(e.get(), button));
        QCOMPARE(m->ChangeCount, qint16(1));
        QVERIFY(messages.shown.isEmpty());
        // No re-layout: the list rows survive and come back when shown again.
        const bool shown = (slot1 & 0x14) == 0x14;
        QCOMPARE(e->ListGrid(1)->Rows(), shown ? 123 : 2);
        QCOMPARE(m->ListComment[3], QStringLiteral("Karte 3 von Frau Müller-Lüdenscheidt, Haus B"));
    }

    void switchingMagCardOffAndOnKeepsTheRows()
    {
        auto e = Open();
        QVERIFY(e);
        const QString before = e->ListGrid(2)->TextAt(3 * 2);
        Press(e.get(), "O2(2)");
        QCOMPARE(e->ListGrid(2)->Rows(), 2);
        QCOMPARE(e->ListGrid(2)->TextAt(1 * 2), QStringLiteral(" "));
        QVERIFY(!Child<QRadioButton>(e.get(), "Op1")->isVisible());
        Press(e.get(), "O1(2)");
        QCOMPARE(e->ListGrid(2)->Rows(), 46);
        QCOMPARE(e->ListGrid(2)->TextAt(3 * 2), before);
    }

    void blockListsOnClearsTheChipCardSignal()
    {
        SampleSettings s;
        s.featureFlags = 0x04 | 0x10 | 0x08;   // chip-card signal on, block lists off
        auto e = Open(s);
        QVERIFY(e);
        QCOMPARE(e->ListGrid(3)->Rows(), 2);
        m->ListComment[0] = QStringLiteral("stays until the layout");
        Press(e.get(), "Op1");
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].prompt, TableText(*m, 250));
        QCOMPARE(Slot1(), 0x04 | 0x10 | 0x40);
        QVERIFY(!Child<QGroupBox>(e.get(), "Frame5")->isEnabled());
        QVERIFY(!Child<QRadioButton>(e.get(), "O1(3)")->isEnabled());
        QCOMPARE(e->ListGrid(3)->Rows(), 123);
        QCOMPARE(m->ListComment[0], ResetCommentText);
        Press(e.get(), "Op2");
        QCOMPARE(Slot1(), 0x04 | 0x10);   // the chip-card signal stays off
        QVERIFY(Child<QGroupBox>(e.get(), "Frame5")->isEnabled());
        QCOMPARE(m->ChangeCount, qint16(2));
    }

    void cancelledConfirmationKeepsEverything_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("keptSelected");
        QTest::newRow("block lists off") << "Op2" << "Op1";
        QTest::newRow("track 2 off") << "Op4" << "Op3";
        QTest::newRow("track 3 off") << "Op6" << "Op5";
    }
    void cancelledConfirmationKeepsEverything()
    {
        QFETCH(QString, button);
        QFETCH(QString, keptSelected);
        auto e = Open();
        QVERIFY(e);
        const auto image = m->ConfigImage;
        messages.answers.enqueue(Answer::Cancel);
        Press(e.get(), button);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(Selected(e.get(), keptSelected));
        QVERIFY(!Selected(e.get(), button));
        QVERIFY(m->ConfigImage == image);
        QCOMPARE(m->ChangeCount, qint16(0));
        QCOMPARE(m->ListComment[3], QStringLiteral("Karte 3 von Frau Müller-Lüdenscheidt, Haus B"));
        // Pressing the selected button asks nothing.
        Press(e.get(), keptSelected);
        QCOMPARE(messages.shown.size(), 1);
    }

    void bothTracksCannotBeSwitchedOff_data()
    {
        QTest::addColumn<int>("trackFlags");
        QTest::addColumn<QString>("button");
        QTest::newRow("track 3 already off") << 1 << "Op4";
        QTest::newRow("track 2 already off") << 2 << "Op6";
    }
    void bothTracksCannotBeSwitchedOff()
    {
        QFETCH(int, trackFlags);
        QFETCH(QString, button);
        SampleSettings s;
        s.trackFlags = trackFlags;
        auto e = Open(s);
        QVERIFY(e);
        const auto image = m->ConfigImage;
        Press(e.get(), button);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].prompt, TableText(*m, 252));
        QCOMPARE(messages.shown[0].buttons, Messages::Buttons::Ok);
        QVERIFY(m->ConfigImage == image);
        QVERIFY(!Selected(e.get(), button));
    }

    void trackChangeLaysTheListsOutAnew()
    {
        auto e = Open();
        QVERIFY(e);
        Press(e.get(), "Op6");   // track 3/1 off, confirmed
        QCOMPARE(Slot2(), 1);
        QCOMPARE(m->ListCount1, quint16(255));   // (1293 - 272) / 4
        QCOMPARE(e->ListGrid(2)->Rows(), 2);
        QCOMPARE(e->ListGrid(1)->TextAt(2 * 2), QStringLiteral("00000000"));
        QCOMPARE(e->ListGrid(1)->TextAt(2 * 2 + 1), ResetCommentText);
        QVERIFY(Child<QLineEdit>(e.get(), "Text2")->isVisible());
        QVERIFY(!Child<QLineEdit>(e.get(), "Text3")->isVisible());
    }

    void doorOpenTimeCommit_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zero") << "0" << "1";
        QTest::newRow("above range") << "256" << "1";
        QTest::newRow("upper bound") << "255" << "255";
        QTest::newRow("leading zeros") << "007" << "7";
        QTest::newRow("letters are discarded") << "ab" << "5";
        QTest::newRow("digits among letters") << "1x2" << "12";
    }
    void doorOpenTimeCommit()
    {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        auto e = Open();
        QVERIFY(e);
        const auto listArea = m->ConfigImage;
        Enter(e.get(), "Text1", keys);
        QCOMPARE(Child<QLineEdit>(e.get(), "Text1")->text(), shown);
        QCOMPARE(int(m->ConfigImage[0]), shown.toInt());
        QCOMPARE(m->ChangeCount, qint16(1));   // every key but Backspace marks a change
        QVERIFY(std::equal(listArea.begin() + 272, listArea.begin() + 2048, m->ConfigImage.begin() + 272));
    }

    void dataLengthCommit_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("oddBit");
        QTest::newRow("track 2: 9 is out of range") << "Text2" << "9" << "1" << 1 << 1;
        QTest::newRow("track 2: 8") << "Text2" << "8" << "8" << 4 << 0;
        QTest::newRow("track 2: 7") << "Text2" << "7" << "7" << 4 << 1;
        QTest::newRow("track 2: 0") << "Text2" << "0" << "1" << 1 << 1;
        QTest::newRow("track 3: 24") << "Text3" << "24" << "24" << 12 << 0;
        QTest::newRow("track 3: 25") << "Text3" << "25" << "1" << 1 << 2;
        QTest::newRow("track 3: 13") << "Text3" << "13" << "13" << 7 << 2;
    }
    void dataLengthCommit()
    {
        QFETCH(QString, box);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(int, slot);
        QFETCH(int, oddBit);
        auto e = Open();
        QVERIFY(e);
        Enter(e.get(), box, keys);
        QCOMPARE(messages.shown.size(), 1);   // the warning on entering
        QCOMPARE(messages.shown[0].prompt, TableText(*m, 248));
        QCOMPARE(Child<QLineEdit>(e.get(), box)->text(), shown);
        QCOMPARE(int(m->ConfigImage[box == "Text2" ? 3 : 4]), slot);
        QCOMPARE(m->ConfigImage[9] & oddBit, oddBit);
        QCOMPARE(m->ConfigImage[9] & (box == "Text2" ? 2 : 1), 0);   // the other track's bit untouched
        // Every commit lays the lists out: fresh records, comments reset.
        QCOMPARE(m->ListComment[3], ResetCommentText);
        const int list = box == "Text2" ? 1 : 2;
        const QString fresh = QString(2 * slot - (oddBit ? 1 : 0), u'0') + (oddBit ? QStringLiteral("#") : QString());
        QCOMPARE(e->ListGrid(list)->TextAt(2 * 2), fresh);
    }

    void leavingADataLengthUnchangedStillLaysOut()
    {
        auto e = Open();
        QVERIFY(e);
        auto* text2 = Child<QLineEdit>(e.get(), "Text2");
        text2->setFocus(Qt::TabFocusReason);
        e->findChild<QTabWidget*>("ST1")->setFocus(Qt::TabFocusReason);
        QCOMPARE(m->ChangeCount, qint16(0));   // the layout itself is no edit
        QCOMPARE(text2->text(), QStringLiteral("8"));
        QCOMPARE(m->ListComment[3], ResetCommentText);
        QCOMPARE(m->ConfigImage[272], qint16(0));
    }

    void enterCommitsAndIsDiscarded()
    {
        auto e = Open();
        QVERIFY(e);
        auto* text1 = Child<QLineEdit>(e.get(), "Text1");
        text1->setFocus(Qt::TabFocusReason);
        text1->selectAll();
        QTest::keyClicks(text1, "42");
        QTest::keyClick(text1, Qt::Key_Return);
        QVERIFY(!text1->hasFocus());
        QCOMPARE(m->ConfigImage[0], qint16(42));
        QCOMPARE(text1->text(), QStringLiteral("42"));
    }

    void editingKeysAndChangeCount()
    {
        auto e = Open();
        QVERIFY(e);
        auto* text1 = Child<QLineEdit>(e.get(), "Text1");
        text1->setFocus(Qt::TabFocusReason);
        text1->setCursorPosition(1);
        QTest::keyClick(text1, Qt::Key_Backspace);   // edits without counting
        QCOMPARE(m->ChangeCount, qint16(0));
        QTest::keyClicks(text1, "17");
        QCOMPARE(m->ChangeCount, qint16(1));
        // Switching the tab leaves the box and commits it.
        e->findChild<QTabWidget*>("ST1")->setCurrentIndex(1);
        QCOMPARE(m->ConfigImage[0], qint16(17));
        // Delete edits the value too, so it counts as a change.
        m->ChangeCount = 0;
        e->findChild<QTabWidget*>("ST1")->setCurrentIndex(0);
        text1->setFocus(Qt::TabFocusReason);
        text1->setCursorPosition(0);
        QTest::keyClick(text1, Qt::Key_Delete);
        QCOMPARE(m->ChangeCount, qint16(1));
        QTest::mouseClick(Child<QRadioButton>(e.get(), "O1(1)"), Qt::LeftButton);   // the press commits first
        QCOMPARE(m->ConfigImage[0], qint16(7));
    }

    void fileMenuCommitsAnEntryBeforeItsCommand()
    {
        auto e = Open();
        QVERIFY(e);
        auto* text1 = Child<QLineEdit>(e.get(), "Text1");
        text1->setFocus(Qt::TabFocusReason);
        text1->selectAll();
        QTest::keyClicks(text1, "99");
        emit e->findChild<QMenu*>("mnudatei")->aboutToShow();
        QCOMPARE(m->ConfigImage[0], qint16(99));
    }

    void tabSwitchSetsPrintCaption()
    {
        auto e = Open();
        QVERIFY(e);
        auto* tabs = e->findChild<QTabWidget*>("ST1");
        for (int tab : {1, 2, 3, 0}) {
            tabs->setCurrentIndex(tab);
            QCOMPARE(e->PrintAction()->text(), TableText(*m, 254 + tab));
            for (int c = 0; c < 4; ++c)
                QCOMPARE(Child<QWidget>(e.get(), QStringLiteral("umr%1").arg(c))->isEnabled(), c == tab);
        }
    }

    void capacityLines()
    {
        auto e = Open();
        QVERIFY(e);
        const QList<int> counts{121, 44, 121, 21};
        for (int list = 1; list <= 4; ++list) {
            Grid* grid = e->ListGrid(list);
            QCOMPARE(grid->Rows(), counts[list - 1] + 2);
            QCOMPARE(grid->TextAt(2), QStringLiteral("Anzahl(max)   %1").arg(counts[list - 1]));
            QCOMPARE(grid->CellBackColorAt(2 * 2), ColourText::WindowBackground);
        }
        // Row index across lists: grid row 2 of Mgd4 is row 121 + 44 + 121.
        QCOMPARE(e->ListGrid(4)->TextAt(2 * 2 + 1), m->ListComment[286]);
        QCOMPARE(e->ListGrid(4)->TextAt(2 * 2), m->ListData[286]);
    }

    void clickOnARowOpensTheRowEditDialog()
    {
        auto e = Open();
        QVERIFY(e);
        e->findChild<QTabWidget*>("ST1")->setCurrentIndex(1);
        GridWidget* grid = e->ListGrid(2);
        int seenRow = -1;
        QPoint seenPos;
        QString seenColour;
        e->ShowModal = [&](QDialog& d) {
            seenRow = m->CurrentRow;
            seenPos = d.pos();
            seenColour = grid->CellBackColorAt(2 * 2);
            QCOMPARE(d.objectName(), QStringLiteral("Datensp"));
            d.findChild<QPushButton*>("Command1")->click();
            QCOMPARE(d.findChild<QLineEdit*>("Text1")->text(), m->ListData[m->CurrentRow]);
        };
        const QRect cell = grid->visualRect(grid->model()->index(0, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(seenRow, 121);
        QCOMPARE(seenPos, TwipsPoint(1750, 3000));
        QCOMPARE(seenColour, ColourText::Red);
        QCOMPARE(grid->CellBackColorAt(2 * 2), ColourText::WindowBackground);   // cancelled
        // The left grids open it to the right of themselves.
        e->ListGrid(1)->SetRow(5);
        e->OpenRow(1);
        QCOMPARE(seenRow, 3);
        QCOMPARE(seenPos, TwipsPoint(5750, 3000));
    }

    void confirmedRowEditWritesTheRecord()
    {
        auto e = Open();
        QVERIFY(e);
        const auto before = m->ConfigImage;
        e->ShowModal = [&](QDialog& d) {
            d.findChild<QLineEdit*>("Text1")->setText("12345678");
            d.findChild<QLineEdit*>("Text2")->setText("Hausmeister");
            d.findChild<QPushButton*>("Command2")->click();
        };
        e->ListGrid(1)->SetRow(4);
        QTest::keyClick(e->ListGrid(1), Qt::Key_Return);
        QCOMPARE(m->CurrentRow, quint16(2));
        const int p = m->RowSlot[2];
        QCOMPARE(p, 272 + 8);
        QCOMPARE(QList<int>({m->ConfigImage[p], m->ConfigImage[p + 1], m->ConfigImage[p + 2], m->ConfigImage[p + 3]}),
                 QList<int>({0x21, 0x43, 0x65, 0x87}));
        for (int s = 0; s < 2048; ++s)
            if (s < p || s > p + 3)
                QCOMPARE(m->ConfigImage[s], before[s]);
        QCOMPARE(e->ListGrid(1)->TextAt(4 * 2), QStringLiteral("12345678"));
        QCOMPARE(e->ListGrid(1)->TextAt(4 * 2 + 1), QStringLiteral("Hausmeister"));
        QCOMPARE(e->ListGrid(1)->CellBackColorAt(4 * 2), ColourText::ButtonFace);
        QCOMPARE(m->ChangeCount, qint16(1));
        QCOMPARE(m->EditConfirmed, qint16(1));
    }

    // The program's own modal loop: focus leaves for the dialog and comes back,
    // and the confirmed row stays grey.
    void realModalLoopKeepsTheGreyOfAConfirmedRow()
    {
        auto e = Open();
        QVERIFY(e);
        e->findChild<QTabWidget*>("ST1")->setCurrentIndex(1);
        GridWidget* grid = e->ListGrid(1);
        grid->setFocus(Qt::TabFocusReason);
        grid->SetRow(3);
        bool reached = false;
        QTimer::singleShot(0, this, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            reached = true;
            d->findChild<QLineEdit*>("Text1")->setText("87654321");
            d->findChild<QPushButton*>("Command2")->click();
        });
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(reached);
        QCoreApplication::processEvents();
        QCOMPARE(grid->TextAt(3 * 2), QStringLiteral("87654321"));
        QCOMPARE(grid->CellBackColorAt(3 * 2), ColourText::ButtonFace);
        QCOMPARE(m->ConfigImage[m->RowSlot[1]], qint16(0x78));
    }

    void cancelledRowEditWritesNothing()
    {
        auto e = Open();
        QVERIFY(e);
        const auto before = m->ConfigImage;
        const QString data = m->ListData[2];
        e->ShowModal = [&](QDialog& d) {
            d.findChild<QLineEdit*>("Text1")->setText("99999999");
            d.findChild<QPushButton*>("Command1")->click();
        };
        e->ListGrid(1)->SetRow(4);
        e->OpenRow(1);
        QVERIFY(m->ConfigImage == before);
        QCOMPARE(m->ListData[2], data);
        QCOMPARE(e->ListGrid(1)->TextAt(4 * 2), data);
        QCOMPARE(m->ChangeCount, qint16(0));
        // Enter on a grid without rows opens nothing.
        bool opened = false;
        e->ShowModal = [&](QDialog&) { opened = true; };
        Press(e.get(), "O2(2)");
        QTest::keyClick(e->ListGrid(1), Qt::Key_Return);
        e->OpenRow(1);
        QVERIFY(!opened);
    }

    void longCommentsWidenTheLastListRead_data()
    {
        QTest::addColumn<int>("featureFlags");
        QTest::addColumn<QList<int>>("pads");   // blanks added per grid
        QTest::newRow("lists 1 and 2") << (0x04 | 0x10) << QList<int>{0, 57, 0, 0};
        QTest::newRow("all four lists") << (0x04 | 0x10 | 0x40) << QList<int>{0, 0, 0, 56};
    }
    void longCommentsWidenTheLastListRead()
    {
        QFETCH(int, featureFlags);
        QFETCH(QList<int>, pads);
        SampleSettings s;
        s.featureFlags = featureFlags;
        auto e = Open(s);
        QVERIFY(e);
        for (int list = 1; list <= 4; ++list)
            QCOMPARE(e->ListGrid(list)->FormatString(), TableText(*m, 257 + list) + QString(pads[list - 1], u' '));
        // The pad widens the comment column on screen.
        auto* widened = e->ListGrid(pads[1] ? 2 : 4);
        auto* plain = e->ListGrid(pads[1] ? 4 : 2);
        QVERIFY(widened->columnWidth(1) > plain->columnWidth(1) + 100);
    }

    void displayLineByClickAndEnter()
    {
        auto e = Open();
        QVERIFY(e);
        e->findChild<QTabWidget*>("ST1")->setCurrentIndex(3);
        QLineEdit* box = e->DisplayLineBox(5);
        int index = -1;
        QColor colourWhileOpen;
        e->ShowModal = [&](QDialog& d) {
            index = m->DisplayLineIndex;
            colourWhileOpen = box->palette().color(QPalette::Text);
            QCOMPARE(d.objectName(), QStringLiteral("displayeingabe"));
            d.findChild<QLineEdit*>("Text1")->setText(QStringLiteral("Ä"));
            d.findChild<QPushButton*>("Co2")->click();
        };
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(index, 5);
        QCOMPARE(colourWhileOpen, QColor(Qt::red));
        QCOMPARE(m->ConfigImage[16 + 16 * 5], qint16(225));
        QCOMPARE(m->ConfigImage[16 + 16 * 5 + 15], qint16(32));
        QCOMPARE(box->text(), QStringLiteral("Ä") + QString(15, u' '));
        QCOMPARE(box->palette().color(QPalette::Text), QColor(0, 8, 0));
        QCOMPARE(m->ChangeCount, qint16(1));
        e->ShowModal = [&](QDialog& d) {
            index = m->DisplayLineIndex;
            d.findChild<QPushButton*>("Co1")->click();
        };
        QTest::keyClick(e->DisplayLineBox(12), Qt::Key_Return);
        QCOMPARE(index, 12);
        QCOMPARE(m->ChangeCount, qint16(1));
    }

    void passwordFieldStoresAcceptedDigits()
    {
        auto e = Open();
        QVERIFY(e);
        int timerStops = 0;
        e.reset();
        m->ConfigImage.fill(0);
        EditorHooks hooks;
        hooks.StopTimer1 = [&] { ++timerStops; };
        EditorWindow editor(*m, messages, dialogs, nullptr, hooks);
        ActivateForFocus(&editor);
        editor.ShowModal = [&](QDialog& d) {
            QTest::keyClicks(d.findChild<QLineEdit*>("Text1"), "975310");
            d.findChild<QPushButton*>("OK")->click();
        };
        Child<QLineEdit>(&editor, "Text4")->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(timerStops, 1);
        QCOMPARE(QList<int>({m->ConfigImage[5], m->ConfigImage[6], m->ConfigImage[7]}), QList<int>({0x79, 0x35, 0x01}));
        QCOMPARE(Child<QLineEdit>(&editor, "Text4")->text(), QStringLiteral("975310"));
        QCOMPARE(m->PasswordAccepted, quint16(0));
        QCOMPARE(m->ChangeCount, qint16(1));
        // A free-mode entry is not taken.
        editor.ShowModal = [&](QDialog& d) {
            QTest::keyClicks(d.findChild<QLineEdit*>("Text1"), "Xabcdef");
            d.findChild<QPushButton*>("OK")->click();
        };
        editor.OpenPasswordDialog();
        QCOMPARE(m->ConfigImage[5], qint16(0x79));
        QCOMPARE(m->ChangeCount, qint16(1));
    }

    void saveAndSaveAsRoundTrip()
    {
        auto e = Open();
        QVERIFY(e);
        const QString original = m->CurrentConfigFile;
        Press(e.get(), "O1(0)");
        m->ListComment[5] = QStringLiteral("neuer Text  ");
        QVERIFY(e->SaveConfiguration());
        QCOMPARE(m->ChangeCount, qint16(0));
        QCOMPARE(FileSlots(original), QList<int>(m->ConfigImage.begin(), m->ConfigImage.begin() + 2048));

        // Save as onto an existing file: No writes nothing, not even the comments.
        const QString other = Path(QStringLiteral("OTHER.QLV"));
        QFile::copy(original, other);
        const QByteArray otherBefore = [&] { QFile f(other); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        Press(e.get(), "O1(1)");
        dialogs.names.enqueue(other);
        messages.answers.enqueue(Answer::No);
        QVERIFY(!e->SaveConfigurationAs());
        QCOMPARE(messages.shown.last().prompt, TableText(*m, 266) + other + TableText(*m, 267));
        QCOMPARE(messages.shown.last().title, TableText(*m, 253));
        QCOMPARE(messages.shown.last().buttons, Messages::Buttons::YesNo);
        QVERIFY(!QFile::exists(Path(QStringLiteral("OTHER.BGT"))));
        QCOMPARE([&] { QFile f(other); f.open(QIODevice::ReadOnly); return f.readAll(); }(), otherBefore);
        QCOMPARE(m->ChangeCount, qint16(1));

        QCOMPARE(dialogs.requests.last().proposedName, QStringLiteral("VARDELO"));
        QCOMPARE(dialogs.requests.last().title, TableText(*m, 244));
        QCOMPARE(dialogs.requests.last().filter, TableText(*m, 243));

        dialogs.names.enqueue(other);
        messages.answers.enqueue(Answer::Yes);
        QVERIFY(e->SaveConfigurationAs());
        QCOMPARE(e->windowTitle(), other);
        QCOMPARE(m->ChangeCount, qint16(0));
        QCOMPARE(m->CurrentConfigFile, original);

        // Read back with the file readers: the image and the comments the editor showed.
        Vardelomod back;
        QVERIFY(ReadConfigurationFile(back, other));
        LoadComments(back, other, false);
        QVERIFY(std::equal(back.ConfigImage.begin(), back.ConfigImage.begin() + 2048, m->ConfigImage.begin()));
        QCOMPARE(back.ListComment[5], QStringLiteral("neuer Text  "));
        QCOMPARE(back.ListComment[3], m->ListComment[3]);

        // A later Save goes to the file that was opened.
        Press(e.get(), "O1(7)");
        QVERIFY(e->SaveConfiguration());
        QCOMPARE(FileSlots(original)[1], int(m->ConfigImage[1]));
        QVERIFY(FileSlots(other)[1] != int(m->ConfigImage[1]));

        // Cancel in the file dialog: nothing happens.
        QVERIFY(!e->SaveConfigurationAs());
        QCOMPARE(e->windowTitle(), other);
    }

    void saveFailureKeepsTheChanges()
    {
        auto e = Open();
        QVERIFY(e);
        Press(e.get(), "O1(0)");
        m->CurrentConfigFile = Path(QStringLiteral("missing-folder/TEST.QLV"));
        QVERIFY(!e->SaveConfiguration());
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].prompt, CatalogueText(291, 0) + m->CurrentConfigFile);
        QCOMPARE(m->ChangeCount, qint16(1));

        dialogs.names.enqueue(Path(QStringLiteral("missing-folder/NEW.QLV")));
        QVERIFY(!e->SaveConfigurationAs());
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(e->windowTitle(), QStringLiteral("VARDELO.QLV"));
        QCOMPARE(m->ChangeCount, qint16(1));
    }

    void closePrompt_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("unchanged") << false << int(Answer::Yes) << false << 0 << true << false;
        QTest::newRow("changed, No") << true << int(Answer::No) << false << 1 << true << false;
        QTest::newRow("changed, Yes") << true << int(Answer::Yes) << false << 1 << true << true;
        QTest::newRow("changed, Yes, save fails") << true << int(Answer::Yes) << true << 2 << false << false;
    }
    void closePrompt()
    {
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(bool, saveFails);
        QFETCH(int, questions);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        auto e = Open();
        QVERIFY(e);
        e->show();
        if (changed)
            Press(e.get(), "O1(0)");
        if (saveFails)
            m->CurrentConfigFile = Path(QStringLiteral("missing-folder/TEST.QLV"));
        messages.answers.enqueue(Answer(answer));
        e->findChild<QAction*>("mnubeend")->trigger();
        QCOMPARE(messages.shown.size(), questions);   // with a failed save: the question and the failure
        if (questions > 0)
            QCOMPARE(messages.shown[0].prompt, TableText(*m, 209));
        QCOMPARE(e->isVisible(), !closed);
        QCOMPARE(FileSlots(Path(QStringLiteral("TEST.QLV")))[1] == int(m->ConfigImage[1]), saved || !changed);
        QCOMPARE(m->ChangeCount, qint16(changed && !saved ? 1 : 0));
    }

    void fullDiskOnCloseKeepsTheEditorAndTheOldFile()
    {
#ifdef Q_OS_UNIX
        auto e = Open();
        QVERIFY(e);
        e->show();
        const QString file = m->CurrentConfigFile;
        const QList<int> before = FileSlots(file);
        Press(e.get(), "O1(0)");
        // A file size limit makes the write fail for lack of space.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 4000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        messages.answers.enqueue(Answer::Yes);
        e->reject();
        setrlimit(RLIMIT_FSIZE, &old);
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[1].prompt, TableText(*m, 246));
        QCOMPARE(messages.shown[1].title, TableText(*m, 247));
        QVERIFY(e->isVisible());
        QCOMPARE(m->ChangeCount, qint16(1));
        QCOMPARE(FileSlots(file), before);
        // The next close asks again, and this time the save succeeds.
        messages.answers.enqueue(Answer::Yes);
        e->reject();
        QVERIFY(!e->isVisible());
        QCOMPARE(FileSlots(file)[1], int(m->ConfigImage[1]));
#else
        QSKIP("needs a file size limit");
#endif
    }

    void zeroRecordLengthShowsEmptyLists()
    {
        auto e = Open();
        QVERIFY(e);
        e.reset();
        // A file whose track-2 record length is 0 while track 2 is in use.
        m->ConfigImage[3] = 0;
        QVERIFY(WriteConfigurationFile(*m, m->CurrentConfigFile));
        m->ConfigImage.fill(0);
        EditorWindow editor(*m, messages, dialogs);
        QVERIFY(editor.Loaded());
        QCOMPARE(editor.ListGrid(1)->Rows(), 2);
        QCOMPARE(editor.ListGrid(3)->Rows(), 2);
        QCOMPARE(editor.ListGrid(2)->Rows(), 46);
        QCOMPARE(m->ListComment[0], m->ListComment[0]);
        // A layout change with the length still 0 ends and shows the lists empty.
        ActivateForFocus(&editor);
        Press(&editor, "Op2");
        QCOMPARE(editor.ListGrid(1)->Rows(), 2);
        QCOMPARE(m->ListCount2, quint16((2046 - 760) / 12));
        // A valid length makes track 2 usable again.
        Enter(&editor, "Text2", "6");
        QCOMPARE(editor.ListGrid(1)->Rows(), (758 - 272) / 3 + 2);
    }

    // Pictures of every tab and dialog for a look by eye, in German and
    // English: set VARDELO_SCREENSHOTS to a folder (run under Xvfb).
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("VARDELO_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("VARDELO_SCREENSHOTS not set");
        for (int language : {0, 1000}) {
            m->LanguageOffset = qint16(language);
            const QString tag = language == 0 ? QStringLiteral("de") : QStringLiteral("en");
            SampleSettings s;
            s.featureFlags = 0x04 | 0x10 | 0x40 | 0x01;
            auto e = Open(s);
            QVERIFY(e);
            auto* tabs = e->findChild<QTabWidget*>("ST1");
            for (int tab = 0; tab < 4; ++tab) {
                tabs->setCurrentIndex(tab);
                if (tab == 1) {
                    e->ListGrid(1)->setFocus();
                    e->ListGrid(1)->SetRow(4);
                    e->ListGrid(1)->SetCellBackColor(ColourText::Red);
                }
                if (tab == 3)
                    e->DisplayLineBox(2)->setFocus();
                QCoreApplication::processEvents();
                QVERIFY(e->grab().save(QStringLiteral("%1/editor-%2-tab%3.png").arg(folder, tag).arg(tab)));
            }
            m->CurrentRow = 3;
            RowEditDialog row(*m, messages, e.get());
            row.show();
            QVERIFY(row.grab().save(QStringLiteral("%1/rowedit-%2.png").arg(folder, tag)));
            DisplayLineDialog line(*m, e->DisplayLineBox(2), e.get());
            line.show();
            QVERIFY(line.grab().save(QStringLiteral("%1/displayline-%2.png").arg(folder, tag)));
            PasswordDialog password(*m, messages, {}, e.get());
            password.show();
            QTest::keyClicks(password.findChild<QLineEdit*>("Text1"), "1234");
            QVERIFY(password.grab().save(QStringLiteral("%1/password-%2.png").arg(folder, tag)));
            // Groups hidden: magnetic-card evaluation off.
            tabs->setCurrentIndex(0);
            Press(e.get(), "O2(4)");
            QVERIFY(e->grab().save(QStringLiteral("%1/editor-%2-evaluation-off.png").arg(folder, tag)));
        }
    }
};

QTEST_MAIN(EditorWindowTest)
#include "tst_editorwindow.moc"
