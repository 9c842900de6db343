#include "texts/cardlisttexts.h"
#include "texts/catalogue.h"
#include "common/editorfixture.h"
#include "common/fakes.h"
#include "common/filebytes.h"
#include "common/modalscript.h"
#include "config/cardlists.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "editor/editorwindow.h"
#include "editor/listsearch.h"
#include "platform/ui/colours.h"
#include "platform/ui/gridwidget.h"
#include "platform/ui/qtfiledialogs.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QtTest>

// The card lists through the editor as an operator uses them: the File
// menu's export and import, and the search with Ctrl+F, F3 and Shift+F3.
// The sample configuration has all four lists (121, 44, 121, 21 rows), the
// comment "Karte N" on row N and record k of each list starting with k's
// two digits (so record 17 reads "71000000").
class EditorCardListsTest : public QObject, EditorFixture {
    Q_OBJECT

    void Write(const QString& name, const QByteArray& content) { QVERIFY(WriteBytes(Path(name), content)); }
    // Opens the File menu with Alt+D and picks the item that many rows down.
    static void FileMenuItem(int down)
    {
        ModalScript::Key(Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        for (int i = 0; i < down; ++i)
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
    }
    // "list:record" of the grid row the search marked, as the tab shows it.
    QString Hit() const
    {
        const int tab = Tabs()->currentIndex();
        for (int list : {2 * tab - 1, 2 * tab}) {
            const GridWidget* grid = tab == 1 || tab == 2 ? e->ListGrid(list) : nullptr;
            if (grid && grid->Row() >= 2 && grid->CellBackColorAt(grid->Row() * 2) == ColourText::Red)
                return QStringLiteral("%1:%2").arg(list).arg(grid->Row() - 2);
        }
        return QStringLiteral("tab %1").arg(tab);
    }

private slots:
    void init() { Reset(); }

    // Import from the File menu, chosen with the keys: all rows or none, and
    // an import can still be left without saving.
    void import_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("message");   // empty: taken
        QTest::newRow("taken") << "in.csv" << QByteArray("list;card;comment\r\n3;12345678;Neu gesperrt\r\n1;87654321;\r\n") << "";
        QTest::newRow("bad rows") << "in.csv" << QByteArray("list,card\n1,87654321\n1,123\n5,12345678\n")
                                  << "Nichts wurde geändert. Diese Zeilen von %1 können nicht übernommen werden:\n\n"
                                     "Zeile 3: 8 Ziffern erwartet, 3 gefunden\nZeile 4: unbekannte Liste „5“ (1 bis 4)";
        QTest::newRow("a folder") << "folder" << QByteArray()
                                  << "Die Datei kann nicht gelesen werden: %1 ist ein Ordner, keine Datei";
    }
    void import()
    {
        QFETCH(QString, chosen);
        QFETCH(QByteArray, csv);
        QFETCH(QString, message);
        QVERIFY(Open());
        Write("in.csv", csv);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder")));
        const auto image = m.ConfigImage;
        const QByteArray saved = Bytes(Path("TEST.QLV"));
        dialogs.names.enqueue(Path(chosen));
        FileMenuItem(3);
        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(dialogs.requests[0].title, CatalogueText(Text::ImportTitle, 0));
        if (!message.isEmpty()) {
            QCOMPARE(messages.shown.size(), 1);
            QCOMPARE(messages.shown[0].prompt, message.arg(Path(chosen)));
            QCOMPARE(messages.shown[0].title, CatalogueText(Text::NotImportedTitle, 0));
            QVERIFY(m.ConfigImage == image);
            QCOMPARE(m.ChangeCount, qint16(0));
            QCOMPARE(e->ListGrid(1)->TextAt(2 * 3), QStringLiteral("10000000"));
            return;
        }
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(m.ChangeCount, qint16(1));
        QCOMPARE(e->ListGrid(3)->TextAt(2 * 2) + u'|' + e->ListGrid(3)->TextAt(2 * 2 + 1), QStringLiteral("12345678|Neu gesperrt"));
        QCOMPARE(e->ListGrid(3)->TextAt(2 * 3) + u'|' + e->ListGrid(3)->TextAt(2 * 3 + 1), QStringLiteral("00000000|----------"));
        QCOMPARE(e->ListGrid(1)->TextAt(2 * 2) + u'|' + e->ListGrid(1)->TextAt(2 * 2 + 1), QStringLiteral("87654321|----------"));
        QCOMPARE(e->ListGrid(2)->TextAt(2 * 3), DecodeRowData(m, m.RowSlot[121 + 1], 12));   // list 2 as it was
        QCOMPARE(int(m.ConfigImage[m.RowSlot[165]]), 0x21);
        // Left without saving: the files stay as they were.
        messages.answers.enqueue(Messages::Answer::No);
        e->reject();
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(!e->isVisible());
        QCOMPARE(Bytes(Path("TEST.QLV")), saved);
    }

    // Export from the File menu: what the grids show, in a file beside the
    // configuration; an existing file is overwritten only on Yes.
    void exportWritesTheLists_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<Messages::Answer>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("name without extension") << "out" << false << Messages::Answer::Yes << true;
        QTest::newRow("existing file, Yes") << "out.csv" << true << Messages::Answer::Yes << true;
        QTest::newRow("existing file, No") << "out.CSV" << true << Messages::Answer::No << false;
    }
    void exportWritesTheLists()
    {
        QFETCH(QString, typed);
        QFETCH(bool, exists);
        QFETCH(Messages::Answer, answer);
        QFETCH(bool, written);
        QVERIFY(Open());
        const QString target = Path(typed.endsWith(".CSV") ? typed : QStringLiteral("out.csv"));
        if (exists)
            Write(QFileInfo(target).fileName(), "old");
        messages.answers.enqueue(answer);
        dialogs.names.enqueue(Path(typed));
        FileMenuItem(2);
        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(dialogs.requests[0].proposedName, QStringLiteral("TEST.csv"));
        QCOMPARE(QDir(dialogs.requests[0].initialDirectory), QDir(dir.path()));
        QCOMPARE(messages.shown.size(), exists ? 1 : 0);
        QCOMPARE(Bytes(target), written ? ExportCardListsCsv(m, ListCaptions(0)) : QByteArray("old"));
        QVERIFY(Bytes(target).contains("\r\n1,Berechtigungen Spur 2,2,10000000,Karte 1\r\n") || !written);
        QCOMPARE(m.ChangeCount, qint16(0));
    }

    // The file dialog in its own modal loop: the operator types the name and presses Enter.
    void importThroughTheFileDialog()
    {
        QtFileDialogs realDialogs;
        fileDialogs = &realDialogs;
        QVERIFY(Open());
        Write("cards.csv", "list,card,comment\n2,123456789012345678901234,Servicekarte\n");
        bool typed = false;
        ModalScript script;
        script.Then<QFileDialog>([&](QFileDialog& dialog) {
            auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            // The dialog opens in the configuration's folder; the filter's
            // extension completes the name. The first Enter may take the
            // name completer's proposal, the next one opens.
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(name, QStringLiteral("cards"));
            for (int i = 0; i < 3 && dialog.isVisible(); ++i)
                ModalScript::Key(Qt::Key_Return);
            typed = !dialog.isVisible();
            if (!typed)
                dialog.reject();   // fails below instead of waiting forever
        });
        e->findChild<QAction*>(QStringLiteral("mnuimport"))->trigger();
        VERIFY_MODALS_DONE(script);
        QVERIFY(typed);
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(e->ListGrid(2)->TextAt(2 * 2 + 1), QStringLiteral("Servicekarte"));
        QCOMPARE(m.ChangeCount, qint16(1));
    }

    // Ctrl+F from the first tab, then typing, F3 and Shift+F3 ("F", "B").
    void find_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("presses");
        QTest::addColumn<QString>("hit");
        QTest::newRow("a comment in list 3 from the first tab") << "karte 170" << "" << "3:5";
        QTest::newRow("card digits") << "71" << "" << "1:17";
        QTest::newRow("next hit in another list") << "Karte 17" << "F" << "3:5";
        QTest::newRow("next and back") << "Karte 17" << "FB" << "1:17";
        QTest::newRow("back from the first wraps to the last") << "Karte 17" << "B" << "3:14";
        QTest::newRow("not found") << "xyz" << "F" << "tab 0";
    }
    void find()
    {
        QFETCH(QString, typed);
        QFETCH(QString, presses);
        QFETCH(QString, hit);
        QVERIFY(Open());
        const auto image = m.ConfigImage;
        ModalScript::Key(Qt::Key_F, Qt::ControlModifier);
        QLineEdit* field = e->Search().Field();
        QVERIFY(field->isVisible() && field->hasFocus());
        QTest::keyClicks(field, typed);
        for (QChar press : presses)
            ModalScript::Key(Qt::Key_F3, press == u'B' ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(Hit(), hit);
        QCOMPARE(e->Search().NotFoundShown(), hit == "tab 0");
        QCOMPARE(e->findChild<QLabel*>("FindNotFound")->text(), CatalogueText(Text::NotFound, 0));
        QVERIFY(field->hasFocus());
        QVERIFY(m.ConfigImage == image);
        QCOMPARE(m.ChangeCount, qint16(0));
        // Escape closes the field, not the editor.
        ModalScript::Key(Qt::Key_Escape);
        QVERIFY(!field->isVisible() && e->isVisible());
        QVERIFY(messages.shown.isEmpty());
    }
};

QTEST_MAIN(EditorCardListsTest)
#include "tst_cardlists.moc"
