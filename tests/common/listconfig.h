#pragma once
// A terminal's configuration with its lists, as the editor makes it, written
// in a few words: the plan's tests and the site commands' tests build their
// terminals with it.

#include "config/configuration.h"

#include <QString>

// Settings from words ("t2=8 t3=12 block": the tracks it reads with their
// digits, block lists on), the password 123456, its lists laid out, then cards typed into rows
// from the first on ("1:10000417=Anna Berg,10000523|3:99999999=Lost": list,
// cards with an optional comment).
Configuration ConfigurationWithLists(const QString& settings, const QString& cards = {});
