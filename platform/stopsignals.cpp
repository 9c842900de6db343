#include "platform/stopsignals.h"

#include <QPointer>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

#ifdef Q_OS_UNIX
// The handler may only do what is safe in a signal handler: it writes one
// byte to a socket pair, whose other end the event loop watches.
namespace {
int wakeFds[2] = {-1, -1};
void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(wakeFds[0], &byte, 1);
}
}

class StopSignals::Watch {
public:
    explicit Watch(StopSignals* owner)
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, wakeFds) != 0)
            return;
        notifier_ = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, owner);
        QObject::connect(notifier_, &QSocketNotifier::activated, owner, [owner] {
            char byte = 0;
            [[maybe_unused]] const auto read = ::read(wakeFds[1], &byte, 1);
            emit owner->StopRequested();
        });
        struct sigaction action = {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, &oldInt_);
        ::sigaction(SIGTERM, &action, &oldTerm_);
        installed_ = true;
    }
    ~Watch()
    {
        if (installed_) {
            ::sigaction(SIGINT, &oldInt_, nullptr);
            ::sigaction(SIGTERM, &oldTerm_, nullptr);
        }
        delete notifier_;
        for (int& fd : wakeFds) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    }

private:
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction oldInt_ = {};
    struct sigaction oldTerm_ = {};
    bool installed_ = false;
};
#elif defined(Q_OS_WIN)
// The console's handler runs on a thread of its own: it hands the request
// to the owner's thread through a queued call.
namespace {
QPointer<StopSignals> watching;
BOOL WINAPI OnConsoleEvent(DWORD)
{
    if (StopSignals* owner = watching.data())
        QMetaObject::invokeMethod(owner, [owner] { emit owner->StopRequested(); }, Qt::QueuedConnection);
    return TRUE;
}
}

class StopSignals::Watch {
public:
    explicit Watch(StopSignals* owner)
    {
        watching = owner;
        SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    }
    ~Watch()
    {
        SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
        watching = nullptr;
    }
};
#else
class StopSignals::Watch {
public:
    explicit Watch(StopSignals*) {}
};
#endif

StopSignals::StopSignals(QObject* parent) : QObject(parent), watch_(new Watch(this)) {}

StopSignals::~StopSignals()
{
    delete watch_;
}
