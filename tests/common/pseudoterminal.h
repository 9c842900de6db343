#pragma once
// A pseudo-terminal for tests that need a real serial device (Linux only):
// the device end, which a port opens by its name, and the controlling end,
// which the test reads and writes, without waiting, as the far side of the
// line. Both ends are closed when it goes.

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

class PseudoTerminal {
public:
    PseudoTerminal()
    {
        char name[256] = {};
        if (::openpty(&controller_, &device_, name, nullptr, nullptr) == 0) {
            ::fcntl(controller_, F_SETFL, ::fcntl(controller_, F_GETFL) | O_NONBLOCK);
            deviceName_ = QString::fromLocal8Bit(name);
        }
    }
    ~PseudoTerminal()
    {
        for (int fd : {device_, controller_})
            if (fd >= 0)
                ::close(fd);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool IsOpen() const { return !deviceName_.isEmpty(); }
    QString DeviceName() const { return deviceName_; }
    int DeviceFd() const { return device_; }
    // What has arrived at the controlling end so far.
    QByteArray ReadAvailable()
    {
        QByteArray bytes;
        char buffer[256];
        for (ssize_t n; (n = ::read(controller_, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, n);
        return bytes;
    }
    bool Write(const QByteArray& bytes) { return ::write(controller_, bytes.constData(), size_t(bytes.size())) == bytes.size(); }

private:
    int controller_ = -1;
    int device_ = -1;
    QString deviceName_;
};
