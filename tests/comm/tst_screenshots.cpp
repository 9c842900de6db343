// Pictures of the main window and its dialogs for a look by eye, in German
// and English. Runs only when VARDELO_SCREENSHOT_DIR names a folder; run it
// under Xvfb with the xcb platform to see the real rendering:
//   VARDELO_SCREENSHOT_DIR=shots QT_QPA_PLATFORM=xcb xvfb-run -a build/tests/tst_comm_screenshots
#include "comm/sequences.h"
#include "common/democonfig.h"
#include "common/mainwindowharness.h"

#include <QDir>
#include <QPushButton>
#include <QtTest>

class ScreenshotTest : public QObject {
    Q_OBJECT
private:
    QString folder_;

    void Save(QWidget& widget, const QString& name)
    {
        QCoreApplication::processEvents();
        QVERIFY(widget.grab().save(QDir(folder_).filePath(name + QStringLiteral(".png"))));
    }

private slots:
    void initTestCase()
    {
        folder_ = qEnvironmentVariable("VARDELO_SCREENSHOT_DIR");
        if (folder_.isEmpty())
            QSKIP("VARDELO_SCREENSHOT_DIR not set");
        QDir().mkpath(folder_);
        folder_ = QDir(folder_).absolutePath();
    }

    void shots_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("language");
        QTest::newRow("de") << QByteArray(" 1\r\n 0\r\n") << "de";
        QTest::newRow("en") << QByteArray(" 1\r\n 1000\r\n") << "en";
        QTest::newRow("fr") << QByteArray(" 1\r\n 2000\r\n") << "fr";
        QTest::newRow("es") << QByteArray(" 1\r\n 3000\r\n") << "es";
    }
    void shots()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, language);
        MainWindowHarness h(MainWindowHarness::LinkKind::Simulated, settings);
        h.onModal = [&](QDialog& dialog) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            Save(dialog, QStringLiteral("language-") + language);
            dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        };
        h.Start();
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.clock.Advance(1000);
        Save(*h.window, QStringLiteral("main-idle-") + language);

        h.onModal = [&](QDialog& dialog) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            Save(dialog, QStringLiteral("interface-") + language);
            dialog.reject();
        };
        h.Trigger(QStringLiteral("mnuschnittst"));

        h.onModal = [&](QDialog& dialog) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            MainWindowHarness::EnterPassword(dialog, DemoPassword);
        };
        h.Trigger(QStringLiteral("mnuauslesen"));
        Save(*h.window, QStringLiteral("main-readpanel-") + language);
        h.Click(QStringLiteral("Taste1"));
        h.clock.Advance(4000);
        Save(*h.window, QStringLiteral("main-reading-") + language);
        h.messages.answers.enqueue(Messages::Answer::No);
        QVERIFY(h.clock.RunUntil([&] { return h.m.TerminalRead == 1 && !h.window->Session().Read().IsRunning(); }, 30000));
        h.Trigger(QStringLiteral("mnuauslesen"));
        Save(*h.window, QStringLiteral("main-readdone-") + language);

        h.files.names.enqueue(QDir::current().filePath(QStringLiteral("VARDELO.QLV")));
        h.Trigger(QStringLiteral("mnubeschreiben"));
        Save(*h.window, QStringLiteral("main-writepanel-") + language);
        h.Click(QStringLiteral("taste2"));
        h.clock.Advance(4000);
        Save(*h.window, QStringLiteral("main-writing-") + language);
        QVERIFY(h.clock.RunUntil([&] { return !h.window->Session().Write().IsRunning(); }, 30000));
    }
};

QTEST_MAIN(ScreenshotTest)
#include "tst_screenshots.moc"
