// The main window's own commands, offscreen through the seams: load, help,
// the display-only check boxes.
#include "app/catalogue.h"
#include "comm/ui/displaycheckbox.h"
#include "comm/ui/mainwindow.h"
#include "common/fakes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void WriteConfigFile(const QString& path, int lines, int value)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < lines; ++i)
        file.write(QStringLiteral(" %1 \r\n").arg(value).toLatin1());
}

struct Window {
    QTemporaryDir dir;
    Vardelomod m;
    FakeMessages messages;
    FakeFileDialogs files;
    int editorOpenings = 0;
    QString editorFile;
    std::unique_ptr<MainWindow> w;

    explicit Window(int languageOffset = 0)
    {
        QDir::setCurrent(dir.path());
        QDir().mkpath(dir.filePath(QStringLiteral("config")));
        QFile settings(SettingsPath());
        if (settings.open(QIODevice::WriteOnly))
            settings.write(QStringLiteral(" 1\r\n %1\r\n").arg(languageOffset).toLatin1());
        settings.close();
        w = std::make_unique<MainWindow>(m, MainWindow::Services{messages, files, SettingsPath()});
        w->OpenEditor = [this] {
            ++editorOpenings;
            editorFile = m.CurrentConfigFile;
        };
        w->StartUp();
    }
    QString SettingsPath() const { return dir.filePath(QStringLiteral("config/VARDELO.ini")); }
    template <typename T> T* Find(const QString& name) const { return w->findChild<T*>(name); }
    QAction* Action(const QString& name) const { return Find<QAction>(name); }
};

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
        Window f;
        const QString path = f.dir.filePath(name);
        WriteConfigFile(path, 2048, 7);
        f.files.names.enqueue(path);
        f.Action(QStringLiteral("mnuladen"))->trigger();

        QCOMPARE(f.files.requests.size(), 1);
        QCOMPARE(f.files.requests.at(0).title, QStringLiteral("Datei zum Laden auswählen"));
        QCOMPARE(f.files.requests.at(0).proposedName, QStringLiteral("VARDELO"));
        QCOMPARE(f.files.requests.at(0).initialDirectory, f.m.StartDirectory);
        QCOMPARE(f.editorOpenings, loaded ? 1 : 0);
        QCOMPARE(f.m.ConfigImage[2047], qint16(loaded ? 7 : 0));
        QCOMPARE(f.m.EditAfterLoad, false);
        if (loaded) {
            QCOMPARE(f.editorFile, path);
            QVERIFY(f.messages.shown.isEmpty());
            QCOMPARE(MainWindow::ButtonColour(f.Find<QPushButton>(QStringLiteral("taste2"))), QColor(0, 255, 0));
        } else {
            QCOMPARE(f.messages.shown.size(), 1);
            QCOMPARE(f.messages.shown.at(0).prompt, QStringLiteral("Sie haben keine VARDELOdatei gewählt"));
            QCOMPARE(f.messages.shown.at(0).title, QStringLiteral("  Achtung!"));
        }
    }

    void loadCancelledChangesNothing()
    {
        Window f;
        f.Action(QStringLiteral("mnuladen"))->trigger();
        QCOMPARE(f.files.requests.size(), 1);
        QVERIFY(f.messages.shown.isEmpty());
        QCOMPARE(f.editorOpenings, 0);
        QVERIFY(f.m.CurrentConfigFile.isEmpty());
    }

    // A short file is refused with a message and leaves the image as it was.
    void loadRefusesShortFile()
    {
        Window f;
        f.m.ConfigImage[0] = 42;
        const QString path = f.dir.filePath(QStringLiteral("short.QLV"));
        WriteConfigFile(path, 2000, 9);
        f.files.names.enqueue(path);
        f.Action(QStringLiteral("mnuladen"))->trigger();
        QCOMPARE(f.messages.shown.size(), 1);
        QVERIFY(f.messages.shown.at(0).prompt.startsWith(CatalogueText(300, 0)));
        QVERIFY(f.messages.shown.at(0).prompt.contains(path));
        QCOMPARE(f.m.ConfigImage[0], qint16(42));
        QCOMPARE(f.editorOpenings, 0);
    }

    void helpItemsShowTheMakerAddress_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::newRow("software") << "mnusoft" << "&Software";
        QTest::newRow("installation") << "mnuinst" << "&Installation";
        QTest::newRow("alarm module") << "mnualarm" << "&Alarmmodul";
    }
    void helpItemsShowTheMakerAddress()
    {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        Window f(1000);
        QFile maker(f.dir.filePath(QStringLiteral("config/maker.txt")));
        QVERIFY(maker.open(QIODevice::WriteOnly));
        maker.write("https://service.example.org/vardelo\n");
        maker.close();
        // A file dialog may have moved the current directory.
        QDir::setCurrent(QDir::tempPath());

        QAction* a = f.Action(item);
        QCOMPARE(a->text(), caption);
        a->trigger();
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.shown.at(0).prompt, QStringLiteral("https://service.example.org/vardelo"));
        QCOMPARE(f.messages.shown.at(0).title, QStringLiteral("INTERNET"));
        QCOMPARE(QDir::currentPath(), f.m.StartDirectory);
    }

    void progressCheckBoxesIgnoreClicks()
    {
        Window f;
        f.Action(QStringLiteral("mnuauslesen"))->trigger();
        for (const char* name : {"Ch1", "Ch2", "Ch3"}) {
            auto* box = f.Find<DisplayCheckBox>(QString::fromLatin1(name));
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
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
