#include "platform/interrupts.h"

#include <QSocketNotifier>

#ifdef Q_OS_WIN
#include <windows.h>
#include <QMetaObject>
#include <QPointer>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

namespace {
QPointer<InterruptWatcher> watcher;

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    // Another thread: the signal goes through the watcher's event loop.
    if (InterruptWatcher* w = watcher.data())
        QMetaObject::invokeMethod(w, "Report", Qt::QueuedConnection);
    return TRUE;
}
} // namespace

class InterruptWatcher::Handler {
public:
    explicit Handler(InterruptWatcher* owner)
    {
        watcher = owner;
        SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    }
    ~Handler()
    {
        SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
        watcher = nullptr;
    }
};

#else

namespace {
// The write end of the pipe the signal handler reports through: a handler
// may do no more than write a byte.
volatile sig_atomic_t reportTo = -1;

void OnSignal(int)
{
    const int saved = errno;
    if (reportTo >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(reportTo, &byte, 1);
    }
    errno = saved;
}
} // namespace

class InterruptWatcher::Handler {
public:
    explicit Handler(InterruptWatcher* owner)
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds_) != 0)
            return;
        for (int fd : fds_) {
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        }
        notifier_ = std::make_unique<QSocketNotifier>(fds_[1], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, owner, [this, owner] {
            char bytes[64];
            ssize_t n;
            while ((n = ::read(fds_[1], bytes, sizeof bytes)) > 0)
                for (ssize_t i = 0; i < n; ++i)
                    owner->Report();
        });
        reportTo = fds_[0];
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, &oldInt_);
        ::sigaction(SIGTERM, &action, &oldTerm_);
        installed_ = true;
    }
    ~Handler()
    {
        if (installed_) {
            ::sigaction(SIGINT, &oldInt_, nullptr);
            ::sigaction(SIGTERM, &oldTerm_, nullptr);
            reportTo = -1;
        }
        notifier_.reset();
        for (int fd : fds_)
            if (fd >= 0)
                ::close(fd);
    }

private:
    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
    bool installed_ = false;
};

#endif

InterruptWatcher::InterruptWatcher(QObject* parent) : QObject(parent), handler_(std::make_unique<Handler>(this))
{
}

InterruptWatcher::~InterruptWatcher() = default;
