// The main window's commands and the sequences on screen, offscreen through
// the seams and on the manual clock, against the simulated terminal.
#include "app/catalogue.h"
#include "comm/sequences.h"
#include "comm/ui/backgroundwidget.h"
#include "comm/ui/displaycheckbox.h"
#include "comm/ui/interfacedialog.h"
#include "common/mainwindowharness.h"
#include "config/configfiles.h"

namespace {

using Kind = MainWindowHarness::LinkKind;
const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QStringList Disturbing{"mnuladen", "mnuauslesen", "mnubeschreiben", "mres", "mnuschnittst"};

QColor Colour(MainWindowHarness& h, const char* button)
{
    return MainWindow::ButtonColour(h.Find<QPushButton>(QLatin1String(button)));
}

// Opens the read panel and starts a read with the demo password.
void StartRead(MainWindowHarness& h)
{
    h.onModal = [](QDialog& dialog) {
        if (dialog.objectName() == QLatin1String("Passwort"))
            MainWindowHarness::EnterPassword(dialog, DemoPassword);
    };
    h.Trigger(QStringLiteral("mnuauslesen"));
    h.Click(QStringLiteral("Taste1"));
}

bool ReadDone(MainWindowHarness& h)
{
    return h.clock.RunUntil([&] { return h.m.TerminalRead == 1 && !h.window->Session().Read().IsRunning(); }, 30000);
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
        QTest::newRow("short file") << "e.QLV" << 2000 << CatalogueText(300, 0);
        QTest::newRow("cancelled") << "" << 0 << "";
    }
    void load()
    {
        QFETCH(QString, name);
        QFETCH(int, lines);
        QFETCH(QString, prompt);
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        h.m.ConfigImage[0] = 42;
        const QString path = h.dir.filePath(name);
        if (!name.isEmpty()) {
            QVERIFY(WriteFileAtomically(path, QByteArray(" 7 \r\n").repeated(lines)));
            h.files.names.enqueue(path);
        }
        h.Trigger(QStringLiteral("mnuladen"));
        QCOMPARE(h.files.requests.size(), 1);
        QCOMPARE(h.files.requests.at(0).title, QStringLiteral("Datei zum Laden auswählen"));
        const bool loaded = !name.isEmpty() && prompt.isEmpty();
        QCOMPARE(h.editorOpenedOn, loaded ? QStringList{path} : QStringList{});
        QCOMPARE(h.m.ConfigImage[0], qint16(loaded ? 7 : 42));
        QCOMPARE(h.messages.shown.size(), prompt.isEmpty() ? 0 : 1);
        if (!prompt.isEmpty())
            QVERIFY(h.Prompts().at(0).startsWith(prompt));
    }

    void helpItemsShowTheMakerAddress_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("software") << "mnusoft";
        QTest::newRow("installation") << "mnuinst";
        QTest::newRow("alarm module") << "mnualarm";
    }
    void helpItemsShowTheMakerAddress()
    {
        QFETCH(QString, item);
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        QVERIFY(WriteFileAtomically(h.dir.filePath(QStringLiteral("config/maker.txt")), "https://service.example.org/vardelo\n"));
        QDir::setCurrent(QDir::tempPath());   // as a file dialog may leave it
        h.Trigger(item);
        QCOMPARE(h.Prompts(), QStringList{QStringLiteral("https://service.example.org/vardelo")});
        QCOMPARE(h.messages.shown.at(0).title, QStringLiteral("INTERNET"));
        QCOMPARE(QDir::currentPath(), h.m.StartDirectory);
    }

    // The background picture from the configuration folder when there is
    // one; none or an unreadable one leaves the plain background, silently.
    void backgroundPicture_data()
    {
        QTest::addColumn<QByteArray>("content");   // empty: no file
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "BMP");
        QTest::newRow("picture") << bmp;
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("not a picture") << QByteArray("garbage");
    }
    void backgroundPicture()
    {
        QFETCH(QByteArray, content);
        MainWindowHarness h;
        if (!content.isEmpty())
            QVERIFY(WriteFileAtomically(h.dir.filePath(QStringLiteral("config/hauptbild.bmp")), content));
        h.StartAndPassLanguageWindow();
        const QPixmap& picture = h.Find<BackgroundWidget>(QStringLiteral("client"))->Picture();
        QCOMPARE(picture.size(), content.startsWith("BM") ? QSize(40, 30) : QSize(0, 0));
        QVERIFY(h.messages.shown.isEmpty());
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

    void cancelledPasswordSendsNothing()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        h.Trigger(QStringLiteral("mnuauslesen"));
        h.Click(QStringLiteral("Taste1"));   // the dialog is cancelled
        QCOMPARE(h.modalShown.last(), QStringLiteral("Passwort"));
        h.clock.Advance(12000);
        QVERIFY(!h.link->Dtr());
        QCOMPARE(h.Terminal().CurrentPhase(), SimulatedTerminal::Phase::Idle);
        QVERIFY(h.messages.shown.isEmpty());
        QCOMPARE(Colour(h, "Taste1"), Green);
        QVERIFY(h.Visible(QStringLiteral("Frame1")));
    }

    // A whole read: the panel while it runs, the commands that would disturb
    // it unavailable, and on Yes the real editor on the result.
    void readAnsweredYesOpensTheEditor()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow(true);
        StartRead(h);
        QString editorTitle, password;
        h.onModal = [&](QDialog& dialog) {
            editorTitle = dialog.windowTitle();
            password = dialog.findChild<QLineEdit*>(QStringLiteral("Text4"))->text();
        };
        h.clock.Advance(3000);
        QCOMPARE(h.Find<QLineEdit>(QStringLiteral("Text2"))->text(), QStringLiteral("Bitte warten"));
        QCOMPARE(Colour(h, "Taste1"), Red);
        QVERIFY(!h.Find<QPushButton>(QStringLiteral("Command2"))->isEnabled());
        QVERIFY(h.Find<DisplayCheckBox>(QStringLiteral("Ch2"))->isChecked());
        for (const QString& command : Disturbing)
            QVERIFY2(!h.Enabled(command), qPrintable(command));
        QVERIFY(h.Enabled(QStringLiteral("mnuBeenden")));

        h.messages.answers.enqueue(Messages::Answer::Yes);
        QVERIFY(ReadDone(h));
        QCOMPARE(h.Prompts(), QStringList{QStringLiteral("Geladene Datei bearbeiten ?")});
        QCOMPARE(h.modalShown.last(), QStringLiteral("vardelodatei"));
        QVERIFY(editorTitle.endsWith(QStringLiteral("VARDELO.QLV")));
        QCOMPARE(password, DemoPassword);
        QCOMPARE(h.Text(QStringLiteral("Label1")), QStringLiteral("      VARDELO SIM 1.00"));
        QVERIFY(!h.Visible(QStringLiteral("Text2")));
        QVERIFY(!h.Visible(QStringLiteral("Frame1")));
        for (const QString& command : Disturbing)
            QVERIFY2(h.Enabled(command), qPrintable(command));
    }

    // After a read answered No: the write panel, the write with its progress
    // bars, the success message; a second write is refused with text 135.
    void writeAfterReadThenRefused()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        h.messages.answers.enqueue(Messages::Answer::No);
        StartRead(h);
        QVERIFY(ReadDone(h));
        QVERIFY(h.editorOpenedOn.isEmpty());
        QVERIFY(!h.Visible(QStringLiteral("Frame1")));

        // Change one display character in the file and write it.
        const QString path = QDir::current().filePath(QStringLiteral("VARDELO.QLV"));
        Vardelomod changed;
        QVERIFY(ReadConfigurationFile(changed, path));
        changed.ConfigImage[16] = 'X';
        QVERIFY(WriteConfigurationFile(changed, path));
        h.files.names.enqueue(path);
        h.Trigger(QStringLiteral("mnubeschreiben"));
        QVERIFY(h.Visible(QStringLiteral("Frame2")));
        QCOMPARE(h.Text(QStringLiteral("Label2")), path);
        auto* send = h.Find<QProgressBar>(QStringLiteral("FlatScrollBar1"));
        auto* reply = h.Find<QProgressBar>(QStringLiteral("FlatScrollBar2"));
        QCOMPARE(send->maximum(), 2046);
        QCOMPARE(reply->maximum(), 2045);
        QSignalSpy sendValues(send, &QProgressBar::valueChanged);
        h.Click(QStringLiteral("taste2"));
        // Sending wraps at the end of the bar and is set back when done.
        QVERIFY(sendValues.indexOf(QVariantList{2046}) >= 0);
        QCOMPARE(sendValues.at(sendValues.indexOf(QVariantList{2046}) + 1), QVariantList{0});
        QCOMPARE(send->value(), 0);
        QCOMPARE(Colour(h, "taste2"), Red);
        for (const QString& command : Disturbing)
            QVERIFY2(!h.Enabled(command), qPrintable(command));

        QVERIFY(h.clock.RunUntil([&] { return !h.window->Session().Write().IsRunning(); }, 30000));
        QVERIFY(reply->value() > 0);
        QCOMPARE(h.Prompts().last(), QStringLiteral("VARDELO erfolgreich programmiert"));
        QVERIFY(!h.Visible(QStringLiteral("Frame2")));
        QCOMPARE(h.Terminal().Memory()[16], quint8('X'));

        h.Trigger(QStringLiteral("mnubeschreiben"));
        QCOMPARE(h.Prompts().last(), QStringLiteral("VARDELO muss erst ausgelesen werden"));
        QCOMPARE(h.files.requests.size(), 1);   // no file dialog
        h.Trigger(QStringLiteral("mres"));
        h.clock.Advance(600);
        QCOMPARE(h.Terminal().Restarts(), 1);
    }

    // "VARDELO.QLV" cannot be created: a message, and the image can still be written.
    void unwritableResultIsReported()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        QVERIFY(QDir().mkdir(QStringLiteral("VARDELO.QLV")));   // a folder in its place
        StartRead(h);
        QVERIFY(ReadDone(h));
        QVERIFY(h.editorOpenedOn.isEmpty());
        QCOMPARE(h.messages.shown.size(), 1);
        QVERIFY(h.Prompts().at(0).contains(QStringLiteral("VARDELO.QLV")));
        QVERIFY(h.window->Session().Write().CheckReadDone());
    }

    void exitDuringReadLeavesLinesOff()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        StartRead(h);
        h.clock.Advance(700);
        QVERIFY(h.link->Rts());
        h.Trigger(QStringLiteral("mnuBeenden"));
        QVERIFY(!h.link->Dtr() && !h.link->Rts());
        h.clock.Advance(20000);
        QVERIFY(h.messages.shown.isEmpty());
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
            QVERIFY(h.link->IsOpen());
            if (pressOk)
                MainWindowHarness::Press(dialog, "Co1");
        };
        h.Trigger(QStringLiteral("mnuschnittst"));
        QCOMPARE(h.m.PortNumber, qint16(5));
        QCOMPARE(h.SettingsContent(), pressOk ? QByteArray(" 5\r\n 0\r\n") : QByteArray(" 1\r\n 0\r\n"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
