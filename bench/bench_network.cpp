// A read and a write over RFC 2217 against the served simulated terminal,
// in real time, as the ratio of wall time to the line's own minimum (goal:
// at most 1.05, as over a local line):
//   read:  0.6 s of control-line preamble + 2069 bytes of 10 bits = 9.22 s
//   write: 2048 bytes to the terminal + 2048 bytes back           = 17.07 s
// once with the network link and the served terminal in this process (from
// the start of the sequence, the connection made), and once as an operator
// runs it: `vardelo-cli read` against `vardelo-cli simulate --listen`, from
// the start of the command to its end, connection included.
// And sixteen served terminals read by one `vardelo-cli site read` against
// the same command for a site of one of them (goal: at most 1.05 x).
#include "bench/realtime.h"
#include "comm/rfc2217link.h"
#include "comm/rfc2217server.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "comm/timing.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "platform/messages.h"
#include "platform/timers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

// The served terminal and a session on the network link to it, connected.
struct Rig {
    QTemporaryDir dir;
    QtTimers timers;
    SimulatedTerminal sim{timers};
    Rfc2217Server server{sim};
    ProgramState program;
    QuietMessages messages;
    std::unique_ptr<Rfc2217Link> link;
    std::unique_ptr<TerminalSession> session;

    bool Connect()
    {
        if (!server.Listen(QHostAddress::LocalHost, 0))
            return false;
        link = std::make_unique<Rfc2217Link>(timers, QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.Port()));
        session = std::make_unique<TerminalSession>(program, *link, timers, messages);
        session->Read().SetOutputFile(dir.filePath(QStringLiteral("VARDELO.QLV")));
        session->Read().SetAskToEdit(false);
        QEventLoop loop;
        QObject::connect(link.get(), &SerialLink::Ready, &loop, &QEventLoop::quit);
        QObject::connect(link.get(), &SerialLink::ConnectionFailed, &loop, &QEventLoop::quit);
        if (!link->Open())
            return false;
        loop.exec();
        return link->IsReady();
    }
    bool StartRead()
    {
        return session->Read().Start(
            [] { return PasswordEntry{1, PackTerminalPassword(QStringLiteral("123456"), false)}; });
    }
};

void BM_NetworkReadRealTime(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Rig rig;
        if (!rig.Connect()) {
            state.SkipWithError("no connection");
            break;
        }
        state.ResumeTiming();
        QElapsedTimer wall;
        wall.start();
        if (!RunRealTime(rig.session->Read(), [&] { return rig.StartRead(); }))
            state.SkipWithError("read failed");
        ratio = wall.nsecsElapsed() / 1e9 / ReadMinimumSeconds;
        state.counters["round_trip_ms"] = double(rig.link->RoundTripUs()) / 1000.0;
    }
    state.counters["ratio"] = ratio;
    state.counters["minimum_s"] = ReadMinimumSeconds;
}
BENCHMARK(BM_NetworkReadRealTime)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NetworkWriteRealTime(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Rig rig;
        if (!rig.Connect() || !RunRealTime(rig.session->Read(), [&] { return rig.StartRead(); })
            || !rig.session->Read().LastRead()) {
            state.SkipWithError("read failed");
            break;
        }
        // The terminal gets back what it held.
        const ConfigBlock block = rig.session->Read().LastRead()->read.block;
        state.ResumeTiming();
        QElapsedTimer wall;
        wall.start();
        if (!RunRealTime(rig.session->Write(), [&] { return rig.session->Write().Start(block); }))
            state.SkipWithError("write failed");
        ratio = wall.nsecsElapsed() / 1e9 / WriteMinimumSeconds;
    }
    state.counters["ratio"] = ratio;
    state.counters["minimum_s"] = WriteMinimumSeconds;
}
BENCHMARK(BM_NetworkWriteRealTime)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The memory of a served terminal: all zeros behind the password 123456.
ConfigBlock ServedMemory()
{
    ConfigBlock block{};
    const auto packed = PackPasswordDigits(QStringLiteral("123456"));
    for (int i = 0; i < 3; ++i)
        block[Slot::PasswordBcd + i] = (*packed)[i];
    return block;
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// `vardelo-cli simulate --listen` on a free port for a memory file; stopped
// (SIGTERM) when it goes.
struct ServedProcess {
    QProcess process;
    QString address;   // empty when it is not served
    explicit ServedProcess(const QString& memory)
    {
        process.start(QStringLiteral(VARDELO_CLI_PATH), {"simulate", "--listen", "127.0.0.1:0", memory});
        QByteArray said;
        (void)QTest::qWaitFor([&] { return (said += process.readAllStandardError()).contains('\n'); }, 20000);
        const auto match = QRegularExpression(QStringLiteral("rfc2217://127\\.0\\.0\\.1:(\\d+)")).match(QString::fromUtf8(said));
        if (match.hasMatch())
            address = QStringLiteral("rfc2217://127.0.0.1:") + match.captured(1);
    }
    ~ServedProcess()
    {
        process.terminate();
        process.waitForFinished(20000);
    }
};

// A command of the command line run to its end; its wall time in seconds,
// or -1 when it failed.
double TimedCli(const QStringList& args)
{
    QElapsedTimer wall;
    wall.start();
    QProcess command;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VARDELO_PASSWORD"), QStringLiteral("123456"));
    command.setProcessEnvironment(env);
    command.start(QStringLiteral(VARDELO_CLI_PATH), args);
    command.waitForFinished(120000);
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    return command.exitStatus() == QProcess::NormalExit && command.exitCode() == 0 ? seconds : -1;
}

// `vardelo-cli read` against `vardelo-cli simulate --listen`, two programs
// as an operator starts them.
void BM_CliReadAgainstServedTerminal(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString memory = dir.filePath(QStringLiteral("memory.QLV"));
        const ConfigBlock block = ServedMemory();
        if (!WriteFileAtomically(memory, FormatConfigBlock(block))) {
            state.SkipWithError("no memory file");
            break;
        }
        ServedProcess served(memory);
        if (served.address.isEmpty()) {
            state.SkipWithError("not served");
            break;
        }
        state.ResumeTiming();
        const double seconds = TimedCli({"read", "--port", served.address, "--password", "123456", "--out",
                                         dir.filePath(QStringLiteral("read.QLV"))});
        ratio = seconds / ReadMinimumSeconds;
        state.PauseTiming();
        if (seconds < 0 || FormatConfigBlock(block) != FileBytes(dir.filePath(QStringLiteral("read.QLV"))))
            state.SkipWithError("read failed");
        state.ResumeTiming();
    }
    state.counters["ratio"] = ratio;
    state.counters["minimum_s"] = ReadMinimumSeconds;
}
BENCHMARK(BM_CliReadAgainstServedTerminal)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// `vardelo-cli site read` of sixteen terminals, each served by a
// `vardelo-cli simulate --listen` of its own, against the same command for
// a site of one of them; both from the start of the command to its end.
void BM_SiteReadOfServedTerminals(benchmark::State& state)
{
    constexpr int Count = 16;
    double ratio = 0, single = 0, all = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        std::vector<std::unique_ptr<ServedProcess>> served;
        QByteArray one = "name = \"One\"\n", sixteen = "name = \"Sixteen\"\n";
        for (int i = 1; i <= Count; ++i) {
            const QString memory = dir.filePath(QStringLiteral("t%1.QLV").arg(i));
            WriteFileAtomically(memory, FormatConfigBlock(ServedMemory()));
            served.push_back(std::make_unique<ServedProcess>(memory));
            if (served.back()->address.isEmpty()) {
                state.SkipWithError("not served");
                return;
            }
            const QByteArray terminal =
                QStringLiteral("[[terminal]]\nname = \"T%1\"\nport = \"%2\"\n").arg(i).arg(served.back()->address).toUtf8();
            sixteen += terminal;
            if (i == 1)
                one += terminal;
        }
        QDir(dir.path()).mkpath(QStringLiteral("one"));
        WriteFileAtomically(dir.filePath(QStringLiteral("one/site.toml")), one);
        WriteFileAtomically(dir.filePath(QStringLiteral("site.toml")), sixteen);
        state.ResumeTiming();
        single = TimedCli({"site", "read", dir.filePath(QStringLiteral("one/site.toml"))});
        all = TimedCli({"site", "read", dir.filePath(QStringLiteral("site.toml"))});
        if (single < 0 || all < 0)
            state.SkipWithError("site read failed");
        ratio = all / single;
    }
    state.counters["ratio"] = ratio;
    state.counters["single_s"] = single;
    state.counters["sixteen_s"] = all;
}
BENCHMARK(BM_SiteReadOfServedTerminals)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
