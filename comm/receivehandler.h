#pragma once
// Stores every byte the terminal sends into the session's receive image and
// recognises the terminal's start byte. Runs on every receive event of the
// session's link; the read and write sequences set its state when they start.

#include "comm/sessionstate.h"

#include <QObject>

class SerialLink;

class ReceiveHandler : public QObject {
    Q_OBJECT
public:
    ReceiveHandler(SessionState& state, SerialLink& link, QObject* parent = nullptr);

    SessionState& State() { return state_; }
    const SessionState& State() const { return state_; }

    // Only a running sequence takes bytes; while none runs, whatever the
    // line delivers is read and dropped, so that noise cannot overwrite a
    // loaded configuration or send the password on a stray start byte.
    void SetListening(bool on) { listening_ = on; }
    bool Listening() const { return listening_; }

    // The receive event (connected to the link's ReceiveEvent).
    void OnReceiveEvent(int code);

signals:
    // The start byte has come and the password has been sent: Ch1 and Ch2.
    void StartByteReceived();
    // A byte has been stored; rxIndex is the next slot.
    void BytesStored(int rxIndex);
    // A line error made the handler reopen the port; reopened is false when
    // the port could not be opened again.
    void PortReopened(bool reopened);

private:
    void Store(quint8 byte, bool singleByte);
    SessionState& state_;
    SerialLink& link_;
    bool listening_ = false;
};
