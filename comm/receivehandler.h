#pragma once
// Stores every byte the terminal sends into the configuration image and
// recognises the terminal's start byte. Runs on every receive event of the
// link; the read and write sequences set its state when they start.

#include "config/vardelomod.h"

#include <QByteArray>
#include <QObject>

class SerialLink;

struct ReceiveState {
    QByteArray RxBuffer;   // the bytes of the current delivery; empty between events
    int RxIndex = 0;       // next ConfigImage slot to be filled
    int Synced = 0;        // 1 after the start byte of a read, and during a write's reply
    int StepCount = 0;     // tick counter of the running sequence (its watchdog)
    int DiscardRx = 0;     // 1 while the write is sending: received bytes are thrown away
    // Length of the password answer still to be folded back so that the
    // first configuration byte lands in slot 5; 0 when none is pending.
    int AnswerFold = 0;
};

class ReceiveHandler : public QObject {
    Q_OBJECT
public:
    ReceiveHandler(Vardelomod& m, SerialLink& link, QObject* parent = nullptr);

    ReceiveState& State() { return state_; }
    const ReceiveState& State() const { return state_; }

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
    Vardelomod& m_;
    SerialLink& link_;
    ReceiveState state_;
    bool listening_ = false;
};
