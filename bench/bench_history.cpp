// Comparing and carrying over on the largest configurations: one list of
// 1774 rows (track 2 only, one slot per record), every row with a comment.
// Goals: `vardelo-cli diff` of two of them (both files read, compared, every
// change described) under 20 ms; the carry-over of 1774 comments to a new
// read (the replaced pair read, the read's rows derived, comments matched)
// under 10 ms.
#include "comm/changereport.h"
#include "config/configcompare.h"
#include "config/configimage.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Card data of row r (two digits, so every number occurs about 18 times, the
// hard case for matching in order): in "after" the cards in another order,
// every tenth replaced by a card "before" does not have.
QString CardData(int r, bool after)
{
    if (after && r % 10 == 9)
        return QChar(u':' + (r / 10) % 4) + QString::number((r / 40) % 10);
    return QStringLiteral("%1").arg((after ? r * 7 : r) % 100, 2, 10, QChar(u'0'));
}

struct Pair {
    QTemporaryDir dir;
    QString before;
    QString after;
    ConfigBlock readBlock{};

    Pair()
    {
        before = Write(QStringLiteral("BEFORE.QLV"), false);
        after = Write(QStringLiteral("AFTER.QLV"), true);
    }
    QString Write(const QString& name, bool after)
    {
        auto m = std::make_unique<Configuration>();
        m->ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation;
        m->ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2;
        EncodeDataLength(*m, TrackNo::Track2, 2);
        LayOutLists(*m);
        for (int r = 0; r < m->ListCount1; ++r) {
            m->ListData[r] = CardData(r, after);
            EncodeRowData(*m, r);
            m->ListComment[r] = QStringLiteral("Card holder %1, Building 7, Room 4.12").arg(r, 4, 10, QChar(u'0'));
        }
        const QString path = dir.filePath(name);
        WriteConfigurationFile(*m, path);
        SaveComments(*m, CommentFileNameFor(path));
        if (after)
            readBlock = ImageBlock(*m);
        return path;
    }
};

Pair& Files()
{
    static Pair pair;
    return pair;
}

void Diff(benchmark::State& state)
{
    int changes = 0;
    for (auto _ : state) {
        ConfigSnapshot a, b;
        LoadSnapshot(Files().before, a);
        LoadSnapshot(Files().after, b);
        const ConfigDifference d = CompareConfigurations(a, b);
        const QList<ChangeLine> lines = DescribeChanges(d, 1000);
        changes = int(lines.size());
        benchmark::DoNotOptimize(lines);
    }
    if (changes == 0)
        state.SkipWithError("no change found");
    state.counters["changes"] = changes;
}

void CarryOver(benchmark::State& state)
{
    int carried = 0;
    for (auto _ : state) {
        ConfigSnapshot replaced;
        LoadSnapshot(Files().before, replaced);
        const ConfigSnapshot read = ConfigSnapshot::From(Files().readBlock, std::nullopt);
        const CommentTexts comments = CarryOverComments(replaced, read);
        carried = CountComments(read, comments);
        benchmark::DoNotOptimize(comments);
    }
    state.counters["carried"] = carried;
}

} // namespace

BENCHMARK(Diff)->Unit(benchmark::kMillisecond);
BENCHMARK(CarryOver)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
