// The main window with a terminal on the network: its commands wait until
// the connection is set up, the status bar says connecting, connected with
// the round trip, or why not; a server that never sets up COM port control
// is given up and said, and the waiting command dropped; the interface
// dialog takes an address typed with real keys in its own modal loop, says
// what is no address, and stores the port in the port map file.
#include "app/ui/interfacedialog.h"
#include "comm/rfc2217link.h"
#include "comm/rfc2217server.h"
#include "comm/sequences.h"
#include "common/filebytes.h"
#include "common/mainwindowharness.h"
#include "common/modalscript.h"
#include "common/screenshots.h"
#include "platform/timers.h"
#include "texts/catalogue.h"

#include <QTcpServer>

namespace {

constexpr int WaitMs = 20000;

// The simulated terminal served on a free port of this machine, on a clock
// of its own (the window's is a manual one).
struct Served {
    QtTimers timers;
    SimulatedTerminal sim{timers};
    Rfc2217Server server{sim};
    Served() { server.Listen(QHostAddress::LocalHost, 0); }
    QString Address() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.Port()); }
};

} // namespace

class NetworkWindowTest : public QObject {
    Q_OBJECT
private slots:
    // com1 is a terminal on the network: a reset given while it connects
    // starts once it is set up, and the pulse is timed from then.
    void commandWaitsForTheConnection()
    {
        Served served;
        MainWindowHarness h;
        h.UseMappedLink(QStringLiteral("com1=") + served.Address());
        h.StartAndPassLanguageWindow();
        QCOMPARE(h.Text(QStringLiteral("ConnectionStatus")),
                 QStringLiteral("Verbindung zu %1 wird aufgebaut ...").arg(served.Address()));
        h.Trigger(QStringLiteral("mres"));
        QVERIFY(!h.window->Session().Busy());   // not yet: the lines cannot be timed
        QVERIFY(QTest::qWaitFor([&] { return served.sim.Dtr(); }, WaitMs));
        QVERIFY(h.window->Session().Reset().IsRunning());
        QVERIFY2(h.Text(QStringLiteral("ConnectionStatus"))
                     .startsWith(QStringLiteral("Verbunden mit %1, Umlaufzeit ").arg(served.Address())),
                 qPrintable(h.Text(QStringLiteral("ConnectionStatus"))));
        h.clock.Advance(500);
        QVERIFY(QTest::qWaitFor([&] { return !served.sim.Dtr(); }, WaitMs));
        QVERIFY(h.Prompts().isEmpty());
    }

    // A server that takes the connection and never answers: given up after
    // its time, said in a message naming the address, also on the status
    // bar; the read asked for meanwhile never starts.
    void serverThatNeverAnswers()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        const QString address = QStringLiteral("rfc2217://127.0.0.1:%1").arg(silent.serverPort());
        MainWindowHarness h;
        h.UseMappedLink(QStringLiteral("com1=") + address);
        h.StartAndPassLanguageWindow();
        h.Trigger(QStringLiteral("mres"));
        QVERIFY(QTest::qWaitFor([&] { return silent.hasPendingConnections(); }, WaitMs));
        QTest::qWait(0);
        h.clock.Advance(Rfc2217Link::NegotiationTimeoutMs);
        QVERIFY(QTest::qWaitFor([&] { return !h.Prompts().isEmpty(); }, WaitMs));
        const QString line = address + QStringLiteral(": der Server richtet innerhalb von 5 s keine COM-Port-Steuerung (RFC 2217) ein");
        QCOMPARE(h.Prompts(), QStringList{line});
        QCOMPARE(h.messages.shown.first().title, CatalogueText(Text::PortBusyTitle, 0));
        QCOMPARE(h.Text(QStringLiteral("ConnectionStatus")), line);
        QVERIFY(!h.window->Session().Busy());
        QVERIFY(!h.link->IsOpen());
    }

    // Through the dialog's own modal loop, with mouse and keys: com3 is
    // selected, the address field clicked and the served terminal's address
    // typed; Enter takes it (the dialog stays), the port line says what com3
    // is now and the terminal is connected. What is no address is said under
    // the field and taken for nothing; OK stores the port and the map.
    void interfaceDialogTakesAnAddress()
    {
        Served served;
        MainWindowHarness h;
        QVERIFY(WriteBytes(h.dir.filePath(QStringLiteral("config/ports.map")), "# the doors\ncom3=sim\n"));
        h.UseMappedLink(QStringLiteral("com1=sim\ncom2=rfc2217://door2:4001\ncom3=sim\n"));
        h.StartAndPassLanguageWindow();
        h.window->ShowModal = nullptr;   // the dialog's own exec()
        QStringList lines, choices;
        bool stayedOpen = false, focused = false, shownWhole = false;
        ModalScript script;
        script.Then<InterfaceDialog>([&](InterfaceDialog& window) {
            InterfaceDialog* dialog = &window;
            QComboBox* field = dialog->AddressField();
            for (int i = 0; i < field->count(); ++i)
                choices << field->itemText(i);
            QTest::mouseClick(dialog->PortButton(2), Qt::LeftButton);
            lines << dialog->PortLine()->text() + u'|' + field->currentText();
            QTest::mouseClick(field->lineEdit(), Qt::LeftButton);
            focused = field->lineEdit()->hasFocus();
            QTest::keyClicks(field->lineEdit(), QStringLiteral("rfc2217://door1"));
            QTest::keyClick(field->lineEdit(), Qt::Key_Return);
            lines << dialog->PortLine()->text() + u'|' + dialog->AddressProblem()->text();
            QTest::keyClick(field->lineEdit(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field->lineEdit(), served.Address());
            QTest::keyClick(field->lineEdit(), Qt::Key_Return);
            stayedOpen = dialog->isVisible();
            // Shown whole as far as the address goes (what follows may be cut).
            shownWhole = dialog->PortLine()->text().startsWith(QStringLiteral("com3 = %1, ").arg(served.Address()));
            lines << dialog->PortLine()->toolTip() + u'|' + dialog->AddressProblem()->text();
            QVERIFY(QTest::qWaitFor([&] { return h.link->IsReady(); }, WaitMs));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Co1")), Qt::LeftButton);
        });
        h.Trigger(QStringLiteral("mnuschnittst"));
        VERIFY_MODALS_DONE(script);
        QVERIFY(focused);
        QVERIFY(stayedOpen);
        QVERIFY(shownWhole);
        QCOMPARE(choices, QStringList{"rfc2217://door2:4001"});
        QCOMPARE(lines, (QStringList{
            "com3 = simuliertes Terminal|",
            "com3 = simuliertes Terminal|rfc2217://door1 ist keine Netzwerkadresse der Form rfc2217://RECHNER:PORT",
            "com3 = " + served.Address() + ", Terminal im Netzwerk|"}));
        QVERIFY(h.Prompts().isEmpty());
        QCOMPARE(h.program.ChosenPort, qint16(3));
        QCOMPARE(h.SettingsContent(), QByteArray(" 3\r\n 0\r\n"));
        QCOMPARE(Bytes(h.dir.filePath(QStringLiteral("config/ports.map"))),
                 "# the doors\ncom3=" + served.Address().toUtf8() + "\n");
        QVERIFY(h.Text(QStringLiteral("ConnectionStatus")).startsWith(QStringLiteral("Verbunden mit ") + served.Address()));
        QVERIFY(served.server.Client().startsWith(QStringLiteral("127.0.0.1:")));
    }

    // Pictures for a look by eye, in every language, when
    // VARDELO_SCREENSHOT_DIR names a folder (see the README): the interface
    // dialog with an address that is none and with the served terminal's,
    // and the main window connected to it.
    void screenshots()
    {
        const QString shots = ScreenshotFolder();
        if (shots.isEmpty())
            QSKIP("VARDELO_SCREENSHOT_DIR not set");
        const QDir folder(shots);
        const QStringList& languages = ScreenshotLanguages;
        for (const QString& language : languages) {
            Served served;
            MainWindowHarness h(MainWindowHarness::LinkKind::Scripted,
                                QStringLiteral(" 1\r\n %1\r\n").arg(1000 * languages.indexOf(language)).toLatin1());
            h.UseMappedLink(QStringLiteral("com1=sim\ncom2=rfc2217://door2.example:4001\n"));
            const auto save = [&](QWidget& widget, const QString& name) {
                widget.show();
                QVERIFY(QTest::qWaitForWindowExposed(&widget));
                QCoreApplication::sendPostedEvents();   // the layout after the last change
                QVERIFY(widget.grab().save(folder.absoluteFilePath(name + u'-' + language + QStringLiteral(".png"))));
            };
            h.StartAndPassLanguageWindow();
            h.window->show();
            h.onModal = [&](QDialog& dialog) {
                auto& interface = static_cast<InterfaceDialog&>(dialog);
                interface.PortButton(2)->click();
                interface.AddressField()->setEditText(QStringLiteral("door1:4001"));
                QTest::keyClick(interface.AddressField()->lineEdit(), Qt::Key_Return);
                save(dialog, QStringLiteral("Schnittstelle-noaddress"));
                interface.AddressField()->setEditText(served.Address());
                QTest::keyClick(interface.AddressField()->lineEdit(), Qt::Key_Return);
                QVERIFY(QTest::qWaitFor([&] { return h.link->IsReady(); }, WaitMs));
                save(dialog, QStringLiteral("Schnittstelle-network"));
                MainWindowHarness::Press(dialog, "Co1");
            };
            h.Trigger(QStringLiteral("mnuschnittst"));
            save(*h.window, QStringLiteral("main-connected"));
        }
    }
};

QTEST_MAIN(NetworkWindowTest)
#include "tst_networkwindow.moc"
