#pragma once
// The demonstration configuration that the run command loads into the
// simulated terminal: all four lists in use, a few dozen cards with comments,
// German display texts. Built through the codecs so that it is a
// configuration the editor itself could have produced.

#include "config/configuration.h"

#include <QString>

// The terminal password of the demonstration terminal.
inline const QString DemoPassword = QStringLiteral("123456");

// Fills m with the demonstration configuration: image and ListComment.
void BuildDemoConfiguration(Configuration& m);
