#pragma once
// Virtual time across a real TCP connection: the network link and the served
// simulated terminal both run on one manual clock, and the clock moves on to
// its next tick only when nothing is on its way between them (each end
// counts the bytes it hands to the network and takes from it). A whole read
// or write over RFC 2217 then runs at the pace of the loopback, with every
// time-out kept to the tick, and without a sleep: the event loop waits on the
// sockets themselves. Header-only.

#include "comm/rfc2217link.h"
#include "comm/rfc2217server.h"
#include "common/manualclock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

struct Lockstep {
    ManualClock& clock;
    Rfc2217Link& link;
    Rfc2217Server& server;

    bool InFlight() const
    {
        return link.WireBytesSent() != server.WireBytesReceived() || server.WireBytesSent() != link.WireBytesReceived();
    }
    // Lets every byte on its way arrive and be answered; false when some are
    // still missing after realMs of real time (a connection gone).
    bool Settle(int realMs = 10000)
    {
        QElapsedTimer elapsed;
        elapsed.start();
        // Wakes the waiting event loop now and then, should a byte be lost.
        QTimer wake;
        wake.start(50);
        QCoreApplication::processEvents();
        while (InFlight() && elapsed.elapsed() < realMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
        return !InFlight();
    }
    // Tick by tick until done() holds or limitMs of clock time have passed.
    bool RunUntil(const std::function<bool()>& done, qint64 limitMs)
    {
        const qint64 end = clock.NowMs() + limitMs;
        for (;;) {
            if (!Settle())
                return false;
            if (done())
                return true;
            const qint64 next = clock.NextDue();
            if (next < 0 || next > end)
                return false;
            clock.AdvanceTo(next);
        }
    }
};
