// Any bytes as a card-list file: the reader refuses them with reasons on
// lines of the file (a file that does not decode by the line it fails on),
// or takes cards that fit their lists; taken cards, written out again and
// read back, give the same lists.
#include "config/cardlists.h"
#include "config/configimage.h"
#include "config/csvtable.h"

#include <cstdlib>

namespace {

// All four lists, track 2 with 7 digits (odd: the filler form counts too),
// track 3/1 with 12.
Configuration& AllFourLists()
{
    static Configuration m = [] {
        Configuration c;
        c.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation | Feature::BlockListsOn;
        c.ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2 | Track::EvaluateTrack3;
        EncodeDataLength(c, TrackNo::Track2, 7);
        EncodeDataLength(c, TrackNo::Track3, 12);
        LayOutLists(c);
        return c;
    }();
    return m;
}

QStringList Cards(const CardListImport& import)
{
    QStringList cards;
    for (int list = 1; list <= 4; ++list)
        for (const ImportedCard& card : import.lists[list].value_or(QList<ImportedCard>{}))
            cards << QString::number(list) + u'/' + card.data + u'/' + card.comment;
    return cards;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const CsvTable table = ReadCsvTable(content);
    for (qsizetype i = 1; i < table.records.size(); ++i)
        if (table.records[i].line <= table.records[i - 1].line)
            std::abort();

    Configuration m = AllFourLists();
    const CardListImport import = ReadCardListsCsv(content, m);
    if (!import) {
        if ((import.failure == CardListImport::Failure::BadRows) == import.problems.isEmpty())
            std::abort();
        for (const CardRowProblem& problem : import.problems)
            if (problem.line < 1)
                std::abort();
        const bool lineNamed = import.failure == CardListImport::Failure::MixedCharacterSets
            || import.failure == CardListImport::Failure::UndefinedByte;
        if (lineNamed != (import.failureLine >= 1) || import.failureLine > content.count('\n') + content.count('\r') + 1)
            std::abort();
        return 0;
    }
    ApplyCardListImport(m, import);
    for (const ListRows& rows : ShownListRows(m)) {
        if (import.lists[rows.list] && import.lists[rows.list]->size() > rows.count)
            std::abort();
        for (int k = 0; k < rows.count; ++k)
            if (m.ListData[rows.firstRow + k].size() != 2 * RecordLength(m, TrackOfList(rows.list)))
                std::abort();
    }
    const QByteArray written = ExportCardListsCsv(m, {QString(), "a", "b,c", "\"d\"", " e "});
    const CardListImport again = ReadCardListsCsv(written, m);
    if (!again || Cards(again) != Cards(import))
        std::abort();
    return 0;
}
