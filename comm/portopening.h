#pragma once
// Opening the serial port at start-up and from the interface dialog, with
// the fallbacks between ports.

#include "comm/sessionstate.h"

#include <functional>

class Messages;
class SerialLink;

// Start-up: opens com PortNumber; com1 falls back to com2, and a number
// outside 1..8 starts from com1. When neither com1 nor com2 opens,
// Text::BothPortsOccupied is shown and the program goes on with the port
// closed (so files can still be edited); a saved port 3..8 that does not open
// gives Text::PortBusy and the port stays closed. PortNumber is the port that opened, or when none did the
// saved one (com1 for a number outside 1..8). True when a port is open.
bool OpenPortAtStartUp(SessionState& session, SerialLink& link, Messages& messages);

// Interface dialog: closes the port and opens com PortNumber. On failure
// Text::PortBusy and the fallback port of the table (1->2, 2->1, odd->2, even->1):
// fallbackChosen(port) is called (the dialog selects its option button),
// PortNumber := port, and it is tried. Each port is tried at most once; when
// all tried ports failed the port stays closed. True when a port is open.
bool OpenSelectedPort(SessionState& session, SerialLink& link, Messages& messages,
                      const std::function<void(int port)>& fallbackChosen = {});

// The fallback port of the interface dialog for a port that failed.
int FallbackPort(int failedPort);
