#pragma once
// A serial link whose other end is the test: it records what the program
// does with the lines and sends, and delivers what the test gives it.

#include "platform/seriallink.h"

#include <QList>
#include <QSet>

class Timers;

class ScriptedLink : public SerialLink {
    Q_OBJECT
public:
    explicit ScriptedLink(Timers* clock = nullptr) : clock_(clock) {}

    struct LineChange {
        qint64 ms;
        char line;   // 'D' or 'R'
        bool on;
    };
    QList<LineChange> lineChanges;
    QByteArray sent;
    QList<int> opened;     // port of every successful Open()
    int closes = 0;
    int clears = 0;
    QSet<int> failingPorts;

    // Puts the bytes in the receive buffer and raises one receive event.
    void Deliver(const QByteArray& bytes)
    {
        waiting_ += bytes;
        emit ReceiveEvent(LinkEvent::Received);
    }
    // Puts the bytes in the receive buffer without an event.
    void Queue(const QByteArray& bytes) { waiting_ += bytes; }
    void RaiseEvent(int code) { emit ReceiveEvent(code); }
    // "D+@400 R+@600 D-@600 ..." for compact comparisons.
    QString LinePattern() const;

    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    void SetDtr(bool on) override;
    void SetRts(bool on) override;
    bool Dtr() const override { return dtr_; }
    bool Rts() const override { return rts_; }
    void Send(const QByteArray& bytes) override
    {
        if (open_)
            sent += bytes;
    }
    QByteArray ReadAll() override
    {
        QByteArray all = waiting_;
        waiting_.clear();
        return all;
    }
    void ClearReceive() override
    {
        ++clears;
        waiting_.clear();
    }
    QString Description() const override { return QStringLiteral("scripted"); }

private:
    qint64 Now() const;
    Timers* clock_;
    QByteArray waiting_;
    bool open_ = false;
    bool dtr_ = false;
    bool rts_ = false;
};
