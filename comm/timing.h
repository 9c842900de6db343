#pragma once
// Every time and count of the terminal sequences and the line, in one place.

namespace Timing {
// Timer intervals of the main window.
constexpr int ReadTickMs = 200;        // Timer1: read sequence
constexpr int WriteTickMs = 100;       // Timer2: write sequence
constexpr int ResetPulseMs = 500;      // Timer3: length of the reset pulse
constexpr int WriteSettleMs = 300;     // Timer4: from 2048 reply bytes to success
constexpr int StartUpDelayMs = 1000;   // Timer5: opens the language window once

// Read: the tick counter values at which the lines change and it gives up.
constexpr int ReadDtrStep = 1;         // DTR on at the 2nd tick (400 ms)
constexpr int ReadRtsStep = 2;         // RTS on, DTR off at the 3rd tick (600 ms)
constexpr int WatchdogRestartStep = 3; // a single-byte delivery sets the counter back to this
constexpr int ReadGiveUpStep = 51;     // 51st tick without a start byte: 10.2 s
constexpr int ReadSilenceStep = 50;    // above this after the start byte: 48 silent ticks, 9.6 s
// Write: above this the reply has stopped (198 silent ticks, 19.8 s).
constexpr int WriteSilenceStep = 200;

// Line: 2400 baud, 1 start, 8 data, 1 stop bit.
constexpr int BaudRate = 2400;
constexpr int BitsPerByte = 10;
constexpr int BytesPerSecond = BaudRate / BitsPerByte;   // 240

// Protocol.
constexpr int StartByte = 16;
constexpr int ConfigBytes = 2048;
constexpr int IdentificationChars = 16;
constexpr int FirstConfigSlot = 5;     // slot of the first configuration byte in a read
constexpr int ReadCompleteIndex = 2069;
constexpr int LastSlot = 2200;
constexpr int SendProgressEnd = 2046;  // FlatScrollBar1: 0..2046
constexpr int ReplyProgressEnd = 2045; // FlatScrollBar2: 0..2045
}
