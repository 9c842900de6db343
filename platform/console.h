#pragma once
// The text console the command-line companion runs in, for what Qt does not
// offer: whether standard input is a terminal, and reading a line from it
// without echo (a password typed there must not stay on the screen).

#include <QString>
#include <optional>

bool StandardInputIsTerminal();
// One line from standard input with echo off; the line end is not part of
// it. Nothing at end of input or on a read error. Echo is restored before
// it returns.
std::optional<QString> ReadLineWithoutEcho();
