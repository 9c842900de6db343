// The main window's commands and the sequences on screen, offscreen through
// the seams and on the manual clock, against the simulated terminal.
#include "app/catalogue.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "comm/ui/backgroundwidget.h"
#include "comm/ui/displaycheckbox.h"
#include "comm/ui/mainwindow.h"
#include "common/democonfig.h"
#include "common/mainwindowharness.h"
#include "config/configfiles.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

using Kind = MainWindowHarness::LinkKind;

void WriteConfigFile(const QString& path, int lines, int value)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < lines; ++i)
        file.write(QStringLiteral(" %1 \r\n").arg(value).toLatin1());
}

QColor Colour(MainWindowHarness& h, const char* button)
{
    return MainWindow::ButtonColour(h.Find<QPushButton>(QString::fromLatin1(button)));
}

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);

// Reads the simulated terminal through the window with the demo password;
// answerEdit answers the question of text 147.
bool ReadTerminal(MainWindowHarness& h, Messages::Answer answerEdit)
{
    h.onModal = [](QDialog& dialog) {
        if (dialog.objectName() == QLatin1String("Passwort"))
            MainWindowHarness::EnterPassword(dialog, DemoPassword);
    };
    h.messages.answers.enqueue(answerEdit);
    h.Trigger(QStringLiteral("mnuauslesen"));
    h.Click(QStringLiteral("Taste1"));
    return h.clock.RunUntil([&] { return h.m.TerminalRead == 1 && !h.window->Session().Read().IsRunning(); }, 30000);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void loadAcceptsTwoSpellingsOnly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("capitals") << "A.QLV" << true;
        QTest::newRow("small letters") << "b.qlv" << true;
        QTest::newRow("mixed") << "c.Qlv" << false;
        QTest::newRow("comments file") << "d.BGT" << false;
    }
    void loadAcceptsTwoSpellingsOnly()
    {
        QFETCH(QString, name);
        QFETCH(bool, loaded);
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        const QString path = h.dir.filePath(name);
        WriteConfigFile(path, 2048, 7);
        h.files.names.enqueue(path);
        h.Trigger(QStringLiteral("mnuladen"));

        QCOMPARE(h.files.requests.size(), 1);
        QCOMPARE(h.files.requests.at(0).title, QStringLiteral("Datei zum Laden auswählen"));
        QCOMPARE(h.files.requests.at(0).proposedName, QStringLiteral("VARDELO"));
        QCOMPARE(h.files.requests.at(0).filter, CatalogueText(132, 0));
        QCOMPARE(h.files.requests.at(0).initialDirectory, h.m.StartDirectory);
        QCOMPARE(h.editorOpenedOn, loaded ? QStringList{path} : QStringList{});
        QCOMPARE(h.m.ConfigImage[2047], qint16(loaded ? 7 : 0));
        QCOMPARE(h.m.EditAfterLoad, false);
        if (loaded) {
            QVERIFY(h.messages.shown.isEmpty());
            QCOMPARE(Colour(h, "taste2"), Green);
        } else {
            QCOMPARE(h.Prompts(), QStringList{QStringLiteral("Sie haben keine VARDELOdatei gewählt")});
            QCOMPARE(h.messages.shown.at(0).title, QStringLiteral("  Achtung!"));
        }
    }

    void loadCancelledChangesNothing()
    {
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        h.Trigger(QStringLiteral("mnuladen"));
        QCOMPARE(h.files.requests.size(), 1);
        QVERIFY(h.messages.shown.isEmpty());
        QVERIFY(h.editorOpenedOn.isEmpty());
        QVERIFY(h.m.CurrentConfigFile.isEmpty());
    }

    // A short file is refused with a message and leaves the image as it was.
    void loadRefusesShortFile()
    {
        for (int offset : {0, 1000, 2000, 3000})
            QVERIFY(!CatalogueText(300, offset).isEmpty());
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        h.m.ConfigImage[0] = 42;
        const QString path = h.dir.filePath(QStringLiteral("short.QLV"));
        WriteConfigFile(path, 2000, 9);
        h.files.names.enqueue(path);
        h.Trigger(QStringLiteral("mnuladen"));
        QCOMPARE(h.messages.shown.size(), 1);
        QVERIFY(h.messages.shown.at(0).prompt.startsWith(CatalogueText(300, 0)));
        QVERIFY(h.messages.shown.at(0).prompt.contains(path));
        QCOMPARE(h.m.ConfigImage[0], qint16(42));
        QVERIFY(h.editorOpenedOn.isEmpty());
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
        QFile maker(h.dir.filePath(QStringLiteral("config/maker.txt")));
        QVERIFY(maker.open(QIODevice::WriteOnly));
        maker.write("https://service.example.org/vardelo\n");
        maker.close();
        // A file dialog may have moved the current directory.
        QDir::setCurrent(QDir::tempPath());
        h.Trigger(item);
        QCOMPARE(h.Prompts(), QStringList{QStringLiteral("https://service.example.org/vardelo")});
        QCOMPARE(h.messages.shown.at(0).title, QStringLiteral("INTERNET"));
        QCOMPARE(QDir::currentPath(), h.m.StartDirectory);
    }

    // The background picture from the configuration folder when there is
    // one; none (or an unreadable one) leaves the plain background, silently.
    void backgroundPicture_data()
    {
        QTest::addColumn<QByteArray>("content");   // empty: no file
        QTest::addColumn<bool>("shown");
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "BMP");
        QTest::newRow("picture") << bmp << true;
        QTest::newRow("no file") << QByteArray() << false;
        QTest::newRow("not a picture") << QByteArray("garbage") << false;
    }
    void backgroundPicture()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, shown);
        MainWindowHarness h;
        if (!content.isEmpty()) {
            QFile file(h.dir.filePath(QStringLiteral("config/hauptbild.bmp")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        h.StartAndPassLanguageWindow();
        const QPixmap& picture = h.Find<BackgroundWidget>(QStringLiteral("client"))->Picture();
        QCOMPARE(!picture.isNull(), shown);
        if (shown)
            QCOMPARE(picture.size(), QSize(40, 30));
        QVERIFY(h.messages.shown.isEmpty());
    }

    void progressCheckBoxesIgnoreClicks()
    {
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        h.Trigger(QStringLiteral("mnuauslesen"));
        for (const char* name : {"Ch1", "Ch2", "Ch3"}) {
            auto* box = h.Find<DisplayCheckBox>(QString::fromLatin1(name));
            QVERIFY(box);
            for (bool state : {false, true}) {
                box->setChecked(state);
                QTest::mouseClick(box, Qt::LeftButton);
                QCOMPARE(box->isChecked(), state);
                box->click();
                QCOMPARE(box->isChecked(), state);
            }
        }
    }

    // Cancelling the password dialog leaves the panel as it was and sends nothing.
    void cancelledPasswordSendsNothing()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        h.Trigger(QStringLiteral("mnuauslesen"));
        h.onModal = [](QDialog& dialog) { dialog.reject(); };
        h.Click(QStringLiteral("Taste1"));
        QCOMPARE(h.modalShown.last(), QStringLiteral("Passwort"));
        h.clock.Advance(12000);
        QVERIFY(!h.link->Dtr());
        QCOMPARE(h.Terminal().CurrentPhase(), SimulatedTerminal::Phase::Idle);
        QVERIFY(h.messages.shown.isEmpty());
        QVERIFY(h.Find<QPushButton>(QStringLiteral("Taste1"))->isEnabled());
        QCOMPARE(Colour(h, "Taste1"), Green);
        QVERIFY(h.Find<QGroupBox>(QStringLiteral("Frame1"))->isVisibleTo(h.window.get()));
    }

    // A whole read: the panel while it runs, the commands that would disturb
    // it unavailable, the identification, and on Yes the editor on the result.
    void readAnsweredYesOpensTheEditor()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        h.onModal = [](QDialog& dialog) { MainWindowHarness::EnterPassword(dialog, DemoPassword); };
        h.Trigger(QStringLiteral("mnuauslesen"));
        h.Click(QStringLiteral("Taste1"));

        h.clock.Advance(3000);
        auto* text2 = h.Find<QLineEdit>(QStringLiteral("Text2"));
        QVERIFY(text2->isVisibleTo(h.window.get()));
        QCOMPARE(text2->text(), QStringLiteral("Bitte warten"));
        QCOMPARE(Colour(h, "Taste1"), Red);
        QVERIFY(!h.Find<QPushButton>(QStringLiteral("Taste1"))->isEnabled());
        QVERIFY(!h.Find<QPushButton>(QStringLiteral("Command2"))->isEnabled());
        QVERIFY(h.Find<DisplayCheckBox>(QStringLiteral("Ch1"))->isChecked());
        QVERIFY(h.Find<DisplayCheckBox>(QStringLiteral("Ch2"))->isChecked());
        for (const char* command : {"mnuladen", "mnuauslesen", "mnubeschreiben", "mres", "mnuschnittst"})
            QVERIFY2(!h.Find<QAction>(QString::fromLatin1(command))->isEnabled(), command);
        QVERIFY(h.Find<QAction>(QStringLiteral("mnuBeenden"))->isEnabled());

        QVERIFY(h.clock.RunUntil([&] { return !h.editorOpenedOn.isEmpty(); }, 20000));
        QCOMPARE(h.editorOpenedOn.size(), 1);
        QCOMPARE(QFileInfo(h.editorOpenedOn.at(0)).absoluteFilePath(),
                 QDir::current().absoluteFilePath(QStringLiteral("VARDELO.QLV")));
        QCOMPARE(h.Prompts(), QStringList{QStringLiteral("Geladene Datei bearbeiten ?")});
        QCOMPARE(h.Find<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("      VARDELO SIM 1.00"));
        QVERIFY(h.Find<DisplayCheckBox>(QStringLiteral("Ch3"))->isChecked());
        QVERIFY(!text2->isVisibleTo(h.window.get()));
        QCOMPARE(Colour(h, "Taste1"), Green);
        for (const char* command : {"mnuladen", "mnuauslesen", "mnubeschreiben", "mres", "mnuschnittst"})
            QVERIFY2(h.Find<QAction>(QString::fromLatin1(command))->isEnabled(), command);

        Vardelomod demo;
        BuildDemoConfiguration(demo);
        Vardelomod read;
        QVERIFY(ReadConfigurationFile(read, QDir::current().filePath(QStringLiteral("VARDELO.QLV"))));
        for (int slot = 0; slot < Vardelomod::BlockSlots; ++slot)
            QCOMPARE(read.ConfigImage[slot], demo.ConfigImage[slot]);
    }

    // The real editor, opened on the read's result.
    void readAnsweredYesShowsTheResultInTheEditor()
    {
        MainWindowHarness h(Kind::Simulated);
        h.onModal = [](QDialog& dialog) {
            if (auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1")))
                ok->click();
        };
        h.Start(true);
        h.clock.Advance(1000);
        QString editorTitle, doorOpenTime, password;
        h.onModal = [&](QDialog& dialog) {
            if (dialog.objectName() == QLatin1String("Passwort")) {
                MainWindowHarness::EnterPassword(dialog, DemoPassword);
            } else if (dialog.objectName() == QLatin1String("vardelodatei")) {
                editorTitle = dialog.windowTitle();
                doorOpenTime = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"))->text();
                password = dialog.findChild<QLineEdit*>(QStringLiteral("Text4"))->text();
            }
        };
        h.Trigger(QStringLiteral("mnuauslesen"));
        h.Click(QStringLiteral("Taste1"));
        QVERIFY(h.clock.RunUntil([&] { return h.modalShown.contains(QStringLiteral("vardelodatei")); }, 20000));
        QVERIFY(editorTitle.endsWith(QStringLiteral("VARDELO.QLV")));
        QCOMPARE(doorOpenTime, QStringLiteral("5"));
        QCOMPARE(password, DemoPassword);
        // Opening the editor hid the panels and their start buttons.
        QVERIFY(!h.Find<QGroupBox>(QStringLiteral("Frame1"))->isVisibleTo(h.window.get()));
        QVERIFY(!h.Find<QPushButton>(QStringLiteral("Taste1"))->isVisibleTo(h.window.get()));
    }

    // After a read (answered No) the write panel, the write with its progress
    // bars, the success message; a second write is refused with text 135.
    void writeAfterReadThenRefused()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        QVERIFY(ReadTerminal(h, Messages::Answer::No));
        QVERIFY(h.editorOpenedOn.isEmpty());
        QVERIFY(!h.Find<QGroupBox>(QStringLiteral("Frame1"))->isVisibleTo(h.window.get()));
        QVERIFY(!h.Find<QGroupBox>(QStringLiteral("Frame2"))->isVisibleTo(h.window.get()));
        QCOMPARE(h.m.TerminalRead, qint16(1));

        // Change one display character in the file and write it.
        const QString path = QDir::current().filePath(QStringLiteral("VARDELO.QLV"));
        Vardelomod changed;
        QVERIFY(ReadConfigurationFile(changed, path));
        changed.ConfigImage[16] = 'X';
        QVERIFY(WriteConfigurationFile(changed, path));
        h.files.names.enqueue(path);
        h.Trigger(QStringLiteral("mnubeschreiben"));
        QCOMPARE(h.files.requests.last().title, QStringLiteral("Datei zum Schreiben auswählen"));
        QVERIFY(h.Find<QGroupBox>(QStringLiteral("Frame2"))->isVisibleTo(h.window.get()));
        QCOMPARE(h.Find<QLabel>(QStringLiteral("Label2"))->text(), path);
        QCOMPARE(Colour(h, "taste2"), Green);

        auto* send = h.Find<QProgressBar>(QStringLiteral("FlatScrollBar1"));
        auto* reply = h.Find<QProgressBar>(QStringLiteral("FlatScrollBar2"));
        QCOMPARE(send->maximum(), 2046);
        QCOMPARE(reply->maximum(), 2045);
        QSignalSpy sendValues(send, &QProgressBar::valueChanged);
        h.Click(QStringLiteral("taste2"));
        // Sending wraps at the end of the bar and is set back when done.
        QVERIFY(sendValues.size() >= 3);
        bool wrapped = false;
        for (int i = 1; i < sendValues.size(); ++i)
            wrapped |= sendValues.at(i - 1).at(0).toInt() == 2046 && sendValues.at(i).at(0).toInt() == 0;
        QVERIFY(wrapped);
        QCOMPARE(send->value(), 0);
        QCOMPARE(Colour(h, "taste2"), Red);
        QVERIFY(!h.Find<QPushButton>(QStringLiteral("Command1"))->isEnabled());
        for (const char* command : {"mnuladen", "mnuauslesen", "mnubeschreiben", "mres", "mnuschnittst"})
            QVERIFY2(!h.Find<QAction>(QString::fromLatin1(command))->isEnabled(), command);
        QCOMPARE(h.Find<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("keine Identifikation"));

        QVERIFY(h.clock.RunUntil([&] { return !h.window->Session().Write().IsRunning(); }, 30000));
        QVERIFY(reply->value() > 0);
        QCOMPARE(h.Prompts().last(), QStringLiteral("VARDELO erfolgreich programmiert"));
        QVERIFY(!h.Find<QGroupBox>(QStringLiteral("Frame2"))->isVisibleTo(h.window.get()));
        QCOMPARE(h.Terminal().Memory()[16], quint8('X'));

        const int before = h.files.requests.size();
        h.Trigger(QStringLiteral("mnubeschreiben"));
        QCOMPARE(h.Prompts().last(), QStringLiteral("VARDELO muss erst ausgelesen werden"));
        QCOMPARE(h.files.requests.size(), before);   // no file dialog
    }

    // A reset hides both panels and takes back the read.
    void resetBetweenReadAndWrite()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        QVERIFY(ReadTerminal(h, Messages::Answer::No));
        h.Trigger(QStringLiteral("mnuauslesen"));
        h.Trigger(QStringLiteral("mres"));
        QVERIFY(!h.Find<QGroupBox>(QStringLiteral("Frame1"))->isVisibleTo(h.window.get()));
        QCOMPARE(h.Find<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("keine Identifikation"));
        h.clock.Advance(600);
        QCOMPARE(h.Terminal().Restarts(), 1);
        h.Trigger(QStringLiteral("mnubeschreiben"));
        QCOMPARE(h.Prompts().last(), QStringLiteral("VARDELO muss erst ausgelesen werden"));
    }

    // "VARDELO.QLV" cannot be created: a message, and the image can still be written.
    void unwritableResultIsReported()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        QVERIFY(QDir().mkdir(QStringLiteral("VARDELO.QLV")));   // a folder in its place
        h.onModal = [](QDialog& dialog) { MainWindowHarness::EnterPassword(dialog, DemoPassword); };
        h.Trigger(QStringLiteral("mnuauslesen"));
        h.Click(QStringLiteral("Taste1"));
        QVERIFY(h.clock.RunUntil([&] { return h.m.TerminalRead == 1 && !h.window->Session().Read().IsRunning(); }, 30000));
        QVERIFY(h.editorOpenedOn.isEmpty());
        QCOMPARE(h.messages.shown.size(), 1);
        QVERIFY(h.Prompts().at(0).contains(QStringLiteral("VARDELO.QLV")));
        QVERIFY(h.window->Session().Write().CheckReadDone());
    }

    // Exit during a read stops it and leaves DTR and RTS off.
    void exitDuringReadLeavesLinesOff()
    {
        MainWindowHarness h(Kind::Simulated);
        h.StartAndPassLanguageWindow();
        h.onModal = [](QDialog& dialog) { MainWindowHarness::EnterPassword(dialog, DemoPassword); };
        h.Trigger(QStringLiteral("mnuauslesen"));
        h.Click(QStringLiteral("Taste1"));
        h.clock.Advance(700);
        QVERIFY(h.link->Rts());
        h.Trigger(QStringLiteral("mnuBeenden"));
        QVERIFY(!h.link->Dtr());
        QVERIFY(!h.link->Rts());
        QVERIFY(!h.window->Session().Read().IsRunning());
        h.clock.Advance(20000);
        QVERIFY(h.messages.shown.isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
