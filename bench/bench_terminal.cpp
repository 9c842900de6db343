// A read and a write of the simulated terminal at 2400 baud, in real time,
// as the ratio of wall time to the line's own minimum (goal: at most 1.05):
//   read:  0.6 s of control-line preamble + 2069 bytes of 10 bits = 9.22 s
//   write: 2048 bytes to the terminal + 2048 bytes back           = 17.07 s
// and a whole read in virtual time (the cost of the program's own work).
#include "bench/realtime.h"
#include "comm/receivehandler.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "comm/timing.h"
#include "common/manualclock.h"
#include "config/configimage.h"
#include "platform/messages.h"
#include "platform/timers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Rig {
    QTemporaryDir dir;
    ProgramState program;
    QuietMessages messages;
    SimulatedTerminal sim;
    TerminalSession session;

    explicit Rig(Timers& timers) : sim(timers), session(program, sim, timers, messages)
    {
        sim.Open();
        session.Read().SetOutputFile(dir.filePath(QStringLiteral("VARDELO.QLV")));
        session.Read().SetAskToEdit(false);
    }
    bool StartRead()
    {
        return session.Read().Start(
            [] { return PasswordEntry{1, PackTerminalPassword(QStringLiteral("123456"), false)}; });
    }
};

void BM_ReadRealTime(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state) {
        QtTimers timers;
        Rig rig(timers);
        QElapsedTimer wall;
        wall.start();
        if (!RunRealTime(rig.session.Read(), [&] { return rig.StartRead(); }))
            state.SkipWithError("read failed");
        ratio = wall.nsecsElapsed() / 1e9 / ReadMinimumSeconds;
    }
    state.counters["ratio"] = ratio;
    state.counters["minimum_s"] = ReadMinimumSeconds;
}
BENCHMARK(BM_ReadRealTime)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteRealTime(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QtTimers timers;
        Rig rig(timers);
        if (!RunRealTime(rig.session.Read(), [&] { return rig.StartRead(); }) || !rig.session.Read().LastRead()) {
            state.SkipWithError("read failed");
            break;
        }
        // The terminal gets back what it held.
        const ConfigBlock block = rig.session.Read().LastRead()->read.block;
        state.ResumeTiming();
        QElapsedTimer wall;
        wall.start();
        if (!RunRealTime(rig.session.Write(), [&] { return rig.session.Write().Start(block); }))
            state.SkipWithError("write failed");
        ratio = wall.nsecsElapsed() / 1e9 / WriteMinimumSeconds;
    }
    state.counters["ratio"] = ratio;
    state.counters["minimum_s"] = WriteMinimumSeconds;
}
BENCHMARK(BM_WriteRealTime)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadVirtualTime(benchmark::State& state)
{
    for (auto _ : state) {
        ManualClock clock;
        Rig rig(clock);
        rig.StartRead();
        clock.RunUntil([&] { return !rig.session.Busy(); }, 60000);
        if (rig.session.State().TerminalRead != 1)
            state.SkipWithError("read failed");
    }
}
BENCHMARK(BM_ReadVirtualTime)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
