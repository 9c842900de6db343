// One process reading the 16 simulated terminals of a site at once, in real
// time, against a single read (goals: wall time at most 1.05 x the single
// read, peak memory of the process at most 60 MB), and the same 16 reads in
// virtual time (the cost of the program's own work for them).
#include "comm/site.h"
#include "common/democonfig.h"
#include "common/manualclock.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "platform/timers.h"
#include "texts/catalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

// A site of count simulated terminals, each held in a memory file of its own
// (the demonstration configuration), all with the password 123456.
struct SiteFiles {
    QTemporaryDir dir;
    Site site;
    explicit SiteFiles(int count)
    {
        Configuration demo;
        BuildDemoConfiguration(demo);
        QByteArray toml = "name = \"Bench\"\n";
        for (int i = 1; i <= count; ++i) {
            const QString memory = dir.filePath(QStringLiteral("t%1.QLV").arg(i));
            WriteConfigurationFile(demo, memory);
            toml += QStringLiteral("[[terminal]]\nname = \"T%1\"\nport = \"sim:t%1.QLV,id=BENCH %1\"\n").arg(i).toUtf8();
        }
        WriteFileAtomically(dir.filePath(QStringLiteral("bench.toml")), toml);
        site = ReadSiteFile(dir.filePath(QStringLiteral("bench.toml"))).site;
    }
};

// Reads every terminal of a site once; the wall time in seconds, or -1 when a
// read failed.
double ReadAll(Timers& timers, bool realTime, const SiteFiles& files)
{
    ProgramState program;
    program.LanguageOffset = 1000;
    LoadWindowTexts(program, TextWindow::Main);
    SiteRun run(program, timers, files.site);
    // On the manual clock the reads are stored at once (nothing waits on
    // threads there); in real time on threads, as the program does.
    run.SetStoreOnThreads(realTime);
    const QList<int> all = run.All();
    const SitePasswords passwords = ResolveSitePasswords(files.site, all, QStringLiteral("123456"));
    QElapsedTimer wall;
    wall.start();
    if (!run.Start(SiteOperation::Read, all, passwords.passwords))
        return -1;
    if (realTime) {
        QEventLoop loop;
        QObject::connect(&run, &SiteRun::Finished, &loop, &QEventLoop::quit);
        if (run.Running())
            loop.exec();
    } else {
        static_cast<ManualClock&>(timers).RunUntil([&] { return !run.Running(); }, 60000);
    }
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    return SiteExitStatus(SiteOperation::Read, run.Results()) == 0 ? seconds : -1;
}

double PeakMegabytes()
{
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;   // kilobytes on Linux
#else
    return 0;
#endif
}

double singleReadSeconds = 0;

void BM_SingleRead(benchmark::State& state)
{
    for (auto _ : state) {
        QtTimers timers;
        SiteFiles files(1);
        singleReadSeconds = ReadAll(timers, true, files);
        if (singleReadSeconds < 0)
            state.SkipWithError("read failed");
    }
    state.counters["seconds"] = singleReadSeconds;
}
BENCHMARK(BM_SingleRead)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SixteenAtOnce(benchmark::State& state)
{
    double seconds = 0;
    for (auto _ : state) {
        QtTimers timers;
        SiteFiles files(16);
        seconds = ReadAll(timers, true, files);
        if (seconds < 0)
            state.SkipWithError("a read failed");
    }
    state.counters["seconds"] = seconds;
    if (singleReadSeconds > 0)
        state.counters["ratio"] = seconds / singleReadSeconds;
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_SixteenAtOnce)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SixteenVirtualTime(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        ManualClock clock;
        SiteFiles files(16);
        state.ResumeTiming();
        if (ReadAll(clock, false, files) < 0)
            state.SkipWithError("a read failed");
    }
}
BENCHMARK(BM_SixteenVirtualTime)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
