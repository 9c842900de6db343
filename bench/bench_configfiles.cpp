// Load, decode, encode and save of the largest configuration: one list of
// 1774 rows (track 2 only, one slot per record) and all 2001 comments of 40
// characters. Goals: load and decode together well under 1 ms; a save
// (written, synced, renamed) bounded by the disk, the pair commit (both
// files written and synced, the replaced pair kept in history/, a note
// written, both renamed) within twice the two files written one after the
// other.
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct LargestConfiguration {
    QTemporaryDir dir;
    QString qlv;
    Configuration m;

    LargestConfiguration()
    {
        qlv = dir.filePath(QStringLiteral("LARGEST.QLV"));
        m.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation;
        m.ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2;
        EncodeDataLength(m, TrackNo::Track2, 2);
        LayOutLists(m);
        for (int r = 0; r < Configuration::RowEntries; ++r)
            m.ListComment[r] = QStringLiteral("Card holder %1, Building 7, Room 4.12").arg(r, 4, 10, QChar(u'0')).leftJustified(40, u'.');
        for (int r = 0; r < m.ListCount1; ++r) {
            m.ListData[r] = QStringLiteral("%1").arg(r % 100, 2, 10, QChar(u'0'));
            EncodeRowData(m, r);
        }
        WriteConfigurationFile(m, qlv);
        SaveComments(m, CommentFileNameFor(qlv));
    }
};

LargestConfiguration& Largest()
{
    static LargestConfiguration largest;
    return largest;
}

void Load(benchmark::State& state)
{
    for (auto _ : state) {
        Configuration m;
        ReadConfigurationFile(m, Largest().qlv);
        LoadComments(m, Largest().qlv);
        benchmark::DoNotOptimize(m.ListComment[2000]);
    }
}

void Decode(benchmark::State& state)
{
    Configuration m;
    m.ConfigImage = Largest().m.ConfigImage;
    for (auto _ : state) {
        DecodeLists(m);
        benchmark::DoNotOptimize(m.ListData[1773]);
    }
    if (m.ListCount1 != 1774)
        state.SkipWithError("wrong layout");
}

void LoadAndDecode(benchmark::State& state)
{
    for (auto _ : state) {
        Configuration m;
        ReadConfigurationFile(m, Largest().qlv);
        LoadComments(m, Largest().qlv);
        DecodeLists(m);
        benchmark::DoNotOptimize(m.ListData[1773]);
    }
}

// Every row written back into the image and both files' contents formed.
void Encode(benchmark::State& state)
{
    Configuration m = Largest().m;
    for (auto _ : state) {
        for (int r = 0; r < m.ListCount1; ++r)
            EncodeRowData(m, r);
        QByteArray comments;
        for (const QString& text : m.ListComment)
            comments += text.toLatin1() + "\r\n";
        benchmark::DoNotOptimize(FormatConfigBlock(ImageBlock(m)));
        benchmark::DoNotOptimize(comments);
    }
}

void Save(benchmark::State& state)
{
    const QString qlv = Largest().dir.filePath(QStringLiteral("SAVED.QLV"));
    for (auto _ : state) {
        if (!WriteConfigurationFile(Largest().m, qlv) || !SaveComments(Largest().m, CommentFileNameFor(qlv)))
            state.SkipWithError("save failed");
    }
}

// What the editor's save does: the pair committed, the replaced one kept.
void SavePair(benchmark::State& state)
{
    const QString qlv = Largest().dir.filePath(QStringLiteral("PAIR.QLV"));
    for (auto _ : state) {
        if (!SaveConfigurationPair(Largest().m, qlv))
            state.SkipWithError("save failed");
    }
}

} // namespace

BENCHMARK(Load)->Unit(benchmark::kMicrosecond);
BENCHMARK(Decode)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadAndDecode)->Unit(benchmark::kMicrosecond);
BENCHMARK(Encode)->Unit(benchmark::kMicrosecond);
BENCHMARK(Save)->Unit(benchmark::kMicrosecond);
BENCHMARK(SavePair)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
