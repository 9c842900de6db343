// Start-up and the language window, offscreen on the manual clock.
#include "app/ui/languagewindow.h"
#include "common/mainwindowharness.h"
#include "common/scriptedlink.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {
QString MenuTitle(MainWindowHarness& h, const char* name)
{
    return h.Find<QMenu>(QString::fromLatin1(name))->title();
}
QString ActionText(MainWindowHarness& h, const char* name)
{
    return h.Find<QAction>(QString::fromLatin1(name))->text();
}
} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    // No settings file: written "1"/"0", German, com1; one second later the
    // language window with "deutsch" selected, which rewrites " 1"/" 0".
    void firstRunWithoutSettings()
    {
        MainWindowHarness h(MainWindowHarness::LinkKind::Scripted, std::nullopt);
        QByteArray settingsWhileOpen;
        bool germanSelected = false;
        h.onModal = [&](QDialog& dialog) {
            auto* window = qobject_cast<LanguageWindow*>(&dialog);
            QVERIFY(window);
            germanSelected = window->LanguageButton(0)->isChecked();
            QCOMPARE(window->windowTitle(), QStringLiteral("Sprache wählen"));
            settingsWhileOpen = h.SettingsContent();
            dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        };
        h.Start();
        QCOMPARE(h.SettingsContent(), QByteArray("1\r\n0\r\n"));
        QCOMPARE(h.m.PortNumber, qint16(1));
        QCOMPARE(h.Scripted().opened, QList<int>{1});
        QCOMPARE(MenuTitle(h, "mnudatei"), QStringLiteral("&Datei"));
        QCOMPARE(h.Find<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("keine Identifikation"));
        QVERIFY(!h.Find<QGroupBox>(QStringLiteral("Frame1"))->isVisibleTo(h.window.get()));
        QVERIFY(!h.Find<QGroupBox>(QStringLiteral("Frame2"))->isVisibleTo(h.window.get()));

        h.clock.Advance(999);
        QVERIFY(h.modalShown.isEmpty());
        h.clock.Advance(1);
        QCOMPARE(h.modalShown, QStringList{QStringLiteral("start")});
        QVERIFY(germanSelected);
        QCOMPARE(settingsWhileOpen, QByteArray(" 1\r\n 0\r\n"));
        QCOMPARE(h.SettingsContent(), QByteArray(" 1\r\n 0\r\n"));
        // Once per run.
        h.clock.Advance(10000);
        QCOMPARE(h.modalShown.size(), 1);
    }

    // English takes effect on the click and is stored then; after OK the main
    // window's captions switch at once, the help items keep theirs.
    void choosingEnglishSwitchesTheCaptions()
    {
        MainWindowHarness h;
        QByteArray storedOnClick;
        h.onModal = [&](QDialog& dialog) {
            auto* window = qobject_cast<LanguageWindow*>(&dialog);
            window->LanguageButton(1)->click();
            storedOnClick = h.SettingsContent();
            // The window's own texts stay as they were when it opened.
            QCOMPARE(window->windowTitle(), QStringLiteral("Sprache wählen"));
            dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        };
        h.Start();
        h.Find<QLabel>(QStringLiteral("Label1"))->setText(QStringLiteral("      VARDELO SIM 1.00"));
        h.clock.Advance(1000);
        QCOMPARE(storedOnClick, QByteArray(" 1\r\n 1000\r\n"));
        QCOMPARE(h.m.LanguageOffset, qint16(1000));
        QCOMPARE(MenuTitle(h, "mnudatei"), QStringLiteral("&File"));
        QCOMPARE(ActionText(h, "mnuladen"), QStringLiteral("&Load"));
        QCOMPARE(ActionText(h, "mnuauslesen"), QStringLiteral("&Read VARDELO"));
        QCOMPARE(h.Find<QGroupBox>(QStringLiteral("Frame1"))->title(), QStringLiteral("VARDELO read sequence"));
        QCOMPARE(h.Find<QPushButton>(QStringLiteral("taste2"))->text(), QStringLiteral("Write file in VARDELO"));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("QLV VARDELO  download progam    Ver 1.2  (stand alone)"));
        QCOMPARE(h.Find<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("No identification"));
        QCOMPARE(ActionText(h, "mnusoft"), QStringLiteral("&Software"));
        QCOMPARE(ActionText(h, "mnuinst"), QStringLiteral("&Installation"));
        QCOMPARE(ActionText(h, "mnualarm"), QStringLiteral("&Alarmmodul"));
    }

    void settingsChooseLanguageAndPort_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("fileMenu");
        QTest::newRow("com3 French") << QByteArray(" 3\r\n 2000\r\n") << 3 << 2000 << "Fichier";
        QTest::newRow("com2 Spanish") << QByteArray("2\r\n3000\r\n") << 2 << 3000 << "archivo";
        QTest::newRow("unknown language is German") << QByteArray(" 1\r\n 1234\r\n") << 1 << 0 << "&Datei";
    }
    void settingsChooseLanguageAndPort()
    {
        QFETCH(QByteArray, settings);
        QFETCH(int, port);
        QFETCH(int, offset);
        QFETCH(QString, fileMenu);
        MainWindowHarness h(MainWindowHarness::LinkKind::Scripted, settings);
        h.Start();
        QCOMPARE(int(h.m.PortNumber), port);
        QCOMPARE(h.Scripted().opened, QList<int>{port});
        QCOMPARE(int(h.m.LanguageOffset), offset);
        QCOMPARE(MenuTitle(h, "mnudatei"), fileMenu);
    }

    // com1 busy: com2 is taken, and the language window stores com2.
    void busyCom1FallsBackToCom2()
    {
        MainWindowHarness h;
        h.Scripted().failingPorts = {1};
        h.StartAndPassLanguageWindow();
        QCOMPARE(h.Scripted().opened, QList<int>{2});
        QVERIFY(h.messages.shown.isEmpty());
        QCOMPARE(h.SettingsContent(), QByteArray(" 2\r\n 0\r\n"));
    }

    // Neither com1 nor com2: text 129, and the program goes on with the port
    // closed; a terminal command then reports text 165 at once.
    void noPortOpensTheProgramGoesOn()
    {
        MainWindowHarness h;
        h.Scripted().failingPorts = {1, 2};
        h.StartAndPassLanguageWindow();
        QCOMPARE(h.Prompts(), QStringList{QStringLiteral("Beide seriellen Schnittstellen (com1/com2) belegt")});
        QVERIFY(!h.link->IsOpen());
        QCOMPARE(h.modalShown, QStringList{QStringLiteral("start")});
        QVERIFY(h.Find<QAction>(QStringLiteral("mnuladen"))->isEnabled());

        h.Trigger(QStringLiteral("mnuauslesen"));
        h.Click(QStringLiteral("Taste1"));
        QCOMPARE(h.Prompts().last(), QStringLiteral("Serielle Schnittstelle belegt"));
        QCOMPARE(h.modalShown, QStringList{QStringLiteral("start")});   // no password dialog
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
