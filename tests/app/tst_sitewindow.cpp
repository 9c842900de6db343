// The site window as the operator works it: opened from the main window's
// menu, through the real modal loops of the window, the password dialog, the
// write question, the editor and the messages, with real focus; its terminals
// simulated on the manual clock.
#include "app/ui/sitewindow.h"
#include "comm/sequences.h"
#include "comm/siteplan.h"
#include "common/democonfig.h"
#include "common/mainwindowharness.h"
#include "common/modalscript.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "platform/ui/qtmessages.h"
#include "platform/ui/windowmanners.h"
#include "texts/catalogue.h"
#include "texts/directorytexts.h"

#include <QMessageBox>

namespace {

using Kind = MainWindowHarness::LinkKind;

// Five terminals: two that hold a configuration (Tor 2 another one than it
// should), one without a configuration, one whose port does not exist and
// one that never answers. Passwords from a file, the environment, and the
// prompt for those that name none.
const QByteArray SiteToml = R"(name = "Werk 2"
[[terminal]]
name = "Tor 1"
port = "sim:mem-tor1.QLV,id=TOR1 SIM 1.00"
password-file = "tor1.pw"
configuration = "tor1.QLV"
[[terminal]]
name = "Tor 2"
port = "sim:mem-tor2.QLV,id=TOR2 SIM 1.00"
password-env = "VARDELO_TEST_TOR2"
configuration = "tor2.QLV"
[[terminal]]
name = "Lager"
port = "sim:mem-lager.QLV,id=LAGER SIM 1.00"
[[terminal]]
name = "Keller"
port = "/dev/ttyVARDELO404"
[[terminal]]
name = "Tor 3"
port = "sim:mem-tor3.QLV,silent"
password-file = "tor1.pw"
configuration = "tor1.QLV"
)";
enum Row { Tor1, Tor2, Lager, Keller, Tor3 };
const QStringList Names{"Tor 1", "Tor 2", "Lager", "Keller", "Tor 3"};

// What the operator sees: one state word per row.
using States = QStringList;

QString Word(SiteResult result)
{
    return SiteStateWord(result, 0);
}

struct SiteRig {
    QtMessages messages;
    MainWindowHarness h{Kind::Simulated};
    std::unique_ptr<Configuration> wanted = std::make_unique<Configuration>();   // tor1.QLV, tor2.QLV
    std::unique_ptr<Configuration> other = std::make_unique<Configuration>();    // Tor 2 holds this
    QDir folder;

    explicit SiteRig(const QByteArray& toml = SiteToml)
        : folder(h.dir.filePath(QStringLiteral("site")))
    {
        folder.mkpath(QStringLiteral("."));
        BuildDemoConfiguration(*wanted);
        BuildDemoConfiguration(*other);
        other->ConfigImage[Slot::DoorOpenTime] = 9;
        for (const char* name : {"tor1.QLV", "tor2.QLV", "mem-tor1.QLV", "mem-lager.QLV", "mem-tor3.QLV"})
            WriteConfigurationFile(*wanted, folder.filePath(QLatin1String(name)));
        WriteConfigurationFile(*other, folder.filePath(QStringLiteral("mem-tor2.QLV")));
        Write(QStringLiteral("tor1.pw"), DemoPassword.toLatin1() + "\n");
        QFile(folder.filePath(QStringLiteral("tor1.pw"))).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        Write(QStringLiteral("site.toml"), toml);
        h.realMessages = &messages;
        h.StartAndPassLanguageWindow(true);
        // From here on every dialog runs its own loop.
        h.window->ShowModal = nullptr;
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        QApplication::setActiveWindow(h.window.get());
    }
    void Write(const QString& name, const QByteArray& content) const
    {
        QDir().mkpath(QFileInfo(folder.filePath(name)).path());
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    // A terminal's last read, as a read leaves it in its folder.
    void PutRead(int row, const Configuration& read) const
    {
        folder.mkpath(Names.at(row));
        QVERIFY(WriteConfigurationFile(read, ReadFile(row)));
    }
    QString ReadFile(int row) const { return folder.filePath(Names.at(row) + QStringLiteral("/VARDELO.QLV")); }

    // Opens the site window from the menu; steps work it (the first gets
    // the window).
    void Open(const QString& site = QStringLiteral("site.toml"))
    {
        h.files.names.enqueue(folder.filePath(site));
        h.Trigger(QStringLiteral("mnustandort"));
    }
    static SiteWindow& Window(QWidget& modal) { return static_cast<SiteWindow&>(modal); }
    static States Shown(SiteWindow& w)
    {
        States states;
        for (int row = 0; row < w.Table()->rowCount(); ++row)
            states << w.Table()->item(row, SiteWindow::State)->text();
        return states;
    }
    static QString Cell(SiteWindow& w, int row, int column) { return w.Table()->item(row, column)->text(); }
    static QPushButton* Button(SiteWindow& w, const char* name) { return w.findChild<QPushButton*>(QLatin1String(name)); }
    // Tick by tick until the run has ended; the events go round between
    // ticks, as the program's loop lets them.
    bool RunEnds(SiteWindow& w)
    {
        return h.clock.RunUntil([&] {
            QCoreApplication::processEvents();
            return !w.Run().Running();
        }, 60000);
    }
    // The operator's double-click: a click, then the second press.
    static void DoubleClick(SiteWindow& w, int row, int column)
    {
        QTableWidget* table = w.Table();
        const QPoint at = table->visualItemRect(table->item(row, column)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    static void ClickRow(SiteWindow& w, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTableWidget* table = w.Table();
        const QRect cell = table->visualItemRect(table->item(row, SiteWindow::Name));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, cell.center());
    }
};

// Three terminals that hold what they should, each with its password file:
// what a plan changes is all that a write does.
const QByteArray ThreeTerminals = R"(name = "Werk 3"
[[terminal]]
name = "Tor 1"
port = "sim:mem-tor1.QLV,id=TOR1 SIM 1.00"
password-file = "tor1.pw"
configuration = "tor1.QLV"
[[terminal]]
name = "Tor 2"
port = "sim:mem-tor2b.QLV,id=TOR2 SIM 1.00"
password-file = "tor1.pw"
configuration = "tor2.QLV"
[[terminal]]
name = "Lager"
port = "sim:mem-lager.QLV,id=LAGER SIM 1.00"
password-file = "tor1.pw"
configuration = "lager.QLV"
)";

bool SameImage(const QString& a, const QString& b)
{
    auto first = std::make_unique<Configuration>();
    auto second = std::make_unique<Configuration>();
    return ReadConfigurationFile(*first, a) && ReadConfigurationFile(*second, b) && first->ConfigImage == second->ConfigImage;
}

// A step whose check failed returns early: the window it works is closed
// all the same, so that the test goes on to report the failure.
auto ClosedOnReturn(QWidget& modal)
{
    return qScopeGuard([&modal] {
        if (auto* dialog = qobject_cast<QDialog*>(&modal); dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });
}

// A step for a message box: notes its text and answers it with a key.
ModalScript::Step Answer(QString& text, int key = Qt::Key_Return, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return [&text, key, modifiers](QWidget& box) {
        const auto closed = ClosedOnReturn(box);
        text = static_cast<QMessageBox&>(box).text();
        ModalScript::Key(key, modifiers);
    };
}

QString FocusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

class SiteWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        WindowManners::Install();
        qunsetenv("VARDELO_PASSWORD");
        qputenv("VARDELO_TEST_TOR2", DemoPassword.toLatin1());
    }

    // Read with nothing chosen reads every terminal at once: the password
    // the site file gives none is asked once; each row shows a bar while its
    // terminal works, then its state, identification and the time of the
    // read, coloured; a terminal that fails names its cause and the others
    // are read all the same, each into its folder. The main window lets go
    // of its port meanwhile.
    void readAll()
    {
        SiteRig rig;
        ModalScript script;
        QStringList barsWhileReading;
        script.Then([&](QWidget& modal) {
            const auto closed = ClosedOnReturn(modal);
            SiteWindow& w = SiteRig::Window(modal);
            QCOMPARE(modal.windowTitle(), QStringLiteral("Standort: Werk 2"));
            QCOMPARE(FocusName(), QStringLiteral("Terminals"));
            QVERIFY(!rig.h.link->IsOpen());
            const QString unknown = Word(SiteResult::Unknown);
            QCOMPARE(SiteRig::Shown(w), States({unknown, unknown, unknown, unknown, unknown}));
            QVERIFY(!SiteRig::Button(w, "Stop")->isEnabled());
            QTest::mouseClick(SiteRig::Button(w, "Read"), Qt::LeftButton);
            QVERIFY(SiteRig::Button(w, "Stop")->isEnabled());
            QVERIFY(!SiteRig::Button(w, "Read")->isEnabled());
            rig.h.clock.Advance(4000);
            for (int row = 0; row < w.Table()->rowCount(); ++row)
                if (auto* bar = qobject_cast<QProgressBar*>(w.Table()->cellWidget(row, SiteWindow::State)); bar && bar->value() > 0)
                    barsWhileReading << Names.at(row);
            QVERIFY(rig.RunEnds(w));
            QVERIFY(!w.Table()->cellWidget(Tor1, SiteWindow::State));
            const QString ok = Word(SiteResult::Ok), failed = Word(SiteResult::Failed);
            QCOMPARE(SiteRig::Shown(w), States({ok, ok, ok, failed, failed}));
            QCOMPARE(SiteRig::Cell(w, Tor1, SiteWindow::Identification), QStringLiteral("TOR1 SIM 1.00"));
            QCOMPARE(SiteRig::Cell(w, Lager, SiteWindow::Identification), QStringLiteral("LAGER SIM 1.00"));
            QVERIFY(!SiteRig::Cell(w, Tor2, SiteWindow::LastRead).isEmpty());
            QVERIFY(SiteRig::Cell(w, Keller, SiteWindow::LastRead).isEmpty());
            QVERIFY2(SiteRig::Cell(w, Keller, SiteWindow::LastError).contains(QStringLiteral("/dev/ttyVARDELO404")),
                     qPrintable(SiteRig::Cell(w, Keller, SiteWindow::LastError)));
            QVERIFY2(SiteRig::Cell(w, Tor3, SiteWindow::LastError).contains(CatalogueText(Text::NoConnection, 0)),
                     qPrintable(SiteRig::Cell(w, Tor3, SiteWindow::LastError)));
            QVERIFY(SiteRig::Cell(w, Tor1, SiteWindow::LastError).isEmpty());
            QCOMPARE(w.Table()->item(Tor1, SiteWindow::Name)->background().color(), SiteWindow::StateColour(SiteResult::Ok));
            QCOMPARE(w.Table()->item(Keller, SiteWindow::LastError)->background().color(),
                     SiteWindow::StateColour(SiteResult::Failed));
            // Once more: the password typed once is still known.
            QTest::mouseClick(SiteRig::Button(w, "Read"), Qt::LeftButton);
            QVERIFY(rig.RunEnds(w));
            QCOMPARE(SiteRig::Shown(w), States({ok, ok, ok, failed, failed}));
            ModalScript::Key(Qt::Key_Escape);
        });
        script.Then([&](QWidget& dialog) {
            const auto closed = ClosedOnReturn(dialog);
            QCOMPARE(dialog.objectName(), QStringLiteral("Passwort"));
            QCOMPARE(FocusName(), QStringLiteral("Text1"));
            ModalScript::Type(DemoPassword);
            ModalScript::Key(Qt::Key_Return);
        });
        rig.Open();
        VERIFY_MODALS_DONE(script);
        QCOMPARE(barsWhileReading, QStringList({"Tor 1", "Tor 2", "Lager"}));
        QVERIFY(rig.h.link->IsOpen());
        QVERIFY(SameImage(rig.ReadFile(Tor1), rig.folder.filePath(QStringLiteral("mem-tor1.QLV"))));
        QVERIFY(SameImage(rig.ReadFile(Tor2), rig.folder.filePath(QStringLiteral("mem-tor2.QLV"))));
        QVERIFY(SameImage(rig.ReadFile(Lager), rig.folder.filePath(QStringLiteral("mem-lager.QLV"))));
        QVERIFY(!QFileInfo::exists(rig.ReadFile(Keller)));
        QVERIFY(!QFileInfo::exists(rig.ReadFile(Tor3)));
    }

    // Compare touches only the chosen rows (all when none is chosen); it
    // reads the folders, not the line.
    void compareSelection_data()
    {
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<States>("after");
        const QString equal = Word(SiteResult::Equal), differs = Word(SiteResult::Differs),
                      unknown = Word(SiteResult::Unknown), skipped = Word(SiteResult::Skipped), ok = Word(SiteResult::Ok);
        // On opening Tor 1 held its configuration and Tor 2 did not; then
        // the two reads changed places.
        QTest::newRow("the first row") << QList<int>{Tor1} << States{differs, differs, ok, unknown, unknown};
        QTest::newRow("two rows") << QList<int>{Tor2, Lager} << States{equal, equal, skipped, unknown, unknown};
        QTest::newRow("none chosen: all") << QList<int>{} << States{differs, equal, skipped, skipped, unknown};
    }
    void compareSelection()
    {
        QFETCH(QList<int>, chosen);
        QFETCH(States, after);
        SiteRig rig;
        rig.PutRead(Tor1, *rig.wanted);
        rig.PutRead(Tor2, *rig.other);
        rig.PutRead(Lager, *rig.wanted);
        ModalScript script;
        script.Then([&](QWidget& modal) {
            const auto closed = ClosedOnReturn(modal);
            SiteWindow& w = SiteRig::Window(modal);
            const QString equal = Word(SiteResult::Equal), differs = Word(SiteResult::Differs),
                          unknown = Word(SiteResult::Unknown), ok = Word(SiteResult::Ok);
            QCOMPARE(SiteRig::Shown(w), States({equal, differs, ok, unknown, unknown}));
            rig.PutRead(Tor1, *rig.other);
            rig.PutRead(Tor2, *rig.wanted);
            for (int row : chosen)
                SiteRig::ClickRow(w, row, Qt::ControlModifier);
            QTest::mouseClick(SiteRig::Button(w, "Compare"), Qt::LeftButton);
            QVERIFY(!w.Run().Running());
            QCOMPARE(SiteRig::Shown(w), after);
            ModalScript::Key(Qt::Key_Escape);
        });
        rig.Open();
        VERIFY_MODALS_DONE(script);
    }

    // Stop breaks the reads under way off: their rows say skipped, nothing
    // is stored, and the buttons come back.
    void stop()
    {
        SiteRig rig;
        ModalScript script;
        script.Then([&](QWidget& modal) {
            const auto closed = ClosedOnReturn(modal);
            SiteWindow& w = SiteRig::Window(modal);
            QTest::mouseClick(SiteRig::Button(w, "Read"), Qt::LeftButton);
            rig.h.clock.Advance(3000);
            QTest::mouseClick(SiteRig::Button(w, "Stop"), Qt::LeftButton);
            QVERIFY(rig.RunEnds(w));
            const QString skipped = Word(SiteResult::Skipped), failed = Word(SiteResult::Failed);
            QCOMPARE(SiteRig::Shown(w), States({skipped, skipped, skipped, failed, skipped}));
            QVERIFY(SiteRig::Button(w, "Read")->isEnabled());
            QVERIFY(!SiteRig::Button(w, "Stop")->isEnabled());
            QVERIFY(!w.Table()->cellWidget(Tor1, SiteWindow::State));
            ModalScript::Key(Qt::Key_Escape);
        });
        script.Then([&](QWidget& dialog) {
            const auto closed = ClosedOnReturn(dialog);
            ModalScript::Type(DemoPassword);
            ModalScript::Key(Qt::Key_Return);
        });
        rig.Open();
        VERIFY_MODALS_DONE(script);
        for (int row : {Tor1, Tor2, Lager})
            QVERIFY(!QFileInfo::exists(rig.ReadFile(row)));
    }

    // A write asks once; Escape is no Yes and nothing is written. Yes reads
    // the chosen terminals, writes the one that differs and says after what
    // each one came to.
    void write_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << false;
        QTest::newRow("Alt+N") << int(Qt::Key_N) << false;
        QTest::newRow("Return: Yes") << int(Qt::Key_Return) << true;
    }
    void write()
    {
        QFETCH(int, answer);
        QFETCH(bool, written);
        SiteRig rig;
        const QString memory = rig.folder.filePath(QStringLiteral("mem-tor2.QLV"));
        QString question;
        QString outcome;
        ModalScript script;
        script.Then([&](QWidget& modal) {
            const auto closed = ClosedOnReturn(modal);
            SiteWindow& w = SiteRig::Window(modal);
            SiteRig::ClickRow(w, Tor1);
            SiteRig::ClickRow(w, Tor2, Qt::ControlModifier);
            QTest::mouseClick(SiteRig::Button(w, "Write"), Qt::LeftButton);
            QCOMPARE(w.Run().Running(), written);
            QVERIFY(rig.RunEnds(w));
            const QString unknown = Word(SiteResult::Unknown);
            const States after = written ? States{Word(SiteResult::Equal), Word(SiteResult::Ok), unknown, unknown, unknown}
                                         : States{unknown, unknown, unknown, unknown, unknown};
            QCOMPARE(SiteRig::Shown(w), after);
            QCOMPARE(SiteRig::Cell(w, Tor2, SiteWindow::LastWrite).isEmpty(), !written);
            QVERIFY(SiteRig::Cell(w, Tor1, SiteWindow::LastWrite).isEmpty());
            ModalScript::Key(Qt::Key_Escape);
        });
        script.Then(Answer(question, answer, answer == Qt::Key_N ? Qt::AltModifier : Qt::NoModifier));
        if (written)
            script.Then(Answer(outcome));
        // As after a read in the main window; a write in the site window
        // may have gone to the same terminal.
        rig.h.window->Session().State().TerminalRead = 1;
        rig.Open();
        VERIFY_MODALS_DONE(script);
        QCOMPARE(rig.h.window->Session().State().TerminalRead, qint16(written ? 0 : 1));
        QCOMPARE(question, CatalogueText(Text::SiteWriteQuestion, 0).arg(2) + QStringLiteral("\n\nTor 1, Tor 2"));
        QCOMPARE(SameImage(memory, rig.folder.filePath(QStringLiteral("tor2.QLV"))), written);
        if (written) {
            const QStringList lines = outcome.split(u'\n');
            QCOMPARE(lines.size(), 2);
            QVERIFY2(lines.at(0).startsWith(QStringLiteral("Tor 1: gleich")), qPrintable(outcome));
            QVERIFY2(lines.at(1).startsWith(QStringLiteral("Tor 2: ok – 1 Grundeinstellung(en) geändert")), qPrintable(outcome));
            QVERIFY(SameImage(rig.ReadFile(Tor2), rig.folder.filePath(QStringLiteral("tor2.QLV"))));
        }
    }

    // Closing the window while a write is under way stops the run, and the
    // window closes once the write has ended as a write does: the terminal
    // holds the whole new configuration.
    void closeDuringWrite()
    {
        SiteRig rig;
        const QString memory = rig.folder.filePath(QStringLiteral("mem-tor2.QLV"));
        ModalScript script;
        bool stillOpen = false;
        script.Then([&](QWidget& modal) {
            const auto closed = ClosedOnReturn(modal);
            SiteWindow& w = SiteRig::Window(modal);
            SiteRig::ClickRow(w, Tor2);
            QTest::mouseClick(SiteRig::Button(w, "Write"), Qt::LeftButton);
            QVERIFY(rig.h.clock.RunUntil([&] { return w.Table()->cellWidget(Tor2, SiteWindow::State)
                                                    && static_cast<QProgressBar*>(w.Table()->cellWidget(Tor2, SiteWindow::State))->value() > 500; },
                                         60000));
            modal.close();
            stillOpen = modal.isVisible();
            QVERIFY(rig.RunEnds(w));
        });
        script.Then([](QWidget& box) {
            const auto closed = ClosedOnReturn(box);
            ModalScript::Key(Qt::Key_Return);   // the question: Yes
        });
        script.Then([](QWidget& box) {
            const auto closed = ClosedOnReturn(box);
            ModalScript::Key(Qt::Key_Return);   // what the write did
        });
        rig.Open();
        VERIFY_MODALS_DONE(script);
        QVERIFY(stillOpen);
        QVERIFY(SameImage(memory, rig.folder.filePath(QStringLiteral("tor2.QLV"))));
    }

    // A double-click opens the terminal's last read in the editor, as a
    // load does; a terminal never read says so.
    void doubleClickOpensTheRead()
    {
        SiteRig rig;
        rig.PutRead(Tor2, *rig.other);
        ModalScript script;
        QString editorFile;
        int doorTime = 0;
        QString notRead;
        script.Then([&](QWidget& modal) {
            const auto closed = ClosedOnReturn(modal);
            SiteWindow& w = SiteRig::Window(modal);
            SiteRig::DoubleClick(w, Tor2, SiteWindow::Port);
            SiteRig::DoubleClick(w, Keller, SiteWindow::Name);
            ModalScript::Key(Qt::Key_Escape);
        });
        script.Then([&](QWidget& editor) {
            const auto closed = ClosedOnReturn(editor);
            QCOMPARE(editor.objectName(), QStringLiteral("vardelodatei"));
            editorFile = rig.h.m.CurrentConfigFile;
            doorTime = rig.h.m.ConfigImage[Slot::DoorOpenTime];
            ModalScript::Key(Qt::Key_Escape);
        });
        script.Then(Answer(notRead));
        rig.Open();
        VERIFY_MODALS_DONE(script);
        QCOMPARE(editorFile, rig.ReadFile(Tor2));
        QCOMPARE(doorTime, 9);
        QCOMPARE(notRead, CatalogueText(Text::HintRead, 0).arg(rig.ReadFile(Keller)));
    }

    // A site file that cannot be used is named with its line; no window opens.
    void badSiteFile_data()
    {
        QTest::addColumn<QByteArray>("toml");
        QTest::addColumn<QString>("line");
        QTest::newRow("syntax error") << QByteArray("name = \"Werk 2\"\n[[terminal]]\nname = \"Tor 1\nport = \"com1\"\n")
                                      << "Zeile 3";
        QTest::newRow("unknown key") << QByteArray("[[terminal]]\nname = \"Tor 1\"\nport = \"com1\"\npasword-file = \"x\"\n")
                                     << "Zeile 4";
        QTest::newRow("two terminals, one name")
            << QByteArray("[[terminal]]\nname = \"Tor 1\"\nport = \"com1\"\n[[terminal]]\nname = \"tor 1\"\nport = \"com2\"\n")
            << "Zeile 5";
    }
    void badSiteFile()
    {
        QFETCH(QByteArray, toml);
        QFETCH(QString, line);
        SiteRig rig(toml);
        ModalScript script;
        QString message;
        script.Then(Answer(message));
        rig.Open();
        VERIFY_MODALS_DONE(script);
        QVERIFY2(message.contains(line) && message.contains(QStringLiteral("site.toml")), qPrintable(message));
        QVERIFY(rig.h.link->IsOpen());
    }

    // Plan shows per terminal what the directory changes, and which rows it
    // changes; Apply asks, saves the changed configurations (the old ones
    // in history/) and writes them; a terminal whose list would overflow is
    // left as it was and says so in its row, the others go on; a directory
    // changed after the plan was shown is planned again, not applied.
    void planAndApply_data()
    {
        QTest::addColumn<QByteArray>("rows");          // beside the cards the terminals hold
        QTest::addColumn<bool>("changedAfterPlan");    // a card for Lager added once the plan is shown
        QTest::addColumn<States>("planned");
        QTest::addColumn<States>("applied");
        const QString equal = Word(SiteResult::Equal), differs = Word(SiteResult::Differs), ok = Word(SiteResult::Ok),
                      failed = Word(SiteResult::Failed);
        const QByteArray lager = "\"Neu, Nora\",10000999,,,,Lager,no\r\n";
        QByteArray guests;
        for (int i = 0; i < 600; ++i)
            guests += "Gast " + QByteArray::number(i) + ',' + QByteArray::number(30000000 + i) + ",,,,Tor 2,no\r\n";
        QTest::newRow("one change") << lager << false << States{equal, equal, differs} << States{equal, equal, ok};
        QTest::newRow("changed after the plan") << lager << true << States{equal, equal, differs} << States{equal, equal, ok};
        QTest::newRow("Tor 2 overflows") << lager + guests << false << States{equal, differs, differs}
                                         << States{equal, failed, ok};
    }
    void planAndApply()
    {
        QFETCH(QByteArray, rows);
        QFETCH(bool, changedAfterPlan);
        QFETCH(States, planned);
        QFETCH(States, applied);
        SiteRig rig(ThreeTerminals);
        for (const char* name : {"lager.QLV", "mem-tor2b.QLV"})
            QVERIFY(WriteConfigurationFile(*rig.wanted, rig.folder.filePath(QLatin1String(name))));
        for (int row : {Tor1, Tor2, Lager})
            rig.PutRead(row, *rig.wanted);
        const SiteFileRead site = ReadSiteFile(rig.folder.filePath(QStringLiteral("site.toml")), [](const QString&) { return QString(); });
        QVERIFY(site);
        const SiteDirectoryMade held = DirectoryFromSite(site.site, 0);
        QVERIFY(held);
        const QString directory = rig.folder.filePath(QStringLiteral("people.csv"));
        rig.Write(QStringLiteral("people.csv"), FormatDirectoryCsv(held.made.entries) + rows);
        QString changed, question, outcome;
        ModalScript script;
        script.Then([&](QWidget& modal) {
            const auto closed = ClosedOnReturn(modal);
            SiteWindow& w = SiteRig::Window(modal);
            QVERIFY(!SiteRig::Button(w, "Apply")->isEnabled());
            rig.h.files.names.enqueue(directory);
            QTest::mouseClick(SiteRig::Button(w, "Plan"), Qt::LeftButton);
            QCOMPARE(SiteRig::Shown(w), planned);
            const QString plan = w.PlanText();
            QVERIFY2(plan.contains(QStringLiteral("Lager – weicht ab")) && plan.contains(QStringLiteral("10000999"))
                         && plan.contains(QStringLiteral("Tor 1: keine Änderung")),
                     qPrintable(plan));
            QCOMPARE(plan.contains(QStringLiteral("Tor 2, ")), planned.at(Tor2) == Word(SiteResult::Differs));
            if (changedAfterPlan) {
                rig.Write(QStringLiteral("people.csv"), FormatDirectoryCsv(held.made.entries) + rows
                                                            + "\"Alt, Otto\",10000998,,,,Lager,no\r\n");
                QTest::mouseClick(SiteRig::Button(w, "Apply"), Qt::LeftButton);
                QVERIFY2(w.PlanText().contains(QStringLiteral("10000998")), qPrintable(w.PlanText()));
                QVERIFY(!w.Run().Running());
            }
            QTest::mouseClick(SiteRig::Button(w, "Apply"), Qt::LeftButton);
            QVERIFY(rig.RunEnds(w));
            QCOMPARE(SiteRig::Shown(w), applied);
            QVERIFY(!SiteRig::Button(w, "Apply")->isEnabled());
            if (applied.at(Tor2) == Word(SiteResult::Failed))
                QVERIFY2(SiteRig::Cell(w, Tor2, SiteWindow::LastError).contains(NotAppliedText(QStringLiteral("Tor 2"), 0)),
                         qPrintable(SiteRig::Cell(w, Tor2, SiteWindow::LastError)));
            // What the terminals hold now is what they should.
            QTest::mouseClick(SiteRig::Button(w, "Compare"), Qt::LeftButton);
            const QString equal = Word(SiteResult::Equal);
            QCOMPARE(SiteRig::Shown(w), States({equal, equal, equal}));
            ModalScript::Key(Qt::Key_Escape);
        });
        if (changedAfterPlan)
            script.Then(Answer(changed));
        script.Then(Answer(question));
        script.Then(Answer(outcome));
        rig.Open();
        VERIFY_MODALS_DONE(script);
        if (changedAfterPlan)
            QCOMPARE(changed, CatalogueText(Text::SitePlanChanged, 0));
        QCOMPARE(question, CatalogueText(Text::SiteApplyQuestion, 0).arg(1).arg(1));
        QVERIFY2(outcome.contains(QStringLiteral("Lager: ok – Gespeichert: ")), qPrintable(outcome));
        const QString lager = rig.folder.filePath(QStringLiteral("lager.QLV"));
        QVERIFY(!SameImage(lager, rig.folder.filePath(QStringLiteral("tor1.QLV"))));
        QVERIFY(SameImage(lager, rig.folder.filePath(QStringLiteral("mem-lager.QLV"))));
        QCOMPARE(QDir(rig.folder.filePath(QStringLiteral("history"))).entryList({QStringLiteral("*_lager.QLV")}, QDir::Files).size(), 1);
        QVERIFY(SameImage(rig.folder.filePath(QStringLiteral("tor2.QLV")), rig.folder.filePath(QStringLiteral("tor1.QLV"))));
        // The directory is offered again when the site is opened again.
        QCOMPARE(rig.h.program.SiteDirectories.value(rig.folder.filePath(QStringLiteral("site.toml"))), directory);
    }

    // A directory that cannot be used is named with its bad line; no row
    // changes, nothing can be applied and no file is touched.
    void badDirectory()
    {
        SiteRig rig(ThreeTerminals);
        QVERIFY(WriteConfigurationFile(*rig.wanted, rig.folder.filePath(QStringLiteral("lager.QLV"))));
        rig.Write(QStringLiteral("people.csv"), "name,track2,track3,valid_from,valid_until,terminals,blocked\n"
                                                "Anna Berg,10000417,,,,Lager,no\n"
                                                "Bernd Krause,10000523,,2026-02-30,,*,no\n");
        QString message;
        ModalScript script;
        script.Then([&](QWidget& modal) {
            const auto closed = ClosedOnReturn(modal);
            SiteWindow& w = SiteRig::Window(modal);
            const States before = SiteRig::Shown(w);
            rig.h.files.names.enqueue(rig.folder.filePath(QStringLiteral("people.csv")));
            QTest::mouseClick(SiteRig::Button(w, "Plan"), Qt::LeftButton);
            QCOMPARE(SiteRig::Shown(w), before);
            QVERIFY(w.PlanText().isEmpty());
            QVERIFY(!SiteRig::Button(w, "Apply")->isEnabled());
            ModalScript::Key(Qt::Key_Escape);
        });
        script.Then(Answer(message));
        rig.Open();
        VERIFY_MODALS_DONE(script);
        QVERIFY2(message.contains(QStringLiteral("Zeile 3")) && message.contains(QStringLiteral("2026-02-30")), qPrintable(message));
        QVERIFY(!QFileInfo::exists(rig.folder.filePath(QStringLiteral("history"))));
        QVERIFY(SameImage(rig.folder.filePath(QStringLiteral("lager.QLV")), rig.folder.filePath(QStringLiteral("tor1.QLV"))));
    }

    // Pictures for a look by eye, in every language, when
    // VARDELO_SCREENSHOT_DIR names a folder (see the README): a site of eight
    // simulated terminals, one of them on a port that does not exist, on
    // opening, while it is read, after the read, after a comparison, with
    // the plan of the demonstration directory and after its Apply.
    void screenshots()
    {
        const QDir shots(qEnvironmentVariable("VARDELO_SCREENSHOT_DIR"));
        if (!qEnvironmentVariableIsSet("VARDELO_SCREENSHOT_DIR") || !shots.mkpath(QStringLiteral(".")))
            QSKIP("VARDELO_SCREENSHOT_DIR not set");
        const QStringList languages{"de", "en", "fr", "es"};
        for (const QString& language : languages) {
            MainWindowHarness h(Kind::Simulated, QStringLiteral(" 1\r\n %1\r\n").arg(1000 * languages.indexOf(language)).toLatin1());
            QDir folder(h.dir.filePath(QStringLiteral("Werk 2")));
            folder.mkpath(QStringLiteral("."));
            auto wanted = std::make_unique<Configuration>();
            BuildDemoConfiguration(*wanted);
            auto other = std::make_unique<Configuration>();
            BuildDemoConfiguration(*other);
            other->ConfigImage[Slot::DoorOpenTime] = 9;
            QFile password(folder.filePath(QStringLiteral("site.pw")));
            QVERIFY(password.open(QIODevice::WriteOnly) && password.write(DemoPassword.toLatin1()) > 0);
            password.close();
            password.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
            QByteArray toml("name = \"Werk 2\"\n");
            // The names of the demonstration site among them, so that its directory plans them.
            const QStringList names{"Tor 1", "Tor 2", "Tor 3", "Büro", "Lager", "Kantine", "Hintereingang", "Keller"};
            for (int i = 0; i < names.size(); ++i) {
                const bool failing = names.at(i) == u"Keller";
                const QString memory = QStringLiteral("sim-%1.QLV").arg(i + 1);
                QVERIFY(WriteConfigurationFile(i == 2 ? *other : *wanted, folder.filePath(memory)));
                toml += "[[terminal]]\nname = \"" + names.at(i).toUtf8() + "\"\n";
                toml += failing ? QByteArray("port = \"/dev/ttyUSB7\"\n")
                                : "port = \"sim:" + memory.toUtf8() + ",id=VARDELO " + QByteArray::number(i + 1) + " 2.04\"\n";
                toml += "password-file = \"site.pw\"\n";
                // Each its own: the directory plans each its own cards.
                const QString wantedFile = QStringLiteral("soll-%1.QLV").arg(i + 1);
                QVERIFY(SaveConfigurationPair(*wanted, folder.filePath(wantedFile)));
                if (i != 4)
                    toml += "configuration = \"" + wantedFile.toUtf8() + "\"\n";
            }
            QFile site(folder.filePath(QStringLiteral("werk2.toml")));
            QVERIFY(site.open(QIODevice::WriteOnly) && site.write(toml) == toml.size());
            site.close();
            h.devices.ports = {SerialPortEntry{QStringLiteral("/dev/ttyS0")}, SerialPortEntry{QStringLiteral("/dev/ttyUSB0")}};

            const auto save = [&](QWidget& widget, const QString& name) {
                QVERIFY(widget.grab().save(shots.absoluteFilePath(name + u'-' + language + QStringLiteral(".png"))));
            };
            h.StartAndPassLanguageWindow();
            h.onModal = [&](QDialog& dialog) {
                auto* w = qobject_cast<SiteWindow*>(&dialog);
                if (!w)
                    return;
                w->show();
                QVERIFY(QTest::qWaitForWindowExposed(w));
                save(*w, QStringLiteral("site-open"));
                QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Read")), Qt::LeftButton);
                h.clock.Advance(4000);
                w->Table()->selectRow(1);
                save(*w, QStringLiteral("site-reading"));
                QVERIFY(h.clock.RunUntil([&] { return !w->Run().Running(); }, 60000));
                w->Table()->clearSelection();
                save(*w, QStringLiteral("site-read"));
                QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Compare")), Qt::LeftButton);
                save(*w, QStringLiteral("site-compared"));
                // The demonstration directory planned and applied.
                h.files.names.enqueue(qEnvironmentVariable("VARDELO_SOURCE_DIR") + QStringLiteral("/demo/site/people.csv"));
                QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Plan")), Qt::LeftButton);
                save(*w, QStringLiteral("site-plan"));
                QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Apply")), Qt::LeftButton);
                QVERIFY(h.clock.RunUntil([&] { return !w->Run().Running(); }, 60000));
                save(*w, QStringLiteral("site-applied"));
            };
            h.files.names.enqueue(folder.filePath(QStringLiteral("werk2.toml")));
            h.Trigger(QStringLiteral("mnustandort"));
            // The apply question and what Apply did.
            QCOMPARE(h.messages.shown.size(), 2);
            QCOMPARE(h.messages.shown.at(0).buttons, Messages::Buttons::YesNo);
        }
    }
};

QTEST_MAIN(SiteWindowTest)
#include "tst_sitewindow.moc"
