// vardelo_screenshots [FOLDER]: pictures of the program's windows for a look
// by eye, as PNG files in FOLDER ("shots" when none is given), drawn from the
// same harnesses as the tests: the main window through a read, a write and a
// reset with its dialogs, and the editor's menus, search and a refused import,
// in all four languages; the write panel with the changes of a write and
// their details window. Run it under a virtual X server (see the README). It
// ends with status 1 when a window it photographs did not come.
#include "comm/sequences.h"
#include "common/democonfig.h"
#include "common/editorfixture.h"
#include "common/filebytes.h"
#include "common/mainwindowharness.h"
#include "common/modalscript.h"
#include "config/configuration.h"
#include "editor/listsearch.h"
#include "platform/ui/qtmessages.h"
#include "texts/catalogue.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QtTest>

namespace {

const QStringList Languages{"de", "en", "fr", "es"};

int LanguageOffset(const QString& language)
{
    return int(1000 * Languages.indexOf(language));
}

} // namespace

class Screenshots : public QObject {
    Q_OBJECT
public:
    // The folder is taken as it stands now: the harnesses change the working folder.
    explicit Screenshots(const QString& folder) : folder_(QDir(folder).absolutePath()) {}

private:
    QDir folder_;

    // Shows the window (a dialog run through the test seam is not shown by
    // anyone else) and saves it as name.png once it is on screen.
    bool Save(QWidget& window, const QString& name)
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window)
            && window.grab().save(folder_.absoluteFilePath(name + QStringLiteral(".png")));
    }

private slots:
    void initTestCase() { QVERIFY2(folder_.mkpath(QStringLiteral(".")), qPrintable(folder_.path())); }

    // main-*.png, start-*.png (the language window), Schnittstelle-*.png (the
    // interface dialog) and Passwort-*.png.
    void mainWindow()
    {
        for (const QString& language : Languages) {
            MainWindowHarness h(MainWindowHarness::LinkKind::Simulated,
                                QStringLiteral(" 1\r\n %1\r\n").arg(LanguageOffset(language)).toLatin1());
            const auto save = [&](QWidget& window, const QString& name) { QVERIFY(Save(window, name + u'-' + language)); };
            // Each dialog is photographed, then OK'd, given the password or cancelled.
            h.onModal = [&](QDialog& dialog) {
                save(dialog, dialog.objectName());
                if (dialog.objectName() == u"start")
                    MainWindowHarness::Press(dialog, "Command1");
                else if (dialog.objectName() == u"Passwort")
                    MainWindowHarness::EnterPassword(dialog, DemoPassword);
            };
            h.Start();
            h.clock.Advance(1000);
            save(*h.window, QStringLiteral("main-idle"));
            h.Trigger(QStringLiteral("mnuschnittst"));
            h.Trigger(QStringLiteral("mnuauslesen"));
            save(*h.window, QStringLiteral("main-readpanel"));
            h.Click(QStringLiteral("Taste1"));
            h.clock.Advance(4000);
            save(*h.window, QStringLiteral("main-reading"));
            h.messages.answers.enqueue(Messages::Answer::No);
            QVERIFY(h.ReadDone());
            h.files.names.enqueue(QDir::current().filePath(QStringLiteral("VARDELO.QLV")));
            h.Trigger(QStringLiteral("mnubeschreiben"));
            save(*h.window, QStringLiteral("main-writepanel"));
            h.Click(QStringLiteral("taste2"));
            h.clock.Advance(4000);
            save(*h.window, QStringLiteral("main-sending"));
            h.clock.Advance(9000);
            save(*h.window, QStringLiteral("main-reply"));
            QVERIFY(h.clock.RunUntil([&] { return !h.window->Session().Busy(); }, 30000));
            save(*h.window, QStringLiteral("main-written"));
            h.Trigger(QStringLiteral("mres"));
            h.clock.Advance(600);
            save(*h.window, QStringLiteral("main-reset"));
            // The next write panel starts from empty bars.
            h.Trigger(QStringLiteral("mnuauslesen"));
            h.Click(QStringLiteral("Taste1"));
            h.messages.answers.enqueue(Messages::Answer::No);
            QVERIFY(h.ReadDone());
            h.files.names.enqueue(QDir::current().filePath(QStringLiteral("VARDELO.QLV")));
            h.Trigger(QStringLiteral("mnubeschreiben"));
            save(*h.window, QStringLiteral("main-writepanel-again"));
        }
    }

    // main-writechanges-de.png and Aenderungen-de.png: the changes of a write
    // in the write panel and in the details window, through its own modal loop.
    void changesOfAWrite()
    {
        MainWindowHarness h(MainWindowHarness::LinkKind::Simulated);
        auto demo = std::make_unique<Configuration>();
        QVERIFY(h.ChooseEditedDemoForWrite(*demo));
        QVERIFY(Save(*h.window, QStringLiteral("main-writechanges-de")));
        h.window->ShowModal = nullptr;
        ModalScript script([&](QWidget& details) {
            (void)QTest::qWaitForWindowActive(&details);   // on a real screen, a little later
            QVERIFY(Save(details, QStringLiteral("Aenderungen-de")));
            ModalScript::Key(Qt::Key_Escape);
        });
        h.Click(QStringLiteral("ChangeDetails"));
        VERIFY_MODALS_DONE(script);
    }

    // file-menu-*.png, search-menu-*.png, find-hit-*.png, find-notfound-*.png
    // and import-refused-*.png: the editor on the sample configuration.
    void editorCardLists()
    {
        for (const QString& language : Languages) {
            EditorFixture f;
            QtMessages realMessages;
            f.messageBoxes = &realMessages;
            QVERIFY(f.Open({}, LanguageOffset(language)));
            const auto save = [&](QWidget* window, const QString& name) {
                QVERIFY(window && Save(*window, name + u'-' + language));
            };
            const auto popupOpen = [] { return QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }); };
            const QString fileMenu = CatalogueText(Text::EditorFileMenu, f.program.LanguageOffset);
            const QChar mnemonic = fileMenu.at(fileMenu.indexOf(u'&') + 1).toUpper();
            ModalScript::Key(Qt::Key(mnemonic.unicode()), Qt::AltModifier);
            QVERIFY(popupOpen());
            save(QApplication::activePopupWidget(), QStringLiteral("file-menu"));
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);   // on to the search menu
            QVERIFY(popupOpen());
            save(QApplication::activePopupWidget(), QStringLiteral("search-menu"));
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            ModalScript::Key(Qt::Key_F, Qt::ControlModifier);
            QTest::keyClicks(f.e->Search().Field(), QStringLiteral("Karte 17"));
            ModalScript::Key(Qt::Key_F3);
            save(f.e.get(), QStringLiteral("find-hit"));
            QTest::keyClicks(f.e->Search().Field(), QStringLiteral("x"));
            save(f.e.get(), QStringLiteral("find-notfound"));
            QVERIFY(WriteBytes(f.Path(QStringLiteral("bad.csv")),
                               "list;card;comment\r\n1;123;x\r\n7;12345678;y\r\n1;12345678;\xE2\x9C\x93\r\n"));
            f.dialogs.names.enqueue(f.Path(QStringLiteral("bad.csv")));
            ModalScript script;
            script.Then<QMessageBox>([&](QMessageBox& box) {
                save(&box, QStringLiteral("import-refused"));
                ModalScript::Key(Qt::Key_Return);
            });
            f.e->findChild<QAction*>(QStringLiteral("mnuimport"))->trigger();
            VERIFY_MODALS_DONE(script);
        }
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);   // as the tests draw
    const QStringList arguments = QApplication::arguments();
    Screenshots screenshots(arguments.value(1, QStringLiteral("shots")));
    return QTest::qExec(&screenshots, QStringList{arguments.first(), QStringLiteral("-silent")});
}

#include "screenshots.moc"
