// A read and a write over RFC 2217 against the served simulated terminal,
// in real time, as the ratio of wall time to the line's own minimum (goal:
// at most 1.05, as over a local line):
//   read:  0.6 s of control-line preamble + 2069 bytes of 10 bits = 9.22 s
//   write: 2048 bytes to the terminal + 2048 bytes back           = 17.07 s
// once with the network link and the served terminal in this process (from
// the start of the sequence, the connection made), and once as an operator
// runs it: `vardelo-cli read` against `vardelo-cli simulate --listen`, from
// the start of the command to its end, connection included.
// Sixteen served terminals read by one site read (goal: within 1.05 x a
// single read) belongs here once the site's read exists.
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

// `vardelo-cli read` against `vardelo-cli simulate --listen`, two programs
// as an operator starts them.
void BM_CliReadAgainstServedTerminal(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString memory = dir.filePath(QStringLiteral("memory.QLV"));
        ConfigBlock block{};
        const auto packed = PackPasswordDigits(QStringLiteral("123456"));
        for (int i = 0; i < 3; ++i)
            block[Slot::PasswordBcd + i] = (*packed)[i];
        QProcess served;
        QByteArray said;
        if (!WriteFileAtomically(memory, FormatConfigBlock(block))) {
            state.SkipWithError("no memory file");
            break;
        }
        served.start(QStringLiteral(VARDELO_CLI_PATH), {"simulate", "--listen", "127.0.0.1:0", memory});
        QTest::qWaitFor([&] { return (said += served.readAllStandardError()).contains('\n'); }, 20000);
        const auto match = QRegularExpression(QStringLiteral("rfc2217://127\\.0\\.0\\.1:(\\d+)")).match(QString::fromUtf8(said));
        if (!match.hasMatch()) {
            state.SkipWithError("not served");
            break;
        }
        state.ResumeTiming();
        QElapsedTimer wall;
        wall.start();
        QProcess read;
        read.start(QStringLiteral(VARDELO_CLI_PATH),
                   {"read", "--port", "rfc2217://127.0.0.1:" + match.captured(1), "--password", "123456", "--out",
                    dir.filePath(QStringLiteral("read.QLV"))});
        read.waitForFinished(60000);
        ratio = wall.nsecsElapsed() / 1e9 / ReadMinimumSeconds;
        state.PauseTiming();
        if (read.exitCode() != 0 || FormatConfigBlock(block) != [&] {
                QFile f(dir.filePath(QStringLiteral("read.QLV")));
                return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            }())
            state.SkipWithError("read failed");
        served.terminate();
        served.waitForFinished(20000);
        state.ResumeTiming();
    }
    state.counters["ratio"] = ratio;
    state.counters["minimum_s"] = ReadMinimumSeconds;
}
BENCHMARK(BM_CliReadAgainstServedTerminal)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
