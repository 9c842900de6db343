// Start-up until the main window is shown, offscreen: the window's load
// (settings, language, texts, port, panels) and the first show. Goal: under
// 300 ms. The first start of the process is the one an operator waits for
// (catalogue, fonts and styles are loaded then); later ones show the window's
// own cost.
#include "comm/simterminal.h"
#include "app/ui/mainwindow.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "platform/timers.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Time the process spent creating the application object (platform plugin,
// fonts), measured in main() before the benchmarks run.
qint64 applicationNs = 0;

class NoMessages : public Messages {
public:
    Answer Show(const QString&, const QString&, Buttons, QWidget*) override { return Answer::Ok; }
};
class NoFileDialogs : public FileDialogs {
public:
    std::optional<QString> Open(const FileDialogRequest&, QWidget*) override { return std::nullopt; }
    std::optional<QString> Save(const FileDialogRequest&, QWidget*) override { return std::nullopt; }
    bool ChoosePrinter(QPrinter&, const QString&, QWidget*) override { return false; }
    void PreviewPrint(QPrinter&, const QString&, const std::function<void(QPrinter&)>&, QWidget*) override {}
};

// One start: constructs and loads the window and waits until it is shown.
qint64 StartOnceNs(const QString& settingsPath)
{
    QElapsedTimer clock;
    clock.start();
    ProgramState program;
    Configuration m;
    NoMessages messages;
    NoFileDialogs files;
    QtTimers timers;
    SimulatedTerminal link(timers);
    MainWindow window(program, m, {messages, files, timers, link, settingsPath});
    window.StartUp();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return -1;
    return clock.nsecsElapsed();
}

} // namespace

class StartupBench : public QObject {
    Q_OBJECT
private slots:
    void firstStart()
    {
        QTemporaryDir dir;
        const qint64 ns = StartOnceNs(dir.filePath(QStringLiteral("config/VARDELO.ini")));
        QVERIFY(ns > 0);
        qInfo("application object: %.1f ms; first start until the main window is shown: %.1f ms;"
              " together %.1f ms (goal < 300 ms)",
              applicationNs / 1e6, ns / 1e6, (applicationNs + ns) / 1e6);
    }

    void laterStarts()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath(QStringLiteral("config/VARDELO.ini"));
        QBENCHMARK {
            QVERIFY(StartOnceNs(settings) > 0);
        }
    }
};

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vardelo"));
    applicationNs = clock.nsecsElapsed();
    StartupBench bench;
    return QTest::qExec(&bench, argc, argv);
}
#include "bench_startup.moc"
