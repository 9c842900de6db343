#pragma once
// The catalogue texts of terminals on the network (RFC 2217), by name. %1 is
// the address as written (rfc2217://HOST:PORT) unless the comment says
// otherwise; %2 as the comment says.

#include <QString>

struct PortFailure;

namespace NetworkText {
constexpr int NotAnAddress = 530;
constexpr int UnknownHost = 531;   // %2: the host
constexpr int Refused = 532;   // %2: the TCP port
constexpr int NoAnswer = 533;   // %2: seconds waited
constexpr int NoComPortControl = 534;   // %2: seconds waited
constexpr int ComPortRefused = 535;
constexpr int SettingsRefused = 536;   // %2: the setting
constexpr int ControlNotDriven = 537;   // %2: DTR or RTS
constexpr int ClosedBeforeSetUp = 538;
constexpr int ConnectionLost = 539;
constexpr int KeepsDropping = 540;
constexpr int Connecting = 541;
constexpr int Connected = 542;   // %2: milliseconds
constexpr int NetworkTerminal = 543;   // what a com port on the network stands for
constexpr int AddressCaption = 544;   // the interface dialog
constexpr int Serving = 545;   // %1: the memory file, %2: HOST:PORT
constexpr int ClientConnected = 546;   // %1: HOST:PORT of the client
constexpr int ClientDisconnected = 547;
constexpr int ClientRefused = 548;   // %1: the refused client, %2: the one served
constexpr int CannotServe = 549;   // %1: [HOST:]PORT, %2: why
}

// The line that says why a terminal on the network could not be reached (a
// PortFailure of cause Network), in a language.
QString NetworkFailureLine(const PortFailure& failure, int languageOffset);

// "Connected to rfc2217://HOST:PORT, round trip 0.42 ms", the milliseconds
// with two decimals in the language's own way.
QString ConnectedText(const QString& address, qint64 roundTripUs, int languageOffset);
