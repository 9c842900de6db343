#pragma once
// A serial link whose other end is the test: it records what the program
// does with the lines and sends, and delivers what the test gives it.

#include "platform/seriallink.h"
#include "platform/timers.h"

#include <QSet>
#include <QStringList>

class ScriptedLink : public SerialLink {
    Q_OBJECT
public:
    explicit ScriptedLink(Timers* clock = nullptr) : clock_(clock) {}

    QStringList lineChanges;   // "D+@400", "R-@10200", ... in order
    QByteArray sent;
    QList<int> opened;         // port of every successful Open()
    int closes = 0;
    QSet<int> failingPorts;
    PortFailure failure;       // what a failing port reports

    // Puts the bytes in the receive buffer and raises one receive event.
    void Deliver(const QByteArray& bytes, int code = LinkEvent::Received)
    {
        waiting_ += bytes;
        emit ReceiveEvent(code);
    }

    bool Open() override
    {
        if (failingPorts.contains(PortNumber())) {
            SetErrorText(QStringLiteral("com%1 is busy").arg(PortNumber()));
            return false;
        }
        open_ = true;
        opened << PortNumber();
        SetDtr(false);
        SetRts(false);
        return true;
    }
    void Close() override
    {
        if (!open_)
            return;
        SetDtr(false);
        SetRts(false);
        open_ = false;
        ++closes;
    }
    bool IsOpen() const override { return open_; }
    void SetDtr(bool on) override { Change(dtr_, on, 'D'); }
    void SetRts(bool on) override { Change(rts_, on, 'R'); }
    bool Dtr() const override { return dtr_; }
    bool Rts() const override { return rts_; }
    void Send(const QByteArray& bytes) override
    {
        if (open_)
            sent += bytes;
    }
    QByteArray ReadAll() override { return std::exchange(waiting_, QByteArray()); }
    void ClearReceive() override { waiting_.clear(); }
    QString Description() const override { return QStringLiteral("scripted"); }
    PortFailure OpenFailure() const override { return failingPorts.contains(PortNumber()) ? failure : PortFailure(); }

private:
    void Change(bool& line, bool on, char name)
    {
        if (on != line)
            lineChanges << QStringLiteral("%1%2@%3").arg(QChar::fromLatin1(name), QChar(on ? u'+' : u'-')).arg(clock_ ? clock_->NowMs() : 0);
        line = on;
    }
    Timers* clock_;
    QByteArray waiting_;
    bool open_ = false;
    bool dtr_ = false;
    bool rts_ = false;
};
