// Start-up and the language window, offscreen on the manual clock.
#include "app/ui/languagewindow.h"
#include "common/mainwindowharness.h"

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    // No settings file: written "1"/"0", German, com1; one second later the
    // language window with "deutsch" selected, which rewrites " 1"/" 0".
    void firstRunWithoutSettings()
    {
        MainWindowHarness h(MainWindowHarness::LinkKind::Scripted, std::nullopt);
        bool germanSelected = false;
        h.onModal = [&](QDialog& dialog) {
            germanSelected = qobject_cast<LanguageWindow*>(&dialog)->LanguageButton(0)->isChecked();
            MainWindowHarness::Press(dialog, "Command1");
        };
        h.Start();
        QCOMPARE(h.SettingsContent(), QByteArray("1\r\n0\r\n"));
        QCOMPARE(h.Find<QMenu>(QStringLiteral("mnudatei"))->title(), QStringLiteral("&Datei"));
        h.clock.Advance(999);
        QVERIFY(h.modalShown.isEmpty());
        h.clock.Advance(1);
        QCOMPARE(h.modalShown, QStringList{QStringLiteral("start")});
        QVERIFY(germanSelected);
        QCOMPARE(h.SettingsContent(), QByteArray(" 1\r\n 0\r\n"));
        h.clock.Advance(10000);   // once per run
        QCOMPARE(h.modalShown.size(), 1);
    }

    // English is stored on the click; after OK the main window's captions
    // switch at once, the help items keep theirs.
    void choosingEnglishSwitchesTheCaptions()
    {
        MainWindowHarness h;
        QByteArray storedOnClick;
        h.onModal = [&](QDialog& dialog) {
            qobject_cast<LanguageWindow*>(&dialog)->LanguageButton(1)->click();
            storedOnClick = h.SettingsContent();
            MainWindowHarness::Press(dialog, "Command1");
        };
        h.Start();
        h.clock.Advance(1000);
        QCOMPARE(storedOnClick, QByteArray(" 1\r\n 1000\r\n"));
        QCOMPARE(h.Find<QMenu>(QStringLiteral("mnudatei"))->title(), QStringLiteral("&File"));
        QCOMPARE(h.Find<QGroupBox>(QStringLiteral("Frame1"))->title(), QStringLiteral("VARDELO read sequence"));
        QCOMPARE(h.Text(QStringLiteral("Label1")), QStringLiteral("No identification"));
        QCOMPARE(h.Find<QAction>(QStringLiteral("mnuinst"))->text(), QStringLiteral("&Installation"));
        QCOMPARE(h.Find<QAction>(QStringLiteral("mnualarm"))->text(), QStringLiteral("&Alarmmodul"));
    }

    // The saved port and language; an unknown language value is German; com1
    // busy takes com2; neither opening shows text 129 and the program goes on
    // with the port closed, where a read reports text 165 without asking for
    // the password.
    void settingsAndPorts_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QList<int>>("failing");
        QTest::addColumn<QList<int>>("opened");
        QTest::addColumn<QString>("fileMenu");
        QTest::addColumn<QString>("prompts");
        QTest::newRow("com3 French") << QByteArray(" 3\r\n 2000\r\n") << QList<int>{} << QList<int>{3} << "Fichier" << "";
        QTest::newRow("com2 Spanish") << QByteArray("2\r\n3000\r\n") << QList<int>{} << QList<int>{2} << "archivo" << "";
        QTest::newRow("unknown language") << QByteArray(" 1\r\n 1234\r\n") << QList<int>{} << QList<int>{1} << "&Datei" << "";
        QTest::newRow("com1 busy") << QByteArray(" 1\r\n 0\r\n") << QList<int>{1} << QList<int>{2} << "&Datei" << "";
        QTest::newRow("both busy") << QByteArray(" 1\r\n 0\r\n") << QList<int>{1, 2} << QList<int>{} << "&Datei"
                                   << "Beide seriellen Schnittstellen (com1/com2) belegt|Serielle Schnittstelle belegt";
        // A port line without a valid number starts from com1 like a busy port.
        QTest::newRow("no number") << QByteArray("abc\r\n 0\r\n") << QList<int>{} << QList<int>{1} << "&Datei" << "";
        QTest::newRow("no number, com1 busy") << QByteArray("abc\r\n 0\r\n") << QList<int>{1} << QList<int>{2} << "&Datei" << "";
        QTest::newRow("no number, both busy") << QByteArray("abc\r\n 0\r\n") << QList<int>{1, 2} << QList<int>{} << "&Datei"
                                              << "Beide seriellen Schnittstellen (com1/com2) belegt|Serielle Schnittstelle belegt";
    }
    void settingsAndPorts()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QList<int>, failing);
        QFETCH(QList<int>, opened);
        QFETCH(QString, prompts);
        MainWindowHarness h(MainWindowHarness::LinkKind::Scripted, settings);
        h.Scripted().failingPorts = QSet<int>(failing.begin(), failing.end());
        h.Start();
        QCOMPARE(h.Scripted().opened, opened);
        QTEST(h.Find<QMenu>(QStringLiteral("mnudatei"))->title(), "fileMenu");
        h.Trigger(QStringLiteral("mnuauslesen"));
        h.Click(QStringLiteral("Taste1"));   // the password dialog is cancelled
        QCOMPARE(h.Prompts().join(u'|'), prompts);
        if (!opened.isEmpty())
            QCOMPARE(h.modalShown, QStringList{QStringLiteral("Passwort")});
        QVERIFY(h.Enabled(QStringLiteral("mnuladen")));
        h.onModal = [](QDialog& dialog) { MainWindowHarness::Press(dialog, "Command1"); };
        h.clock.Advance(1000);   // the language window stores the port in use
        QCOMPARE(h.SettingsContent().left(2), QByteArray(" ") + QByteArray::number(opened.value(0, 1)));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
