#pragma once
// Why a serial port did not open, and what the operator can do about it: the
// serial layer's error is told apart by what the device file is, so that a
// missing adapter, a user outside the device's group and a port held by
// another program each get their own line in the operator's language.

#include "config/programstate.h"
#include "platform/seriallink.h"
#include "texts/textids.h"

class SerialDevices;

// The cause of a failed opening of device, from the serial layer's error (a
// QSerialPort::SerialPortError and its text) and what the system says of
// the device.
PortFailure DiagnoseOpenFailure(const QString& device, int serialError, const QString& serialErrorText,
                                const SerialDevices& devices);

// The line that names the device and the cause, in a language
// (LanguageOffset); empty when nothing is known beyond the message.
QString OpenFailureLine(const PortFailure& failure, int languageOffset);

// The text (both ports occupied, or the port busy) in the current language,
// and under it the line of the link's last failed opening, when there is one.
QString PortFailedMessage(const ProgramState& program, TextNumber textId, const QList<PortFailure>& failures);
