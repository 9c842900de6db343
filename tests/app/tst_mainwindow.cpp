// The main window's commands and the sequences on screen, offscreen through
// the seams and on the manual clock, against the simulated terminal.
#include "texts/catalogue.h"
#include "comm/sequences.h"
#include "comm/transferlog.h"
#include "app/ui/backgroundwidget.h"
#include "app/ui/displaycheckbox.h"
#include "app/ui/interfacedialog.h"
#include "common/democonfig.h"
#include "common/filebytes.h"
#include "common/fileobstacles.h"
#include "common/mainwindowharness.h"
#include "common/modalscript.h"
#include "comm/mappedlink.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#ifdef Q_OS_LINUX
#include "common/pseudoterminal.h"
#endif

namespace {

using Kind = MainWindowHarness::LinkKind;
const QStringList Disturbing{"mnuladen", "mnuauslesen", "mnubeschreiben", "mres", "mnuschnittst", "mnustandort"};

bool IsRed(MainWindowHarness& h, const char* button)
{
    return MainWindow::ButtonColour(h.Find<QPushButton>(QLatin1String(button))) == QColor(255, 0, 0);
}

// Whether every command that would disturb a sequence is in this state.
bool DisturbingCommandsEnabled(MainWindowHarness& h, bool enabled)
{
    return std::all_of(Disturbing.begin(), Disturbing.end(), [&](const QString& c) { return h.Enabled(c) == enabled; });
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Only ".QLV" and ".qlv" are loaded, and only complete files; a refused
    // or cancelled load leaves the image as it was.
    void load_data()
    {
        QTest::addColumn<QString>("name");   // empty: the file dialog is cancelled
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("prompt");
        const QString notVardelo = QStringLiteral("Sie haben keine VARDELOdatei gewählt");
        QTest::newRow("capitals") << "A.QLV" << 2048 << "";
        QTest::newRow("small letters") << "b.qlv" << 2048 << "";
        QTest::newRow("mixed") << "c.Qlv" << 2048 << notVardelo;
        QTest::newRow("comments file") << "d.BGT" << 2048 << notVardelo;
        QTest::newRow("short file") << "e.QLV" << 2000 << CatalogueText(Text::FileNotLoaded, 0);
        QTest::newRow("cancelled") << "" << 0 << "";
    }
    void load()
    {
        QFETCH(QString, name);
        QFETCH(QString, prompt);
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        h.m.ConfigImage[0] = 42;
        const QString path = h.dir.filePath(name);
        if (!name.isEmpty()) {
            QFETCH(int, lines);
            QVERIFY(WriteFileAtomically(path, QByteArray(" 7 \r\n").repeated(lines)));
            h.files.names.enqueue(path);
        }
        h.Trigger(QStringLiteral("mnuladen"));
        const bool loaded = !name.isEmpty() && prompt.isEmpty();
        QCOMPARE(h.editorOpenedOn, loaded ? QStringList{path} : QStringList{});
        QCOMPARE(h.m.ConfigImage[0], qint16(loaded ? 7 : 42));
        QCOMPARE(h.messages.shown.size(), prompt.isEmpty() ? 0 : 1);
        QVERIFY(prompt.isEmpty() || h.Prompts().at(0).startsWith(prompt));
    }

    // The background picture from the configuration folder; an unreadable
    // one leaves the plain background, silently.
    void backgroundPicture()
    {
        for (bool valid : {true, false}) {
            MainWindowHarness h;
            const QString path = h.dir.filePath(QStringLiteral("config/hauptbild.bmp"));
            QVERIFY(WriteBytes(path, valid ? BmpPicture(40, 30, Qt::darkBlue) : QByteArray("garbage")));
            h.StartAndPassLanguageWindow();
            QCOMPARE(h.Find<BackgroundWidget>(QStringLiteral("client"))->Picture().size(), valid ? QSize(40, 30) : QSize(0, 0));
            QVERIFY(h.messages.shown.isEmpty());
        }
    }

    // A settings file or picture that is a FIFO is neither read nor replaced:
    // the operator is told which, the defaults apply.
    void startUpFilesThatAreNoFiles()
    {
        MainWindowHarness h(Kind::Scripted, std::nullopt);
        for (const char* name : {"config/VARDELO.ini", "config/hauptbild.bmp"})
            QVERIFY(MakeFifo(h.dir.filePath(QLatin1String(name))));
        h.StartAndPassLanguageWindow();
        QCOMPARE(h.program.ChosenPort, qint16(1));
        const QStringList prompts = h.Prompts().filter(QStringLiteral("Beim Start nicht verwendet"));
        QCOMPARE(prompts.size(), 2);
        QVERIFY(prompts.at(0).contains(h.SettingsPath() + QStringLiteral(" ist keine gewöhnliche Datei")));
        QVERIFY(prompts.at(1).contains(QStringLiteral("hauptbild.bmp ist keine gewöhnliche Datei")));
        QVERIFY(!QFileInfo(h.SettingsPath()).isFile());
    }

    void progressCheckBoxesIgnoreClicks()
    {
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        h.Trigger(QStringLiteral("mnuauslesen"));
        for (const char* name : {"Ch1", "Ch2", "Ch3"}) {
            auto* box = h.Find<DisplayCheckBox>(QLatin1String(name));
            for (bool state : {false, true}) {
                box->setChecked(state);
                QTest::mouseClick(box, Qt::LeftButton);
                box->click();
                QCOMPARE(box->isChecked(), state);
            }
        }
    }

    // Cancelling the password dialog sends nothing; exit during a read
    // stops it and leaves DTR and RTS off.
    void cancelledPasswordAndExit()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        h.Trigger(QStringLiteral("mnuauslesen"));
        h.Click(QStringLiteral("Taste1"));   // the dialog is cancelled
        QCOMPARE(h.modalShown.last(), QStringLiteral("Passwort"));
        h.clock.Advance(12000);
        QCOMPARE(h.Terminal().CurrentPhase(), SimulatedTerminal::Phase::Idle);
        QVERIFY(h.Visible(QStringLiteral("Frame1")) && !IsRed(h, "Taste1"));
        h.StartRead();
        h.clock.Advance(700);
        QVERIFY(h.link->Rts());
        h.Trigger(QStringLiteral("mnuBeenden"));
        QVERIFY(!h.link->Dtr() && !h.link->Rts());
        h.clock.Advance(20000);
        QVERIFY(h.messages.shown.isEmpty());
    }

    // A whole read: the panel while it runs, the commands that would disturb
    // it unavailable, and on Yes the real editor on the result, with the
    // read already in the transfer log while the editor is open.
    void readAnsweredYesOpensTheEditor()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow(true);
        h.StartRead();
        QString editorTitle, password;
        qsizetype logged = -1;
        h.onModal = [&](QDialog& dialog) {
            editorTitle = dialog.windowTitle();
            password = dialog.findChild<QLineEdit*>(QStringLiteral("Text4"))->text();
            logged = ReadTransferLog(h.dir.filePath(QStringLiteral("config/transfers.log")), 0).entries.size();
        };
        h.clock.Advance(3000);
        QCOMPARE(h.Find<QLineEdit>(QStringLiteral("Text2"))->text(), QStringLiteral("Bitte warten"));
        QVERIFY(IsRed(h, "Taste1") && !h.Find<QPushButton>(QStringLiteral("Command2"))->isEnabled());
        QVERIFY(h.Find<DisplayCheckBox>(QStringLiteral("Ch2"))->isChecked());
        QVERIFY(DisturbingCommandsEnabled(h, false) && h.Enabled(QStringLiteral("mnuBeenden")));
        h.messages.answers.enqueue(Messages::Answer::Yes);
        QVERIFY(h.ReadDone());
        QCOMPARE(h.Prompts(), QStringList{QStringLiteral("Geladene Datei bearbeiten ?")});
        QCOMPARE(h.modalShown.last(), QStringLiteral("vardelodatei"));
        QCOMPARE(editorTitle, QStringLiteral("VARDELO.QLV[*]"));   // the file's name, marked while changed
        QCOMPARE(password, DemoPassword);
        QCOMPARE(logged, 1);
        QCOMPARE(h.Text(QStringLiteral("Label1")), QStringLiteral("      VARDELO SIM 1.00"));
        QVERIFY(!h.Visible(QStringLiteral("Text2")) && !h.Visible(QStringLiteral("Frame1")));
        QVERIFY(DisturbingCommandsEnabled(h, true));
        h.files.names.enqueue(h.m.CurrentConfigFile);
        h.Trigger(QStringLiteral("mnuladen"));
        QCOMPARE(editorTitle, QStringLiteral("VARDELO.QLV[*]"));   // the same form for a loaded file
    }

    // Opening the editor takes the read and write panels away, start buttons
    // included, so that none is left to press behind it.
    void openingTheEditorHidesThePanels()
    {
        MainWindowHarness h;
        h.StartAndPassLanguageWindow(true);
        h.Trigger(QStringLiteral("mnuauslesen"));
        const QStringList panels{"Frame1", "Taste1", "Frame2", "taste2"};
        const auto hidden = [&] {
            QStringList names;
            for (const QString& name : panels)
                if (h.Find(name)->isHidden())
                    names << name;
            return names;
        };
        QCOMPARE(hidden(), QStringList{"Frame2"});
        const QString path = h.dir.filePath(QStringLiteral("A.QLV"));
        QVERIFY(WriteFileAtomically(path, QByteArray(" 7 \r\n").repeated(2048)));
        h.files.names.enqueue(path);
        QStringList hiddenWhileOpen;
        h.onModal = [&](QDialog&) { hiddenWhileOpen = hidden(); };
        h.Trigger(QStringLiteral("mnuladen"));
        QCOMPARE(h.modalShown.last(), QStringLiteral("vardelodatei"));
        QCOMPARE(hiddenWhileOpen, panels);
    }

    // The wait notice of a running read speaks the chosen language.
    void waitNoticeInEveryLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("notice");
        QTest::newRow("de") << 0 << "Bitte warten";
        QTest::newRow("en") << 1000 << "Please wait";
        QTest::newRow("fr") << 2000 << "Veuillez patienter";
        QTest::newRow("es") << 3000 << "Espere, por favor";
    }
    void waitNoticeInEveryLanguage()
    {
        QFETCH(int, language);
        MainWindowHarness h(Kind::Simulated, QStringLiteral(" 1\r\n %1\r\n").arg(language).toLatin1());
        h.StartAndPassLanguageWindow();
        QCOMPARE(h.program.LanguageOffset, qint16(language));
        h.StartRead();
        h.clock.Advance(1000);
        QVERIFY(h.Visible(QStringLiteral("Text2")));
        QTEST(h.Find<QLineEdit>(QStringLiteral("Text2"))->text(), "notice");
    }

    // After a read answered No: the write panel, the write, the success
    // message; a second write is refused with text 135.
    // The status line follows the whole cycle: the next step while idle, the
    // bytes and seconds of each phase while a sequence runs; the window
    // itself changes while a write runs.
    void writeAfterReadThenRefused()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        const auto status = [&] { return h.Text(QStringLiteral("StatusLine")); };
        QVERIFY(h.Visible(QStringLiteral("StatusLine")));
        QCOMPARE(status(), QStringLiteral("Noch nicht ausgelesen: VARDELO > VARDELO auslesen"));
        h.messages.answers.enqueue(Messages::Answer::No);
        h.StartRead();
        h.clock.Advance(5000);
        // Start byte at 600 ms and one byte each 1/240 s since: 1056 bytes,
        // reported at most 250 ms late.
        const QRegularExpression reading(QStringLiteral("^Auslesen: (\\d+) von 2069 Bytes, noch (\\d) s$"));
        QRegularExpressionMatch match = reading.match(status());
        QVERIFY2(match.hasMatch(), qPrintable(status()));
        QVERIFY(qAbs(match.captured(1).toInt() - 1056) <= 60 && match.captured(2) == u"5");
        QVERIFY(h.ReadDone());
        QCOMPARE(status(), QStringLiteral("VARDELO ausgelesen: Sie können jetzt eine Datei schreiben (VARDELO > VARDELO beschreiben)"));
        QVERIFY(h.editorOpenedOn.isEmpty() && !h.Visible(QStringLiteral("Frame1")));
        // Change one display character in the file and write it.
        const QString path = QDir::current().filePath(QStringLiteral("VARDELO.QLV"));
        Configuration changed;
        QVERIFY(ReadConfigurationFile(changed, path));
        changed.ConfigImage[16] = 'X';
        QVERIFY(WriteConfigurationFile(changed, path));
        h.files.names.enqueue(path);
        h.Trigger(QStringLiteral("mnubeschreiben"));
        h.Click(QStringLiteral("taste2"));
        QVERIFY(IsRed(h, "taste2") && DisturbingCommandsEnabled(h, false));
        h.clock.Advance(4000);
        QVERIFY2(status().startsWith(QStringLiteral("Senden: 9")), qPrintable(status()));   // 960 bytes at 4 s
        const QImage sending = h.window->grab().toImage();
        h.clock.Advance(5000);
        QVERIFY2(status().startsWith(QStringLiteral("Rücklesen: ")), qPrintable(status()));
        QVERIFY(h.window->grab().toImage() != sending);
        QVERIFY(h.clock.RunUntil([&] { return !h.window->Session().Write().IsRunning(); }, 30000));
        QCOMPARE(h.Prompts().last(), QStringLiteral("VARDELO erfolgreich programmiert"));
        QCOMPARE(status(), QStringLiteral("VARDELO programmiert: zur Kontrolle erneut auslesen (VARDELO > VARDELO auslesen)"));
        QVERIFY(!h.Visible(QStringLiteral("Frame2")));
        QCOMPARE(h.Terminal().Memory()[16], quint8('X'));
        h.Trigger(QStringLiteral("mnubeschreiben"));
        QCOMPARE(h.Prompts().last(), QStringLiteral("VARDELO muss erst ausgelesen werden"));
        QCOMPARE(h.files.requests.size(), 1);   // no file dialog
        h.Trigger(QStringLiteral("mres"));
        QCOMPARE(status(), QStringLiteral("Reset-Impuls wird gegeben"));
        h.clock.Advance(600);
        QCOMPARE(h.Terminal().Restarts(), 1);
        // What the reset did stays in the status line until the next command.
        QCOMPARE(status(), QStringLiteral("Reset-Impuls an VARDELO gegeben: vor dem nächsten Schreiben erneut auslesen (VARDELO > VARDELO auslesen)"));
        h.clock.Advance(5000);
        QVERIFY(status().startsWith(QStringLiteral("Reset-Impuls an VARDELO gegeben")));
        h.onModal = nullptr;
        h.Trigger(QStringLiteral("mnuauslesen"));
        h.Click(QStringLiteral("Taste1"));   // the password dialog is cancelled
        QVERIFY(status().startsWith(QStringLiteral("Reset-Impuls an VARDELO gegeben")));
    }

    // The write panel's bars follow the bytes on the line as far as the
    // status line counts them: the send bar as they leave, the reply bar as
    // they come back. Nothing is left of either once the write has ended,
    // verified or not, and the next write panel starts from empty bars.
    void writeBarsFollowTheLine_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("replied");   // bytes the terminal sends back
        QTest::newRow("verified") << "" << 2048;
        QTest::newRow("reply stops") << ",stop=1000" << 1000;
    }
    void writeBarsFollowTheLine()
    {
        QFETCH(QString, options);
        QFETCH(int, replied);
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        auto* send = h.Find<QProgressBar>(QStringLiteral("FlatScrollBar1"));
        auto* reply = h.Find<QProgressBar>(QStringLiteral("FlatScrollBar2"));
        const auto openWritePanel = [&] {
            h.messages.answers.enqueue(Messages::Answer::No);
            h.StartRead();
            QVERIFY(h.ReadDone());
            h.files.names.enqueue(QDir::current().filePath(QStringLiteral("VARDELO.QLV")));
            h.Trigger(QStringLiteral("mnubeschreiben"));
            QVERIFY(h.Visible(QStringLiteral("Frame2")));
            QCOMPARE(send->maximum(), 2046);
            QCOMPARE(reply->maximum(), 2045);
            QCOMPARE(send->value(), 0);
            QCOMPARE(reply->value(), 0);
        };
        openWritePanel();
        h.Terminal().SetOptions(*ParseSimulationOptions(options));
        h.Click(QStringLiteral("taste2"));
        const QRegularExpression counted(QStringLiteral("^(Senden|Rücklesen): (\\d+) von 2048 Bytes"));
        int sendHigh = 0, replyHigh = 0, samples = 0;
        while (h.window->Session().Write().IsRunning()) {
            h.clock.Advance(250);
            const QRegularExpressionMatch match = counted.match(h.Text(QStringLiteral("StatusLine")));
            if (!match.hasMatch())
                continue;
            const int bytes = match.captured(2).toInt();
            const bool sending = match.captured(1) == u"Senden";
            QCOMPARE(send->value(), sending ? bytes * 2046 / 2048 : 2046);
            QCOMPARE(reply->value(), sending ? 0 : bytes * 2045 / 2048);
            sendHigh = std::max(sendHigh, send->value());
            replyHigh = std::max(replyHigh, reply->value());
            ++samples;
        }
        QVERIFY(samples > 60);   // about 17 s of line time, sampled every 250 ms
        QCOMPARE(sendHigh, 2046);
        QCOMPARE(replyHigh, replied * 2045 / 2048);
        QCOMPARE(send->value(), 0);
        QCOMPARE(reply->value(), 0);
        h.Terminal().SetOptions({});
        openWritePanel();
    }

    // At its smallest the window keeps the read and write panels and the
    // identification whole, above the status line.
    void minimumSizeKeepsThePanelsWhole()
    {
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.window->resize(100, 100);
        QCOMPARE(h.window->size(), h.window->minimumSize());
        auto* client = h.Find(QStringLiteral("client"));
        for (const char* frame : {"Frame1", "Frame2", "Frame3"}) {
            const QWidget* f = h.Find(QLatin1String(frame));
            QVERIFY2(client->rect().contains(f->geometry()), frame);
        }
        QVERIFY(client->geometry().bottom() < h.Find(QStringLiteral("StatusLine"))->mapTo(h.window.get(), QPoint()).y());
    }

    // "VARDELO.QLV" cannot be created: the read goes beside it under a name
    // with the time, the message says where and why, the comments beside it
    // are kept byte for byte, and the image can still be written.
    void unwritableResultIsReported()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        QVERIFY(QDir().mkdir(QStringLiteral("VARDELO.QLV")));   // a folder in its place
        const QByteArray comments = QByteArray("Pforte\r\n").repeated(2001);
        QVERIFY(WriteFileAtomically(QStringLiteral("VARDELO.BGT"), comments));
        h.messages.answers.enqueue(Messages::Answer::Ok);
        h.messages.answers.enqueue(Messages::Answer::Yes);
        h.StartRead();
        QVERIFY(h.ReadDone());
        QCOMPARE(h.messages.shown.size(), 2);
        QVERIFY2(h.Prompts().at(0).contains(QStringLiteral("VARDELO.QLV ist ein Ordner")), qPrintable(h.Prompts().at(0)));
        QCOMPARE(h.editorOpenedOn.size(), 1);
        QVERIFY(h.editorOpenedOn.at(0).contains(QStringLiteral("VARDELO_")));
        QVERIFY(h.Prompts().at(0).contains(h.editorOpenedOn.at(0)));
        QVERIFY(QFileInfo(QStringLiteral("VARDELO.QLV")).isDir());
        QCOMPARE(Bytes(QStringLiteral("VARDELO.BGT")), comments);
        QVERIFY(h.window->Session().Write().CheckReadDone());
    }

    // The interface dialog reopens the port on opening and on each click; OK
    // stores the choice, closing without OK keeps it for this run only.
    void interfaceDialog_data()
    {
        QTest::addColumn<bool>("pressOk");
        QTest::newRow("OK") << true;
        QTest::newRow("closed without OK") << false;
    }
    void interfaceDialog()
    {
        QFETCH(bool, pressOk);
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        h.onModal = [&](QDialog& dialog) {
            QCOMPARE(h.Scripted().opened, (QList<int>{1, 1}));
            qobject_cast<InterfaceDialog*>(&dialog)->PortButton(4)->click();
            QCOMPARE(h.Scripted().opened, (QList<int>{1, 1, 5}));
            if (pressOk)
                MainWindowHarness::Press(dialog, "Co1");
        };
        h.Trigger(QStringLiteral("mnuschnittst"));
        QVERIFY(h.link->IsOpen());
        QCOMPARE(h.program.ChosenPort, qint16(5));
        QCOMPARE(h.SettingsContent(), pressOk ? QByteArray(" 5\r\n 0\r\n") : QByteArray(" 1\r\n 0\r\n"));
    }
    // Through the dialog's own modal loop, worked with mouse and keyboard:
    // the line under the options says what the selected com port stands for,
    // follows each click and a fallback, and a port that does not open says why.
    void interfaceDialogNamesThePort()
    {
#ifndef Q_OS_LINUX
        QSKIP("needs a pseudo-terminal");
#else
        MainWindowHarness h;
        PseudoTerminal terminal;
        QVERIFY(terminal.IsOpen());
        const QString pty = terminal.DeviceName();
        const QString gone = h.dir.filePath(QStringLiteral("ttyUSB9"));
        h.program.Ports = PortMap::Parse(QStringLiteral("com1=%1\ncom2=sim\ncom3=%2").arg(pty, gone));
        auto link = std::make_unique<MappedSerialLink>(h.clock, h.program.Ports);
        link->SetDevices(h.devices);
        h.link = std::move(link);
        h.devices.realFiles = true;
        h.devices.ports = {{pty, QStringLiteral("FT232R USB UART"), {}, {}, 0x0403, 0x6001}};
        h.StartAndPassLanguageWindow();
        h.window->ShowModal = nullptr;   // the dialog's own exec()
        QStringList lines;
        ModalScript script;
        script.Then<InterfaceDialog>([&](InterfaceDialog& dialog) {
            lines << dialog.PortLine()->text();
            for (int index : {1, 2}) {
                QTest::mouseClick(dialog.PortButton(index), Qt::LeftButton);
                lines << dialog.PortLine()->text();
            }
            ModalScript::Key(Qt::Key_Return);   // OK is the default button
        });
        h.Trigger(QStringLiteral("mnuschnittst"));
        VERIFY_MODALS_DONE(script);
        QCOMPARE(lines, QStringList({"com1 = " + pty + ", FT232R USB UART", "com2 = simuliertes Terminal",
                                     "com2 = simuliertes Terminal"}));   // com3 fell back to com2
        QCOMPARE(h.Prompts(), QStringList{CatalogueText(Text::PortBusy, 0) + u'\n' + gone + " gibt es nicht; gefundene Schnittstellen: " + pty});
        QCOMPARE(h.SettingsContent(), QByteArray(" 2\r\n 0\r\n"));
#endif
    }

    // A file that adds 3 cards, removes 1 and changes the door open time:
    // the write panel says so against the last read, and the details window
    // (its own modal loop) lists each change with the cards' comments.
    void writePanelShowsTheChanges()
    {
        MainWindowHarness h(Kind::Simulated);
        auto demo = std::make_unique<Configuration>();
        QVERIFY(h.ChooseEditedDemoForWrite(*demo));
        const QString edited = QDir::current().filePath(QStringLiteral("VARDELO.QLV"));
        QVERIFY(h.Visible(QStringLiteral("WriteChanges")));
        QCOMPARE(h.Text(QStringLiteral("ChangeSummary")),
                 QStringLiteral("1 Grundeinstellung(en) geändert\nListe 1: 2 Karte(n) neu, 0 entfernt\n"
                                "Liste 2: 1 Karte(n) neu, 0 entfernt\nListe 3: 0 Karte(n) neu, 1 entfernt"));

        // The details window through its own modal loop and focus.
        const ModalRunner harnessModal = h.window->ShowModal;
        h.window->ShowModal = nullptr;
        QStringList rows;
        QString focused;
        QString shown;
        ModalScript script;
        script.Then<QDialog>([&](QDialog& dialog) {
            shown = dialog.objectName();
            // On a real screen the window is activated a little later.
            if (QTest::qWaitForWindowActive(&dialog) && QApplication::focusWidget())
                focused = QApplication::focusWidget()->objectName();
            auto* table = dialog.findChild<QTreeWidget*>(QStringLiteral("ChangeTable"));
            for (int i = 0; table && i < table->topLevelItemCount(); ++i)
                rows << table->topLevelItem(i)->text(0) + " | " + table->topLevelItem(i)->text(1) + " | "
                        + table->topLevelItem(i)->text(2);
            ModalScript::Key(Qt::Key_Escape);
            if (dialog.isVisible())
                dialog.reject();
        });
        h.Click(QStringLiteral("ChangeDetails"));
        VERIFY_MODALS_DONE(script);
        h.window->ShowModal = harnessModal;
        QCOMPARE(shown, QStringLiteral("Aenderungen"));
        QCOMPARE(focused, QStringLiteral("ChangeTable"));
        QCOMPARE(rows, (QStringList{"Türöffnungszeit | 5 Sekunden | 12 Sekunden",
                                    "Karte neu in Liste 1 |  | 30000001  Neu, Eins",
                                    "Karte neu in Liste 1 |  | 30000002  Neu, Zwei",
                                    "Karte neu in Liste 2 |  | 672000777001  Neu, Drei",
                                    "Karte entfernt aus Liste 3 | 10000402  ausgeschieden – Vogel, Heike | "}));
        // The described write goes on unchanged; the panel and its summary go together.
        h.Click(QStringLiteral("taste2"));
        QVERIFY(h.clock.RunUntil([&] { return !h.window->Session().Write().IsRunning(); }, 30000));
        QVERIFY(!h.Visible(QStringLiteral("Frame2")) && !h.Visible(QStringLiteral("WriteChanges")));
        QCOMPARE(h.Terminal().Memory()[Slot::DoorOpenTime], quint8(12));

        // The next read finds the comments again; both reads are in history/,
        // each transfer has its line in the log.
        h.messages.answers.enqueue(Messages::Answer::No);
        h.StartRead();
        QVERIFY(h.ReadDone());
        auto again = std::make_unique<Configuration>();
        QVERIFY(ReadConfigurationFile(*again, edited));
        LoadComments(*again, edited, false);
        QCOMPARE(again->ListComment, demo->ListComment);
        QCOMPARE(QDir(QStringLiteral("history")).entryList({"*.QLV"}).size(), 4);   // 2 replaced, 2 reads
        QCOMPARE(Bytes(h.dir.filePath(QStringLiteral("config/transfers.log"))).count('\n'), 3);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
