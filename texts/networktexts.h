#pragma once
// The lines made of the catalogue texts of terminals on the network (RFC 2217).

#include <QString>

struct PortFailure;

// The line that says why a terminal on the network could not be reached (a
// PortFailure of cause Network), in a language.
QString NetworkFailureLine(const PortFailure& failure, int languageOffset);

// "Connected to rfc2217://HOST:PORT, round trip 0.42 ms", the milliseconds
// with two decimals in the language's own way.
QString ConnectedText(const QString& address, qint64 roundTripUs, int languageOffset);
