// The card lists as CSV and the search over them, on the largest
// configuration: one list of 1774 rows (track 2 only, one slot per record)
// with comments of 40 characters. Goals: export under 20 ms, import under
// 50 ms, a search over all rows under 5 ms.
//
// A list of one slot per record holds at most 255 different cards, so the
// 1774-row export cannot be taken back (the same card twice in one list):
// ImportLargest measures reading and checking all its rows and the refusal.
// ImportTaken measures a file that is taken: 887 different cards of four
// digits, the most a list of distinct cards of two slots holds.
#include "texts/cardlisttexts.h"
#include "config/cardlists.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

Configuration OneList(int digits)
{
    Configuration m;
    m.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation;
    m.ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2;
    EncodeDataLength(m, TrackNo::Track2, digits);
    LayOutLists(m);
    for (int r = 0; r < m.ListCount1; ++r) {
        m.ListComment[r] = QStringLiteral("Card holder %1, Building 7, Room 4.12").arg(r, 4, 10, QChar(u'0')).leftJustified(40, u'.');
        m.ListData[r] = QStringLiteral("%1").arg(r + 1, digits, 10, QChar(u'0')).right(digits);
        EncodeRowData(m, r);
    }
    DecodeLists(m);
    return m;
}

struct Fixture {
    QTemporaryDir dir;
    Configuration largest = OneList(2);
    Configuration fourDigits = OneList(4);
    QByteArray largestCsv = ExportCardListsCsv(largest, ListCaptions(1000));
    QByteArray takenCsv = ExportCardListsCsv(fourDigits, ListCaptions(1000));
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

void Export(benchmark::State& state)
{
    const auto captions = ListCaptions(1000);
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportCardListsCsv(Data().largest, captions));
    state.counters["cards"] = ExportedCardCount(Data().largest);
}

// Formed and written through a synced temporary file, as the editor does.
void ExportToFile(benchmark::State& state)
{
    const QString path = Data().dir.filePath(QStringLiteral("cards.csv"));
    for (auto _ : state)
        if (!WriteFileAtomically(path, ExportCardListsCsv(Data().largest, ListCaptions(1000))))
            state.SkipWithError("write failed");
}

void ImportLargest(benchmark::State& state)
{
    for (auto _ : state) {
        const CardListImport import = ReadCardListsCsv(Data().largestCsv, Data().largest);
        benchmark::DoNotOptimize(CardListImportMessage(import, QStringLiteral("cards.csv"), 1000));
    }
}

void ImportTaken(benchmark::State& state)
{
    for (auto _ : state) {
        Configuration m = Data().fourDigits;
        const CardListImport import = ReadCardListsCsv(Data().takenCsv, m);
        if (!import)
            state.SkipWithError("refused");
        ApplyCardListImport(m, import);
        benchmark::DoNotOptimize(m.ListData[886]);
    }
    state.counters["cards"] = ReadCardListsCsv(Data().takenCsv, Data().fourDigits).CardCount();
}

// A text that no row holds: every card and comment is looked at.
void SearchAllRows(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FindCardRow(Data().largest, QStringLiteral("Room 9"), -1, SearchDirection::Forward));
}

} // namespace

BENCHMARK(Export)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportLargest)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportTaken)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchAllRows)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
