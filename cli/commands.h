#pragma once
// The commands of vardelo-cli, one function each; main.cpp's command table
// declares their arguments and options. A command writes its result to
// call.out, its complaints to call.err, and returns its exit status.

#include "cli/commandline.h"
#include "platform/portmap.h"
#include "platform/seriallink.h"

class SerialDevices;

int RunShow(CommandCall& call);
int RunPrintCommand(CommandCall& call);
int RunRead(CommandCall& call);
int RunWrite(CommandCall& call);
int RunReset(CommandCall& call);
int RunPorts(CommandCall& call);
int RunExport(CommandCall& call);
int RunImport(CommandCall& call);
int RunSimulate(CommandCall& call);

// The port map of the program (the same configuration folder as the GUI).
PortMap ProgramPortMap();
// Says on err what is wrong with the map: a map that could not be read, its
// lines of another form, and the devices it names that do not exist (but
// exceptPort's, whose opening says so itself).
void ReportPortMap(const PortMap& map, const SerialDevices& devices, int exceptPort, int languageOffset,
                   QTextStream& err);
// Only what is wrong with the map's file and its lines.
void ReportPortMapFile(const PortMap& map, int languageOffset, QTextStream& err);
int RunDiff(CommandCall& call);
int RunLog(CommandCall& call);
int RunSite(CommandCall& call);
