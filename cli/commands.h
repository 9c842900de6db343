#pragma once
// The commands of vardelo-cli, one function each; main.cpp's command table
// declares their arguments and options. A command writes its result to
// call.out, its complaints to call.err, and returns its exit status.

#include "cli/commandline.h"

int RunShow(CommandCall& call);
int RunPrintCommand(CommandCall& call);
int RunRead(CommandCall& call);
int RunWrite(CommandCall& call);
int RunReset(CommandCall& call);
