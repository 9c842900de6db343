#pragma once
// What belongs to one terminal session: the port it talks through, the
// password its read sends, the bytes the terminal sent with the receive
// handler's and the running sequence's state, the identification, and
// whether a complete read allows a write. Each TerminalSession owns one, so a
// program can talk to as many terminals at once as it has sessions; nothing
// here is shared with another session or with the open configuration. The
// program's texts are only read.
//
// Member names are the names the rest of the program and its documentation
// use for these values, so they keep their capitalised form.

#include "config/programstate.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>

struct SessionState {
    // Slots 0..2047 take what the terminal sends (a read's answer from its
    // start byte on, a write's reply); 2048..2200 are the sequences' work
    // space, where a read's tail and the identification arrive.
    static constexpr int ReceiveSlots = 2201;

    explicit SessionState(const ProgramState& program) : Program(program) {}

    // The texts the session's messages are shown in.
    const ProgramState& Program;

    qint16 PortNumber = 1;          // com1..com8, when the link is one of them
    QString TerminalPassword;       // packed as the password dialog gives it
    quint16 PasswordAccepted = 0;   // 1 while an accepted password waits for the read to start
    qint16 TerminalRead = 0;        // 1 after a complete read: a write may follow

    std::array<qint16, ReceiveSlots> ReceiveImage{};
    QByteArray RxBuffer;   // the bytes of the current delivery; empty between events
    int RxIndex = 0;       // next ReceiveImage slot to be filled
    int Synced = 0;        // 1 after the start byte of a read, and during a write's reply
    int StepCount = 0;     // tick counter of the running sequence (its watchdog)
    int DiscardRx = 0;     // 1 while the write is sending: received bytes are thrown away
    // Length of the password answer still to be folded back so that the
    // first configuration byte lands in slot 5; 0 when none is pending.
    int AnswerFold = 0;

    // The last read's identification line: six blanks and 16 characters.
    QString Identification;
};
