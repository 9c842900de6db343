#pragma once
// A pseudo-terminal for tests that need a real serial device: the device end,
// which a port opens by its name, and the controlling end, which the test
// reads and writes as the far side of the line (without waiting). Both ends
// are closed when it goes. Only on Linux; elsewhere it is never open.

#include <QByteArray>
#include <QString>

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool IsOpen() const { return controller_ >= 0; }
    QString DeviceName() const { return deviceName_; }
    int DeviceFd() const { return device_; }
    // What has arrived at the controlling end so far.
    QByteArray ReadAvailable();
    bool Write(const QByteArray& bytes);

private:
    int controller_ = -1;
    int device_ = -1;
    QString deviceName_;
};
