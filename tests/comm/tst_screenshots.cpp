// Pictures of the main window and its dialogs for a look by eye, in every
// language. Runs only when VARDELO_SCREENSHOT_DIR names a folder; run it
// under Xvfb with the xcb platform to see the real rendering:
//   VARDELO_SCREENSHOT_DIR=shots QT_QPA_PLATFORM=xcb xvfb-run -a build/tests/tst_comm_screenshots
#include "comm/sequences.h"
#include "common/mainwindowharness.h"

class ScreenshotTest : public QObject {
    Q_OBJECT
    QString folder_;
    QString language_;

    void Save(QWidget& widget, const QString& name)
    {
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QCoreApplication::processEvents();
        QVERIFY(widget.grab().save(QDir(folder_).filePath(name + u'-' + language_ + QStringLiteral(".png"))));
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
        QTest::addColumn<int>("offset");
        QTest::newRow("de") << 0;
        QTest::newRow("en") << 1000;
        QTest::newRow("fr") << 2000;
        QTest::newRow("es") << 3000;
    }
    void shots()
    {
        QFETCH(int, offset);
        language_ = QString::fromLatin1(QTest::currentDataTag());
        MainWindowHarness h(MainWindowHarness::LinkKind::Simulated, QStringLiteral(" 1\r\n %1\r\n").arg(offset).toLatin1());
        // Each modal dialog is photographed, then OK'd (language window),
        // cancelled (interface dialog) or given the password.
        h.onModal = [&](QDialog& dialog) {
            const QString name = dialog.objectName();
            Save(dialog, name == u"start" ? QStringLiteral("language") : name == u"Passwort" ? name : QStringLiteral("interface"));
            if (name == u"start")
                MainWindowHarness::Press(dialog, "Command1");
            else if (name == u"Passwort")
                MainWindowHarness::EnterPassword(dialog, DemoPassword);
            else
                dialog.reject();
        };
        h.Start();
        h.window->show();
        h.clock.Advance(1000);
        Save(*h.window, QStringLiteral("main-idle"));
        h.Trigger(QStringLiteral("mnuschnittst"));
        h.Trigger(QStringLiteral("mnuauslesen"));
        Save(*h.window, QStringLiteral("main-readpanel"));
        h.Click(QStringLiteral("Taste1"));
        h.clock.Advance(4000);
        Save(*h.window, QStringLiteral("main-reading"));
        h.messages.answers.enqueue(Messages::Answer::No);
        QVERIFY(h.clock.RunUntil([&] { return !h.window->Session().Read().IsRunning(); }, 30000));
        h.Trigger(QStringLiteral("mnuauslesen"));
        Save(*h.window, QStringLiteral("main-readdone"));
        h.files.names.enqueue(QDir::current().filePath(QStringLiteral("VARDELO.QLV")));
        h.Trigger(QStringLiteral("mnubeschreiben"));
        Save(*h.window, QStringLiteral("main-writepanel"));
        h.Click(QStringLiteral("taste2"));
        h.clock.Advance(4000);
        Save(*h.window, QStringLiteral("main-writing"));
        QVERIFY(h.clock.RunUntil([&] { return !h.window->Session().Write().IsRunning(); }, 30000));
    }
};

QTEST_MAIN(ScreenshotTest)
#include "tst_screenshots.moc"
