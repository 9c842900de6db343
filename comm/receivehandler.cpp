#include "comm/receivehandler.h"

#include "comm/timing.h"
#include "platform/seriallink.h"

static_assert(Timing::LastSlot == SessionState::ReceiveSlots - 1, "the receive image ends at the last slot");

ReceiveHandler::ReceiveHandler(SessionState& state, SerialLink& link, QObject* parent)
    : QObject(parent), state_(state), link_(link)
{
    connect(&link_, &SerialLink::ReceiveEvent, this, &ReceiveHandler::OnReceiveEvent);
}

void ReceiveHandler::OnReceiveEvent(int code)
{
    if (code == LinkEvent::Received) {
        state_.RxBuffer = link_.ReadAll();
    } else if (LinkEvent::IsLineError(code)) {
        // Reopen with the same settings and leave everything else alone: a
        // running sequence goes on and its watchdog notices lost bytes.
        link_.Close();
        emit PortReopened(link_.Open());
        return;
    } else {
        return;
    }

    if (!listening_ || state_.DiscardRx == 1 || state_.RxBuffer.isEmpty()) {
        state_.RxBuffer.clear();
        return;
    }

    if (state_.RxBuffer.size() == 1) {
        const quint8 c = quint8(state_.RxBuffer.at(0));
        if (state_.Synced == 0 && c == Timing::StartByte) {
            state_.RxIndex = 0;
            state_.Synced = 1;
            link_.Send(state_.TerminalPassword.toLatin1());
            state_.StepCount = Timing::WatchdogRestartStep;
            // The terminal answers the password with as many bytes as it
            // has characters; the last of them is folded back into slot 4
            // (see Store).
            state_.AnswerFold = int(state_.TerminalPassword.size());
            emit StartByteReceived();
        }
        Store(c, true);
    } else {
        // The start byte is not looked for here and the watchdog is not fed.
        for (char byte : std::as_const(state_.RxBuffer))
            Store(quint8(byte), false);
    }
    state_.RxBuffer.clear();
    emit BytesStored(state_.RxIndex);
}

void ReceiveHandler::Store(quint8 byte, bool singleByte)
{
    // Whatever the length of the password, its answer ends in slot 4, so the
    // first configuration byte lands in slot 5 and the read completes only
    // after the last identification character. For a nine-character
    // password this is the ninth answer byte going to slot 4 instead of 9.
    if (state_.AnswerFold > 0 && state_.RxIndex == state_.AnswerFold) {
        if (state_.AnswerFold != 4)
            state_.TerminalPassword.clear();
        state_.RxIndex = 4;
        state_.AnswerFold = 0;
    }
    // Beyond the last slot bytes are dropped, and they no longer feed the
    // watchdog, so an endless stream cannot keep a sequence alive.
    if (state_.RxIndex > Timing::LastSlot)
        return;
    state_.ReceiveImage[state_.RxIndex] = byte;
    if (singleByte && state_.Synced == 1)
        state_.StepCount = Timing::WatchdogRestartStep;
    ++state_.RxIndex;
}
