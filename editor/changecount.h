#pragma once
// ChangeCount counts the unsaved edits of the open configuration. It stops at
// its largest value instead of wrapping below 0, where the close prompt would
// take the edits for none.

#include "config/configuration.h"

constexpr qint16 MaxChangeCount = 32767;

inline void RaiseChangeCount(Configuration& m)
{
    if (m.ChangeCount < MaxChangeCount)
        m.ChangeCount = qint16(m.ChangeCount + 1);
}
