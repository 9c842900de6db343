#include "common/pseudoterminal.h"

#include <QtGlobal>
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>
#endif

PseudoTerminal::PseudoTerminal()
{
#ifdef Q_OS_LINUX
    char name[256] = {};
    if (::openpty(&controller_, &device_, name, nullptr, nullptr) != 0) {
        controller_ = device_ = -1;
        return;
    }
    ::fcntl(controller_, F_SETFL, ::fcntl(controller_, F_GETFL) | O_NONBLOCK);
    deviceName_ = QString::fromLocal8Bit(name);
#endif
}

PseudoTerminal::~PseudoTerminal()
{
#ifdef Q_OS_LINUX
    if (device_ >= 0)
        ::close(device_);
    if (controller_ >= 0)
        ::close(controller_);
#endif
}

QByteArray PseudoTerminal::ReadAvailable()
{
    QByteArray bytes;
#ifdef Q_OS_LINUX
    char buffer[256];
    for (ssize_t n; IsOpen() && (n = ::read(controller_, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
#endif
    return bytes;
}

bool PseudoTerminal::Write(const QByteArray& bytes)
{
#ifdef Q_OS_LINUX
    return IsOpen() && ::write(controller_, bytes.constData(), size_t(bytes.size())) == ssize_t(bytes.size());
#else
    Q_UNUSED(bytes);
    return false;
#endif
}
