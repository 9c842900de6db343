#include "comm/portopening.h"

#include "comm/portdiagnosis.h"
#include "texts/sequencetext.h"
#include "platform/messages.h"
#include "platform/seriallink.h"

#include <QSet>

int FallbackPort(int failedPort)
{
    if (failedPort == 1)
        return 2;
    if (failedPort == 2)
        return 1;
    return failedPort % 2 == 1 ? 2 : 1;
}

namespace {
bool TryOpen(SerialLink& link, int port)
{
    if (link.IsOpen())
        link.Close();
    link.SetPortNumber(port);
    return link.Open();
}
}

bool OpenPortAtStartUp(SessionState& session, SerialLink& link, Messages& messages)
{
    // A saved number that names no port (no number at all gives 0) fails
    // like a busy port: the start goes on with com1, then com2.
    const qint16 saved = session.PortNumber >= 1 && session.PortNumber <= 8 ? session.PortNumber : qint16(1);
    QList<PortFailure> failures;   // one line for each port tried
    for (int port = saved;; ++port) {
        if (TryOpen(link, port)) {
            session.PortNumber = qint16(port);
            return true;
        }
        failures << link.OpenFailure();
        link.Close();
        if (port >= 2)
            break;   // com1 falls back to com2, nothing else falls back
    }
    session.PortNumber = saved;
    link.SetPortNumber(saved);
    if (saved <= 2)
        messages.Show(PortFailedMessage(session.Program, Text::BothPortsOccupied, failures),
                      SequenceText(session.Program, Text::StartUpTitle));
    else
        messages.Show(PortFailedMessage(session.Program, Text::PortBusy, failures),
                      SequenceText(session.Program, Text::PortBusyTitle));
    return false;
}

bool OpenSelectedPort(SessionState& session, SerialLink& link, Messages& messages,
                      const std::function<void(int)>& fallbackChosen)
{
    QSet<int> tried;
    int port = session.PortNumber;
    for (;;) {
        tried.insert(port);
        if (TryOpen(link, port))
            return true;
        const PortFailure failure = link.OpenFailure();
        link.Close();
        messages.Show(PortFailedMessage(session.Program, Text::PortBusy, {failure}),
                      SequenceText(session.Program, Text::PortBusyTitle));
        const int next = FallbackPort(port);
        // Both fallback ports (com1, com2) are tried once at most; after
        // that the port stays closed instead of asking for ever.
        const int candidate = tried.contains(next) ? FallbackPort(next) : next;
        if (tried.contains(candidate))
            return false;
        port = candidate;
        session.PortNumber = qint16(port);
        if (fallbackChosen)
            fallbackChosen(port);
    }
}
