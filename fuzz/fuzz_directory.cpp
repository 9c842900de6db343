// Any bytes as a directory of card holders: a refusal names lines of the file
// in line order and takes no row; a directory taken has rows in line order,
// each with a holder, at least one card of card characters, dates in order,
// only the site's terminals, and every card with one holder and one blocked
// state on all its rows. Its plan, applied, leaves nothing more to plan.
#include "config/cardlists.h"
#include "config/configimage.h"
#include "config/directory.h"
#include "config/directoryplan.h"

#include <QHash>
#include <cstdlib>

namespace {

const QStringList SiteTerminals{QStringLiteral("Tor 1"), QStringLiteral("Lager"), QStringLiteral("T\u00fcr S\u00fcd")};

// Two terminals with their lists laid out and empty: both tracks with block
// lists (8 and 12 digits), and track 2 alone with an odd length (7 digits).
QList<Configuration> Terminals()
{
    QList<Configuration> terminals(2);
    for (Configuration& m : terminals)
        m.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation | Feature::BlockListsOn;
    terminals[0].ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2 | Track::EvaluateTrack3;
    EncodeDataLength(terminals[0], TrackNo::Track2, 8);
    EncodeDataLength(terminals[0], TrackNo::Track3, 12);
    terminals[1].ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2;
    EncodeDataLength(terminals[1], TrackNo::Track2, 7);
    for (Configuration& m : terminals)
        LayOutLists(m);
    return terminals;
}

void CheckPlan(const Directory& directory)
{
    static const QList<Configuration> empty = Terminals();
    QList<Configuration> terminals = empty;
    const QList<PlanTerminal> site{{SiteTerminals[0], &terminals[0]}, {SiteTerminals[1], &terminals[1]}};
    const QDate day(2026, 3, 31);
    const SitePlan plan = PlanSite(site, directory, day);
    for (int t = 0; t < 2; ++t) {
        const ApplyOutcome outcome = ApplyTerminalPlan(terminals[t], plan.terminals[t]);
        if (outcome == ApplyOutcome::NotItsPlan || (outcome == ApplyOutcome::Overflows) != plan.terminals[t].Overflows())
            std::abort();
    }
    const SitePlan again = PlanSite(site, directory, day);
    for (int t = 0; t < 2; ++t)
        if (!plan.terminals[t].Overflows() && again.terminals[t].Changes())
            std::abort();
}

bool IsCard(const QString& card)
{
    return std::all_of(card.begin(), card.end(), [](QChar c) { return CardChar(c) && c != u'>'; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const Directory directory = ParseDirectoryCsv(content, SiteTerminals);
    const int lines = int(content.count('\n') + content.count('\r')) + 1;
    if (!directory) {
        if (!directory.entries.isEmpty() || (directory.failure == Directory::Failure::BadRows) == directory.problems.isEmpty())
            std::abort();
        int previous = 1;
        for (const DirectoryProblem& problem : directory.problems) {
            if (problem.line < previous || problem.line > lines)
                std::abort();
            previous = problem.line;
        }
        return 0;
    }
    if (directory.entries.isEmpty() || !directory.problems.isEmpty())
        std::abort();
    int previous = 1;
    QHash<QString, std::pair<QString, bool>> cards;
    for (const DirectoryEntry& e : directory.entries) {
        if (e.line <= previous || e.line > lines)
            std::abort();
        previous = e.line;
        if (e.holder.isEmpty() || e.holder != e.holder.trimmed() || e.holder.contains(u'\n') || e.holder.contains(u'\r'))
            std::abort();
        if ((e.track2.isEmpty() && e.track3.isEmpty()) || !IsCard(e.track2) || !IsCard(e.track3))
            std::abort();
        if (!e.validFrom.isNull() && !e.validUntil.isNull() && e.validUntil < e.validFrom)
            std::abort();
        for (const QString& terminal : e.terminals)
            if (!SiteTerminals.contains(terminal) || e.terminals.count(terminal) != 1 || e.allTerminals)
                std::abort();
        for (const QString& card : {QStringLiteral("2:") + e.track2, QStringLiteral("3:") + e.track3}) {
            if (card.size() == 2)
                continue;
            const auto first = cards.constFind(card);
            if (first != cards.cend() && (first->first != e.holder || first->second != e.blocked))
                std::abort();
            cards.insert(card, {e.holder, e.blocked});
        }
    }
    CheckPlan(directory);
    return 0;
}
