#pragma once
// vardelo-cli site: its entry of the command table, and what it takes from
// the world around it, so that a test runs the command itself on a manual
// clock with simulated terminals (vardelo-cli gives it the real ones).

#include "cli/commandline.h"

#include <QDateTime>
#include <functional>

class SiteRun;
class Timers;

struct SiteWorld {
    Timers& timers;                        // of the runs, their links and simulated terminals
    std::function<QDateTime()> now;        // the day a plan is made for; the time of history/ names and log lines
    std::function<void(SiteRun&)> wait;    // returns once the run has finished
    bool watchInterrupts = true;           // Ctrl+C and SIGTERM stop a run that touches the line
    bool storeReadsOnThreads = true;       // see SiteRun::SetStoreOnThreads
};

const Command& SiteCommand();
int RunSite(CommandCall& call, SiteWorld& world);
