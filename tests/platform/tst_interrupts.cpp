// Ctrl+C and SIGTERM reach the event loop as a signal while a watcher
// lives, and end the process as before once it is gone.
#include "platform/interrupts.h"

#include <QtTest>
#include <csignal>

#ifdef Q_OS_UNIX
namespace {

// The handling of a signal as the system has it now.
void (*HandlerOf(int signal))(int)
{
    struct sigaction now {};
    ::sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

} // namespace
#endif

class InterruptsTest : public QObject {
    Q_OBJECT
private slots:
    void signalsArriveOnTheEventLoop()
    {
#ifndef Q_OS_UNIX
        QSKIP("signals are a Unix thing; Windows' console events are not raised from a test");
#else
        // What was there before the watcher (here: ignored, so that a fault
        // of the watcher cannot end the test) comes back after it.
        ::signal(SIGINT, SIG_IGN);
        ::signal(SIGTERM, SIG_IGN);
        {
            InterruptWatcher watcher;
            QSignalSpy spy(&watcher, &InterruptWatcher::Interrupted);
            QVERIFY(HandlerOf(SIGINT) != SIG_IGN && HandlerOf(SIGTERM) != SIG_IGN);
            ::raise(SIGINT);
            ::raise(SIGTERM);
            ::raise(SIGINT);
            // The handler has only written to the watcher's pipe; the signal
            // comes from the event loop.
            QCOMPARE(spy.count(), 0);
            QCoreApplication::processEvents();
            QCOMPARE(spy.count(), 3);
            QCOMPARE(watcher.Count(), 3);
        }
        QVERIFY(HandlerOf(SIGINT) == SIG_IGN);
        QVERIFY(HandlerOf(SIGTERM) == SIG_IGN);
        ::raise(SIGINT);   // ignored again, as before
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
#endif
    }
};

QTEST_GUILESS_MAIN(InterruptsTest)
#include "tst_interrupts.moc"
