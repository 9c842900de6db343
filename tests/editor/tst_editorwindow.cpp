#include "texts/catalogue.h"
#include "app/mainflow.h"
#include "common/editorfixture.h"
#include "common/fakes.h"
#include "common/filebytes.h"
#include "common/modalscript.h"
#include "config/configfiles.h"
#include "editor/editorwindow.h"
#include "platform/ui/colours.h"
#include "platform/ui/gridwidget.h"
#include "platform/ui/twips.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QWindow>
#include <QtTest>
#ifdef Q_OS_UNIX
#include "common/fileobstacles.h"
#endif

using Answer = Messages::Answer;
constexpr int AllLists = 0x04 | 0x10 | 0x40;   // magnetic-card signal, evaluation, block lists

// An option press; prompt 0: no question is asked.
struct Option {
    int features, tracks;
    QString button;
    Answer answer;
    int prompt, slot1, slot2;
    QString selected, groups;
    int list1Rows;
};
// Keys typed over a number box, left by focus, File menu or (empty) the keys.
struct Entry {
    QString box, keys, leave, shown;
    int stored, slot9;   // the box's slot and the odd-length bits
    QString fresh = {};  // a data length's new first record
    bool refused = false;  // a data length out of range
};

class EditorWindowTest : public QObject, EditorFixture {
    Q_OBJECT
    int timerStops = 0;

    void Press(const QString& name) { QTest::mouseClick(Child<QAbstractButton>(name), Qt::LeftButton); }
    // Selects a box's text and types over it ("\b" Backspace, "\x7f" Delete, "\r" Return).
    static void Overtype(QLineEdit* box, const QString& keys)
    {
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        if (keys == "\x7f")
            QTest::keyClick(box, Qt::Key_Delete);
        else
            QTest::keyClicks(box, keys);
    }
    // The dependent groups Frame6 7 8 10 11 13 14, each as the count of
    // frame enabled and its control shown.
    QString Groups() const
    {
        const QStringList controls{"O1(4)", "O1(5)", "Op1", "Op3", "Op5", "Text2", "Text3"};
        const QList<int> frames{6, 7, 8, 10, 11, 13, 14};
        QString groups;
        for (int i = 0; i < 7; ++i)
            groups += QString::number(Child(QStringLiteral("Frame%1").arg(frames[i]))->isEnabled() + Child(controls[i])->isVisible());
        return groups;
    }

private slots:
    void init()
    {
        Reset();
        timerStops = 0;
    }

    // Comments longer than 33 characters widen the last list read by the pads.
    void opening_data()
    {
        QTest::addColumn<int>("features");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QList<int>>("pads");
        QTest::newRow("all four lists") << AllLists << QList<int>{121, 44, 121, 21} << QList<int>{0, 0, 0, 56};
        QTest::newRow("lists 1 and 2") << 0x14 << QList<int>{121, 107, 0, 0} << QList<int>{0, 57, 0, 0};
    }
    void opening()
    {
        QFETCH(int, features);
        QFETCH(QList<int>, counts);
        QFETCH(QList<int>, pads);
        QVERIFY(Open({features, 3, 8, 24, 0}));
        QCOMPARE(Child<QLineEdit>("Text1")->text() + Child<QLineEdit>("Text4")->text(), QStringLiteral("1123456"));
        QCOMPARE(QList<int>({m.ConfigImage[0], m.ChangeCount}), QList<int>({1, 0}));   // door open time 0 shows 1, no edit
        for (int list = 1; list <= 4; ++list) {
            const int count = counts[list - 1];   // 0: list not in use
            QCOMPARE(e->ListGrid(list)->TextAt(2), count ? QStringLiteral("Anzahl(max)   %1").arg(count) : QStringLiteral(" "));
            QCOMPARE(e->ListGrid(list)->FormatString(), TableText(program, Text::GridHeader1 + (list - 1)) + QString(pads[list - 1], u' '));
        }
        QVERIFY(e->ListGrid(pads[1] ? 2 : 4)->columnWidth(1) > e->ListGrid(pads[1] ? 4 : 2)->columnWidth(1) + 100);
        for (int tab : {1, 2, 3, 0}) {
            Tabs()->setCurrentIndex(tab);
            QCOMPARE(e->PrintAction()->text(), TableText(program, Text::PrintBasicSettingsItem + tab));
            QVERIFY(Child(QStringLiteral("umr%1").arg(tab))->isEnabled() && !Child(QStringLiteral("umr%1").arg((tab + 1) % 4))->isEnabled());
        }
    }

    void aDamagedFileIsRefusedAndTheImageKept()
    {
        QVERIFY(WriteBytes(Path("BAD.QLV"), "1\r\n2\r\nkaputt\r\n"));
        m.ConfigImage.fill(7);
        m.CurrentConfigFile = Path("BAD.QLV");
        EditorWindow refused(program, m, messages, dialogs);
        QCOMPARE(refused.exec(), int(QDialog::Rejected));   // returns at once, nothing shown
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].prompt, CatalogueText(Text::FileRefused, 0) + Path("BAD.QLV"));
        QVERIFY(std::all_of(m.ConfigImage.begin(), m.ConfigImage.end(), [](qint16 v) { return v == 7; }));
    }

    // Yes/no buttons write their bit at once. Block lists and track buttons
    // ask first (or refuse) and lay the lists out anew.
    void optionPress_data()
    {
        QTest::addColumn<Option>("c");
        const Answer ok = Answer::Ok;
        const Answer no = Answer::Cancel;
        const int list1Only = (1293 - 272) / 4 + 2;
        QTest::newRow("buzzer yes") << Option{AllLists, 3, "O1(0)", ok, 0, AllLists | 0x01, 3, "O1(0)", "2222222", 123};
        QTest::newRow("monitoring yes") << Option{AllLists, 3, "O1(10)", ok, 0, AllLists, 7, "O1(10)", "2222222", 123};
        QTest::newRow("evaluation no") << Option{AllLists, 3, "O2(4)", ok, 0, AllLists & ~0x10, 3, "O2(4)", "2000000", 2};
        QTest::newRow("mag signal no") << Option{AllLists, 3, "O2(2)", ok, 0, AllLists & ~0x04, 3, "O2(2)", "0000000", 2};
        QTest::newRow("already selected no") << Option{AllLists, 3, "O2(0)", ok, 0, AllLists, 3, "O2(0)", "2222222", 123};
        QTest::newRow("block lists on clears chip-card signal") << Option{0x1C, 3, "Op1", ok, 250, AllLists, 3, "Op1", "2222222", 123};
        QTest::newRow("block lists off") << Option{AllLists, 3, "Op2", ok, 250, 0x14, 3, "Op2", "2222222", 123};
        QTest::newRow("track 3/1 off") << Option{AllLists, 3, "Op6", ok, 250, AllLists, 1, "Op6", "2222220", list1Only};
        QTest::newRow("block lists off, cancelled") << Option{AllLists, 3, "Op2", no, 250, AllLists, 3, "Op1", "2222222", 123};
        QTest::newRow("track 2 off, cancelled") << Option{AllLists, 3, "Op4", no, 250, AllLists, 3, "Op3", "2222222", 123};
        QTest::newRow("track 3 off, cancelled") << Option{AllLists, 3, "Op6", no, 250, AllLists, 3, "Op5", "2222222", 123};
        QTest::newRow("both tracks off refused (2)") << Option{AllLists, 1, "Op4", ok, 252, AllLists, 1, "Op3", "2222220", list1Only};
        QTest::newRow("both tracks off refused (3)") << Option{AllLists, 2, "Op6", ok, 252, AllLists, 2, "Op5", "2222202", 2};
    }
    void optionPress()
    {
        QFETCH(Option, c);
        QVERIFY(Open({c.features, c.tracks}));
        const auto image = m.ConfigImage;
        const bool changed = c.selected == c.button;
        messages.answers.enqueue(c.answer);
        Press(c.button);
        QCOMPARE(messages.shown.size(), c.prompt ? 1 : 0);
        if (c.prompt)
            QCOMPARE(messages.shown[0].prompt, TableText(program, TextNumber(c.prompt)));
        QCOMPARE(QList<int>({m.ConfigImage[1], m.ConfigImage[2]}), QList<int>({c.slot1, c.slot2}));
        QVERIFY(Child<QAbstractButton>(c.selected)->isChecked());
        QCOMPARE(Groups(), c.groups);
        QCOMPARE(m.ChangeCount, qint16(changed ? 1 : 0));
        QVERIFY(changed || m.ConfigImage == image);
        // Only a confirmed question lays out; hidden lists keep their rows.
        QCOMPARE(m.ListComment[3] == ResetCommentText, changed && c.prompt);
        QCOMPARE(e->ListGrid(1)->Rows(), c.list1Rows);
        QCOMPARE(Child("Frame5")->isEnabled(), c.button != "Op1");   // locked by block lists only
        Press(c.selected);   // the selected button asks nothing
        QCOMPARE(messages.shown.size(), c.prompt ? 1 : 0);
    }

    void numberBoxCommit_data()
    {
        QTest::addColumn<Entry>("c");
        QTest::newRow("door: 0") << Entry{"Text1", "0", "focus", "1", 1, 0};
        QTest::newRow("door: 256") << Entry{"Text1", "256", "focus", "1", 1, 0};
        QTest::newRow("door: 255") << Entry{"Text1", "255", "focus", "255", 255, 0};
        QTest::newRow("door: 007") << Entry{"Text1", "007", "focus", "7", 7, 0};
        QTest::newRow("door: letters dropped") << Entry{"Text1", "1x2", "focus", "12", 12, 0};
        QTest::newRow("door: Return") << Entry{"Text1", "42\r", "", "42", 42, 0};
        QTest::newRow("door: File menu") << Entry{"Text1", "42", "menu", "42", 42, 0};
        QTest::newRow("door: Backspace is no change") << Entry{"Text1", "\b", "focus", "1", 1, 0};
        QTest::newRow("door: Delete is a change") << Entry{"Text1", "\x7f", "focus", "1", 1, 0};
        QTest::newRow("track 2: 9 refused") << Entry{"Text2", "9", "focus", "8", 4, 0, "", true};
        QTest::newRow("track 2: 7") << Entry{"Text2", "7", "focus", "7", 4, 1, "0000000#"};
        // The same number of digits again lays nothing out: cards and comments stay.
        QTest::newRow("track 2: unchanged 8") << Entry{"Text2", "", "focus", "8", 4, 0};
        QTest::newRow("track 2: 8 typed again") << Entry{"Text2", "8", "focus", "8", 4, 0};
        QTest::newRow("track 3: 24 again, Return") << Entry{"Text3", "24\r", "", "24", 12, 0};
        QTest::newRow("track 3: 25 refused") << Entry{"Text3", "25", "focus", "24", 12, 0, "", true};
        QTest::newRow("track 3: 0 refused") << Entry{"Text3", "0", "menu", "24", 12, 0, "", true};
        QTest::newRow("track 3: 13") << Entry{"Text3", "13", "focus", "13", 7, 2, "0000000000000#"};
    }
    void numberBoxCommit()
    {
        QFETCH(Entry, c);
        QVERIFY(Open());
        const int slot = c.box == "Text1" ? 0 : c.box == "Text2" ? 3 : 4;
        auto* box = Child<QLineEdit>(c.box);
        const QString firstRecord = slot ? e->ListGrid(slot - 2)->TextAt(2 * 2) : QString();
        Overtype(box, c.keys);
        if (c.leave == "focus")
            Tabs()->setFocus(Qt::TabFocusReason);
        else if (c.leave == "menu")
            emit Child<QMenu>("mnudatei")->aboutToShow();
        QCOMPARE(box->text(), c.shown);
        QCOMPARE(QList<int>({m.ConfigImage[slot], m.ConfigImage[9]}), QList<int>({c.stored, c.slot9}));
        QCOMPARE(m.ChangeCount != 0, !QString(c.keys).remove(u'\b').isEmpty());
        // A data length warns on entering; a changed one lays the lists out,
        // one out of range is refused.
        QCOMPARE(messages.shown.size(), slot ? 1 + c.refused : 0);
        if (c.refused)
            QCOMPARE(messages.shown[1].prompt, CatalogueText(Text::DataLengthRefused, 0).arg(slot == 3 ? 8 : 24).arg(c.shown));
        QCOMPARE(m.ListComment[3] == ResetCommentText, !c.fresh.isEmpty());
        if (slot)
            QCOMPARE(e->ListGrid(slot - 2)->TextAt(2 * 2), c.fresh.isEmpty() ? firstRecord : c.fresh);
    }

    // Through the program's own modal loop: focus leaves for the dialog and
    // comes back; a confirmed row stays grey, a cancelled one writes nothing.
    void rowEdit_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("gridRow");
        QTest::addColumn<int>("row");
        QTest::newRow("Enter on Mgd1, confirmed") << 1 << 4 << 2;
        QTest::newRow("click on Mgd2, cancelled") << 2 << 2 << 121;
    }
    void rowEdit()
    {
        QFETCH(int, list);
        QFETCH(int, gridRow);
        QFETCH(int, row);
        const bool confirm = list == 1;
        QVERIFY(Open());
        Tabs()->setCurrentIndex(1);
        GridWidget* grid = e->ListGrid(list);
        auto expected = m.ConfigImage;
        ModalScript script;
        script.Then<QDialog>([&](QDialog& d) {
            const QString colour = grid->CellBackColorAt(gridRow * 2);
            d.findChild<QLineEdit*>("Text1")->setText("12345678");
            d.findChild<QLineEdit*>("Text2")->setText("Hausmeister");
            d.findChild<QAbstractButton*>(confirm ? "Command2" : "Command1")->click();
            QCOMPARE(d.objectName() + " " + colour, "Datensp " + ColourText::Red);
        });
        grid->setFocus(Qt::TabFocusReason);
        grid->SetRow(gridRow);
        if (confirm)
            QTest::keyClick(grid, Qt::Key_Return);
        else
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(gridRow - 2, 0)).center());
        VERIFY_MODALS_DONE(script);
        QCOMPARE(m.CurrentRow, quint16(row));
        for (int k = 0; confirm && k < 4; ++k)
            expected[m.RowSlot[row] + k] = qint16(QList<int>{0x21, 0x43, 0x65, 0x87}[k]);
        QVERIFY(m.ConfigImage == expected);
        QCOMPARE(grid->TextAt(gridRow * 2 + 1) == "Hausmeister", confirm);
        QCOMPARE(grid->CellBackColorAt(gridRow * 2), confirm ? ColourText::ButtonFace : ColourText::WindowBackground);
        QCOMPARE(m.ChangeCount, qint16(confirm ? 1 : 0));
    }

    // Through the dialogs' own modal loops and real focus: what the operator
    // types at once replaces the field, and Enter is OK.
    void typingOnOpeningReplaces_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("stored");
        QTest::newRow("display line") << 3 << "Neu" << "Neu             ";
        QTest::newRow("row data") << 1 << "12345678" << "12345678";
    }
    void typingOnOpeningReplaces()
    {
        QFETCH(int, tab);
        QFETCH(QString, keys);
        QVERIFY(Open());
        Tabs()->setCurrentIndex(tab);
        QWidget* field = tab == 3 ? static_cast<QWidget*>(e->DisplayLineBox(5)) : e->ListGrid(1);
        QString typedInto;
        ModalScript script;
        script.Then<QDialog>([&](QDialog& d) {
            if (QWidget* focused = QApplication::focusWidget(); focused && focused->window() == &d) {
                typedInto = focused->objectName();
                ModalScript::Type(keys);
                ModalScript::Key(Qt::Key_Return);
            }
            if (d.isVisible())
                d.reject();
        });
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClick(field, Qt::Key_Return);
        VERIFY_MODALS_DONE(script);
        QCOMPARE(typedInto, QStringLiteral("Text1"));
        QTEST(tab == 3 ? e->DisplayLineText(5) : m.ListData[0], "stored");
        QCOMPARE(m.ChangeCount, qint16(1));
    }

    // Display lines open by click or Enter, red while edited, &H800 after every
    // close; the password field opens its dialog on focus.
    void fieldsOpenTheirDialogs()
    {
        QVERIFY(Open());
        connect(e.get(), &EditorWindow::PasswordDialogOpening, this, [this] { ++timerStops; });
        Tabs()->setCurrentIndex(3);
        QStringList seen;
        QStringList keys{"Ä", "Ä", "975310"};
        QStringList buttons{"Co2", "Co1", "OK"};
        e->ShowModal = [&](QDialog& d) {
            seen << QString::number(m.DisplayLineIndex) + e->DisplayLineBox(m.DisplayLineIndex)->palette().color(QPalette::Text).name();
            Overtype(d.findChild<QLineEdit*>("Text1"), keys.takeFirst());
            d.findChild<QAbstractButton*>(buttons.takeFirst())->click();
        };
        QTest::mouseClick(e->DisplayLineBox(5), Qt::LeftButton);
        e->DisplayLineBox(12)->setFocus();
        QTest::keyClick(e->DisplayLineBox(12), Qt::Key_Return);
        QCOMPARE(e->DisplayLineBox(12)->palette().color(QPalette::Text), QColor(0, 8, 0));
        Tabs()->setCurrentIndex(0);
        Child("Text4")->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(seen.mid(0, 2), QStringList({"5#ff0000", "12#ff0000"}));
        QCOMPARE(timerStops, 1);
        const QList<int> values{m.ConfigImage[96], m.ConfigImage[111], m.ConfigImage[208], m.ConfigImage[5], m.ConfigImage[6], m.ConfigImage[7]};
        QCOMPARE(values, QList<int>({225, 32, 'Z', 0x79, 0x35, 0x01}));   // line 5, line 12, the password
    }

    // A comments file that cannot be read completely is named when the
    // editor opens; a save then writes a new one and keeps it in history/.
    void aDamagedCommentsFileIsNamedAndKept()
    {
        QVERIFY(WriteSampleConfiguration(m, Path("TEST.QLV"), {}));
        const QByteArray damaged = QByteArray("Pforte Nord\r\n").repeated(10);
        QVERIFY(WriteBytes(Path("TEST.BGT"), damaged));
        e = std::make_unique<EditorWindow>(program, m, messages, dialogs);
        QVERIFY(e->Loaded());
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].prompt, CatalogueText(Text::CommentsNotRead, 0) + u' '
                                               + CatalogueText(Text::CommentsTooFewLines, 0).arg(Path("TEST.BGT"), "10")
                                               + ". " + CatalogueText(Text::CommentsKeptInHistory, 0));
        QCOMPARE(m.ListComment[0], ResetCommentText);
        QVERIFY(e->SaveConfiguration());
        QCOMPARE(Bytes(Path("TEST.BGT")).count("\r\n"), 2001);
        const QStringList kept = QDir(Path("history")).entryList({"*.BGT"});
        QVERIFY(std::any_of(kept.begin(), kept.end(), [&](const QString& name) { return Bytes(Path("history/") + name) == damaged; }));
    }

    void saveAndSaveAsRoundTrip()
    {
        QVERIFY(Open());
        const QString original = m.CurrentConfigFile;
        const QString other = Path("OTHER.QLV");
        QFile::copy(original, other);
        const QByteArray otherBefore = Bytes(other);
        // The file readers see the image and the comments the editor shows.
        auto readsBack = [&](const QString& path) {
            Configuration back;
            LoadComments(back, path, false);
            return ReadConfigurationFile(back, path) && std::equal(back.ConfigImage.begin(), back.ConfigImage.begin() + 2048, m.ConfigImage.begin())
                   && back.ListComment == m.ListComment;
        };
        Press("O1(0)");
        m.ListComment[5] = QStringLiteral("neuer Text  ");
        // Save as onto an existing file: No writes nothing, not even the comments.
        dialogs.names << other << other << Path("missing-folder/NEW.QLV");
        messages.answers << Answer::No << Answer::Yes;
        QVERIFY(!e->SaveConfigurationAs());
        QVERIFY(Bytes(other) == otherBefore && !QFile::exists(Path("OTHER.BGT")));
        QVERIFY(e->SaveConfigurationAs());
        QCOMPARE(e->windowTitle(), QStringLiteral("OTHER.QLV[*]"));
        QCOMPARE(m.ChangeCount, qint16(0));
        QVERIFY(readsBack(other));
        Press("O1(7)");   // a later save goes to the file that was opened
        QVERIFY(e->SaveConfiguration());
        QVERIFY(readsBack(original));
        Press("O1(1)");   // a failed save as keeps the changes
        QVERIFY(!e->SaveConfigurationAs());
        QCOMPARE(m.ChangeCount, qint16(1));
    }

    // Save as writes a name that Load accepts: ".QLV" is appended unless the
    // name ends in ".QLV" or ".qlv"; the comments file and the overwrite
    // question follow the name written.
    void saveAsName_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("exists");
        QTest::newRow("proposed name") << "VARDELO" << "VARDELO.QLV" << false;
        QTest::newRow("proposed name, file exists") << "VARDELO" << "VARDELO.QLV" << true;
        QTest::newRow("capitals kept") << "door.QLV" << "door.QLV" << false;
        QTest::newRow("small letters kept") << "door.qlv" << "door.qlv" << false;
        QTest::newRow("mixed letters") << "door.Qlv" << "door.Qlv.QLV" << false;
        QTest::newRow("other extension") << "door.txt" << "door.txt.QLV" << false;
    }
    void saveAsName()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, exists);
        QFETCH(QString, written);
        QVERIFY(Open());
        written = dir.filePath(written);
        QFile::remove(written);
        QFile::remove(dir.filePath(chosen));
        if (exists)
            QVERIFY(QFile::copy(m.CurrentConfigFile, written));
        Press("O1(0)");
        dialogs.names << dir.filePath(chosen);
        QVERIFY(e->SaveConfigurationAs());
        QCOMPARE(messages.shown.size(), exists ? 1 : 0);
        if (exists)
            QCOMPARE(messages.shown[0].prompt, TableText(program, Text::OverwriteQuestionStart) + written
                                                   + TableText(program, Text::OverwriteQuestionEnd));
        QCOMPARE(e->windowTitle(), QFileInfo(written).fileName() + QStringLiteral("[*]"));
        QCOMPARE(QFile::exists(dir.filePath(chosen)), chosen == written.section(u'/', -1));
        Configuration back;
        QCOMPARE(LoadConfigFile(program, back, written, messages), LoadOutcome::Loaded);
        QCOMPARE(back.ConfigImage[1], m.ConfigImage[1]);
        QVERIFY(QFile::exists(CommentFileNameFor(written)));
    }

    // A failed save (missing folder, full disk) reports it, keeps ChangeCount,
    // the old file and the open editor. The question is asked once.
    void closePrompt_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("failure");
        QTest::newRow("unchanged") << false << Answer::Yes << "";
        QTest::newRow("changed, No") << true << Answer::No << "";
        QTest::newRow("changed, Yes") << true << Answer::Yes << "";
        QTest::newRow("save fails") << true << Answer::Yes << "folder";
        QTest::newRow("comments cannot be replaced") << true << Answer::Yes << "comments";
#ifdef Q_OS_UNIX
        QTest::newRow("disk full") << true << Answer::Yes << "disk";
#endif
    }
    void closePrompt()
    {
        QFETCH(bool, changed);
        QFETCH(Answer, answer);
        QFETCH(QString, failure);
        QVERIFY(Open());
        const bool saved = changed && answer == Answer::Yes && failure.isEmpty();
        const QByteArray before = Bytes(m.CurrentConfigFile);
        if (changed)
            Press("O1(0)");
        if (failure == "folder")
            m.CurrentConfigFile = Path("missing-folder/TEST.QLV");
        if (failure == "comments")   // the pair stays whole: the configuration is not replaced either
            QVERIFY(QFile::remove(Path("TEST.BGT")) && QDir().mkdir(Path("TEST.BGT")));
        messages.answers.enqueue(answer);
        {
#ifdef Q_OS_UNIX
            std::optional<FileSizeLimit> full;
            if (failure == "disk")
                QVERIFY(full.emplace(4000).Active());
#endif
            Child<QAction>("mnubeend")->trigger();
        }
        QStringList prompts{TableText(program, Text::AskToSave)};
        prompts << (failure == "disk"       ? TableText(program, Text::DiskFull)
                    : failure == "comments" ? CatalogueText(Text::SaveFailed, 0) + Path("TEST.BGT")
                                            : CatalogueText(Text::SaveFailed, 0) + m.CurrentConfigFile);
        QCOMPARE(messages.shown.size(), (changed ? 1 : 0) + (failure.isEmpty() ? 0 : 1));
        for (int i = 0; i < messages.shown.size(); ++i)
            QCOMPARE(messages.shown[i].prompt, prompts[i]);
        QCOMPARE(e->isVisible(), !failure.isEmpty());
        QCOMPARE(Bytes(Path("TEST.QLV")) != before, saved);
        QCOMPARE(m.ChangeCount, qint16(changed && !saved ? 1 : 0));
    }

    // The title names the file alike after a read, a load and a save as,
    // marked while edits are unsaved. The status line names the file opened
    // and says what a save, a save as, an export and an import did.
    void titleAndStatusLine_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("status");   // %1: the folder
        const QString cards = QStringLiteral(" (301 Karte(n))");   // the sample's records less its empty places
        QTest::newRow("opened after a read") << "read" << "VARDELO.QLV" << "%1/VARDELO.QLV";
        QTest::newRow("opened after a load") << "load" << "TEST.QLV" << "%1/TEST.QLV";
        QTest::newRow("edited") << "edit" << "TEST.QLV*" << "%1/TEST.QLV";
        QTest::newRow("saved") << "save" << "TEST.QLV" << "Gespeichert: %1/TEST.QLV" + cards;
        QTest::newRow("saved as") << "save as" << "OTHER.QLV" << "Gespeichert: %1/OTHER.QLV" + cards;
        QTest::newRow("exported") << "export" << "TEST.QLV*" << "Exportiert: %1/cards.csv" + cards;
        QTest::newRow("imported") << "import" << "TEST.QLV*"
                                  << "Importiert aus %1/in.csv: 2 Karte(n), noch nicht gespeichert";
    }
    void titleAndStatusLine()
    {
        QFETCH(QString, command);
        QFETCH(QString, title);
        QFETCH(QString, status);
        const QString folder = QDir::toNativeSeparators(dir.path());
        if (command == "read") {   // the read's file, named as in the folder the program works in
            const QString previous = QDir::currentPath();
            QDir::setCurrent(dir.path());
            QVERIFY(WriteSampleConfiguration(m, QStringLiteral("VARDELO.QLV")));
            e = std::make_unique<EditorWindow>(program, m, messages, dialogs);
            e->show();
            QDir::setCurrent(previous);
        } else {
            QVERIFY(Open());
        }
        QVERIFY(e->Loaded());
        QCOMPARE(e->windowHandle()->title(), command == "read" ? "VARDELO.QLV" : "TEST.QLV");
        if (command != "read" && command != "load")
            Press("O1(0)");
        QVERIFY(WriteBytes(Path("in.csv"), "list,card,comment\r\n1,11112222,Anna\r\n1,33334444,Bert\r\n"));
        QFile::remove(Path("OTHER.QLV"));
        if (command == "save")
            QVERIFY(e->SaveConfiguration());
        dialogs.names << Path(command == "export" ? "cards.csv" : command == "import" ? "in.csv" : "OTHER.QLV");
        if (command == "save as")
            QVERIFY(e->SaveConfigurationAs());
        if (command == "export" || command == "import")
            Child<QAction>(command == "export" ? "mnuexport" : "mnuimport")->trigger();
        QCOMPARE(e->windowHandle()->title(), title);
        QCOMPARE(e->StatusLine()->currentMessage(), status.arg(folder));
        QVERIFY(messages.shown.isEmpty());
    }

    // A track in use with record length 0: its lists stay empty, nothing hangs.
    void zeroRecordLengthShowsEmptyLists()
    {
        QVERIFY(Open({AllLists, 3, 0}));
        QCOMPARE(QList<int>({e->ListGrid(1)->Rows(), e->ListGrid(2)->Rows(), e->ListGrid(3)->Rows()}), QList<int>({2, 46, 2}));
        Press("Op2");   // a layout with the length still 0 shows the lists empty
        QCOMPARE(e->ListGrid(1)->Rows(), 2);
        Overtype(Child<QLineEdit>("Text2"), "6");   // a valid length makes track 2 usable again
        Tabs()->setFocus(Qt::TabFocusReason);
        QCOMPARE(e->ListGrid(1)->Rows(), (758 - 272) / 3 + 2);
    }
};

QTEST_MAIN(EditorWindowTest)
#include "tst_editorwindow.moc"
