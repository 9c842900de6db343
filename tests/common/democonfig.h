#pragma once
// The demonstration configuration that the run command loads into the
// simulated terminal: all four lists in use, a few dozen cards with comments,
// German display texts. Built through the codecs so that it is a
// configuration the editor itself could have produced.

#include "comm/simterminal.h"
#include "config/configuration.h"

#include <QString>

// The terminal password of the demonstration terminal.
inline const QString DemoPassword = QStringLiteral("123456");

// Fills m with the demonstration configuration: image and ListComment.
void BuildDemoConfiguration(Configuration& m);

// The memory of a simulated terminal that holds m's image.
inline TerminalMemory TerminalMemoryOf(const Configuration& m)
{
    TerminalMemory memory{};
    for (int i = 0; i < Configuration::BlockSlots; ++i)
        memory[i] = quint8(m.ConfigImage[i]);
    return memory;
}
