#include "config/directoryplan.h"

#include "config/cardlists.h"
#include "config/configfiles.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

constexpr std::array<TrackNo, 2> Tracks{TrackNo::Track2, TrackNo::Track3};

int PrivilegeList(TrackNo track)
{
    return track == TrackNo::Track2 ? 1 : 2;
}

int BlockList(TrackNo track)
{
    return PrivilegeList(track) + 2;
}

bool ShowsList(const Configuration& m, int list)
{
    const QList<ListRows> shown = ShownListRows(m);
    return std::any_of(shown.begin(), shown.end(), [list](const ListRows& rows) { return rows.list == list; });
}

const QString& CardOf(const DirectoryEntry& e, TrackNo track)
{
    return track == TrackNo::Track2 ? e.track2 : e.track3;
}

// One key for a card: the same digits on the other track are another card.
QString CardKey(TrackNo track, const QString& card)
{
    return (track == TrackNo::Track2 ? QStringLiteral("2:") : QStringLiteral("3:")) + card;
}

// The comment a holder's name becomes: cut to what a comment holds.
QString CommentFor(const QString& holder)
{
    return holder.size() <= MaxCommentChars ? holder : holder.left(MaxCommentChars).trimmed();
}

// Whether a card's comment now already says what the plan would write. A
// comment longer than the plan writes, typed in the editor, stays when it is
// the holder's whole name, and so does one with blanks around the name.
bool SameComment(const QString& now, const QString& comment, const QString& holder)
{
    const QString trimmed = now.trimmed();
    return trimmed == comment || trimmed == holder;
}

// The last day from day on on which some row keeps a card valid; null while
// one of them is open. day itself is a valid day of the card.
QDate LastValidDay(const QList<DirectoryEntry>& entries, const QList<int>& rows, const QDate& day)
{
    QDate from = day;
    for (;;) {
        QDate reach;
        for (int r : rows) {
            const DirectoryEntry& e = entries[r];
            if (!e.ValidOn(from))
                continue;
            if (e.validUntil.isNull())
                return {};
            reach = qMax(reach, e.validUntil);
        }
        if (reach.isNull())
            return from.addDays(-1);
        from = reach.addDays(1);
    }
}

// The cards a list should hold, in the order of their first rows.
struct WantedList {
    QList<QString> order;             // records
    QHash<QString, int> firstRow;     // record -> index of its first row
    QHash<QString, QList<int>> rows;  // privilege lists: record -> every row naming this terminal (for the last day)

    void Want(const QString& record, int row)
    {
        if (!firstRow.contains(record)) {
            firstRow.insert(record, row);
            order.append(record);
        }
    }
};

class TerminalPlanner {
public:
    TerminalPlanner(const QList<DirectoryEntry>& entries, const QList<QString>& comments,
                    const QHash<QString, int>& cardRows, const QDate& day)
        : entries_(entries), comments_(comments), cardRows_(cardRows), day_(day)
    {
    }

    TerminalPlan Plan(const PlanTerminal& terminal)
    {
        TerminalPlan plan;
        plan.name = terminal.name;
        if (!terminal.configuration)
            return plan;
        const Configuration& m = *terminal.configuration;
        const QList<ListRows> shown = ShownListRows(m);
        std::array<std::optional<ListRows>, 5> rowsOf;
        for (const ListRows& rows : shown)
            rowsOf[rows.list] = rows;
        std::array<WantedList, 5> wanted;
        for (int r = 0; r < entries_.size(); ++r)
            WantRow(m, terminal.name, rowsOf, r, wanted, plan.refused);
        for (const TrackNo track : Tracks) {
            // A lost card opens no door, also when two spellings of it (with
            // and without the filler of an odd length) stand in the directory.
            WantedList& privileges = wanted[PrivilegeList(track)];
            for (const QString& record : std::as_const(wanted[BlockList(track)].order))
                if (privileges.firstRow.remove(record))
                    privileges.order.removeOne(record);
        }
        for (const ListRows& rows : shown)
            plan.lists.append(PlanList(m, rows, wanted[rows.list]));
        return plan;
    }

private:
    void WantRow(const Configuration& m, const QString& terminal, const std::array<std::optional<ListRows>, 5>& rowsOf,
                 int r, std::array<WantedList, 5>& wanted, QList<PlanRefusal>& refused)
    {
        const DirectoryEntry& e = entries_[r];
        const bool named = e.ForTerminal(terminal);
        // A blocked card belongs in the block lists of every terminal.
        if (!named && !e.blocked)
            return;
        bool trackRead = false;
        for (const TrackNo track : Tracks) {
            const QString& card = CardOf(e, track);
            const int list = e.blocked ? BlockList(track) : PrivilegeList(track);
            if (card.isEmpty() || !rowsOf[list])
                continue;
            trackRead = true;
            const std::optional<QString> record = CardRecord(m, list, card);
            if (!record) {
                refused.append({PlanRefusal::Kind::WrongLength, e.line, e.holder, track, card, CardDigits(m, list)});
                continue;
            }
            if (!e.blocked)
                wanted[list].rows[*record].append(r);
            if (e.blocked || e.ValidOn(day_))
                wanted[list].Want(*record, r);
        }
        // A row that names this terminal, which cannot read any of its cards,
        // is a mistake in the directory; for "*" the terminal is not meant.
        if (!trackRead && !e.blocked && !e.allTerminals)
            refused.append({PlanRefusal::Kind::TracksNotRead, e.line, e.holder, TrackNo::Track2, QString(), 0});
    }

    ListPlan PlanList(const Configuration& m, const ListRows& rows, const WantedList& wanted) const
    {
        ListPlan plan;
        plan.list = rows.list;
        plan.capacity = rows.count;
        const int digits = CardDigits(m, rows.list);
        const bool privileges = rows.list <= 2;
        QSet<QString> kept;
        for (int k = 0; k < rows.count; ++k) {
            const int row = rows.firstRow + k;
            const QString& card = m.ListData[row];
            if (IsEmptyPlace(card, digits))
                continue;
            ++plan.cardsBefore;
            const QString comment = m.ListComment[row] == ResetCommentText ? QString() : m.ListComment[row];
            const auto first = wanted.firstRow.constFind(card);
            if (first == wanted.firstRow.cend() || kept.contains(card)) {
                plan.removed.append({card, HolderOf(rows.list, card, comment), comment, 0, {}});
                continue;
            }
            kept.insert(card);
            PlanCard planned{card, comments_[*first], comment, entries_[*first].line, {}};
            if (!SameComment(m.ListComment[row], planned.holder, entries_[*first].holder))
                plan.renamed.append(planned);
            else
                planned.holder = m.ListComment[row];   // the comment stays as it is
            plan.cards.append(planned);
        }
        for (const QString& card : wanted.order) {
            if (kept.contains(card))
                continue;
            const int first = wanted.firstRow.value(card);
            PlanCard planned{card, comments_[first], QString(), entries_[first].line, {}};
            plan.added.append(planned);
            plan.cards.append(planned);
        }
        if (privileges) {
            const QDate notice = day_.addDays(ExpiryNoticeDays);
            for (PlanCard& card : plan.cards) {
                card.lastDay = LastValidDay(entries_, wanted.rows.value(card.card), day_);
                if (card.lastDay.isValid() && card.lastDay <= notice)
                    plan.expiring.append(card);
            }
        }
        return plan;
    }

    // The holder a removed card had: its name in the directory when a row
    // still gives the card (expired, blocked, meant for other terminals),
    // otherwise its comment.
    QString HolderOf(int list, const QString& card, const QString& comment) const
    {
        const TrackNo track = TrackOfList(list);
        auto row = cardRows_.constFind(CardKey(track, card));
        if (row == cardRows_.cend() && card.endsWith(u'#'))
            row = cardRows_.constFind(CardKey(track, card.chopped(1)));
        return row != cardRows_.cend() ? comments_[*row] : (comment.isEmpty() ? ResetCommentText : comment);
    }

    const QList<DirectoryEntry>& entries_;
    const QList<QString>& comments_;          // per entry: the comment its holder's name becomes
    const QHash<QString, int>& cardRows_;     // "2:card" -> first entry giving it
    QDate day_;
};

} // namespace

bool TerminalPlan::Changes() const
{
    return std::any_of(lists.begin(), lists.end(), [](const ListPlan& list) { return list.Changes(); });
}

bool TerminalPlan::Overflows() const
{
    return std::any_of(lists.begin(), lists.end(), [](const ListPlan& list) { return list.Overflow() > 0; });
}

bool SitePlan::Changes() const
{
    return std::any_of(terminals.begin(), terminals.end(), [](const TerminalPlan& t) { return t.Changes(); });
}

SitePlan PlanSite(const QList<PlanTerminal>& terminals, const Directory& directory, const QDate& day)
{
    SitePlan plan;
    plan.day = day;
    const QList<DirectoryEntry>& entries = directory.entries;
    QList<QString> comments;
    comments.reserve(entries.size());
    QHash<QString, int> cardRows;
    for (int r = 0; r < entries.size(); ++r) {
        const DirectoryEntry& e = entries[r];
        comments.append(CommentFor(e.holder));
        if (comments.last() != e.holder)
            plan.namesCut.append({e.line, e.holder, comments.last()});
        for (const TrackNo track : Tracks) {
            const QString key = CardKey(track, CardOf(e, track));
            if (!CardOf(e, track).isEmpty() && !cardRows.contains(key))
                cardRows.insert(key, r);
        }
    }
    TerminalPlanner planner(entries, comments, cardRows, day);
    for (const PlanTerminal& terminal : terminals)
        plan.terminals.append(planner.Plan(terminal));
    return plan;
}

ApplyOutcome ApplyTerminalPlan(Configuration& m, const TerminalPlan& plan)
{
    if (plan.Overflows())
        return ApplyOutcome::Overflows;
    const QList<ListRows> shown = ShownListRows(m);
    if (shown.size() != plan.lists.size())
        return ApplyOutcome::NotItsPlan;
    CardListImport lists;
    for (int i = 0; i < shown.size(); ++i) {
        const ListPlan& list = plan.lists[i];
        if (shown[i].list != list.list || shown[i].count != list.capacity)
            return ApplyOutcome::NotItsPlan;
        if (!list.Changes())
            continue;
        auto& cards = lists.lists[list.list].emplace();
        for (const PlanCard& card : list.cards)
            cards.append({card.card, card.holder.isEmpty() ? ResetCommentText : card.holder});
    }
    if (std::none_of(lists.lists.begin(), lists.lists.end(), [](const auto& list) { return list.has_value(); }))
        return ApplyOutcome::Unchanged;
    ApplyCardListImport(m, lists);
    return ApplyOutcome::Applied;
}

// ---------------------------------------------------------------- the way back

namespace {

// One card of the directory being made, and where it was found.
struct FoundCard {
    int entry = 0;
    QString comment;          // the first comment found, empty for none
    QString commentTerminal;
    QStringList blockedOn;    // terminals that hold it in a block list
    QStringList allowedOn;    // terminals that hold it in a privilege list
};

// As the directory writes a card: the digits the terminal reads, without the
// filler of an odd length, so that the card is refused where another length
// is read instead of being taken as another card there.
QString DirectoryCard(const Configuration& m, int list, const QString& record)
{
    return record.left(CardDigits(m, list));
}

} // namespace

DirectoryFromLists DirectoryFromTerminals(const QList<PlanTerminal>& terminals)
{
    DirectoryFromLists made;
    QHash<QString, FoundCard> found;   // "2:card"
    QList<QString> order;
    for (const PlanTerminal& terminal : terminals) {
        if (!terminal.configuration)
            continue;
        const Configuration& m = *terminal.configuration;
        for (const ListRows& rows : ShownListRows(m)) {
            const int digits = CardDigits(m, rows.list);
            const TrackNo track = TrackOfList(rows.list);
            for (int k = 0; k < rows.count; ++k) {
                const int row = rows.firstRow + k;
                if (IsEmptyPlace(m.ListData[row], digits))
                    continue;
                const QString card = DirectoryCard(m, rows.list, m.ListData[row]);
                const QString key = CardKey(track, card);
                auto it = found.find(key);
                if (it == found.end()) {
                    DirectoryEntry entry;
                    entry.line = int(made.entries.size()) + 2;
                    (track == TrackNo::Track2 ? entry.track2 : entry.track3) = card;
                    made.entries.append(entry);
                    it = found.insert(key, {int(made.entries.size()) - 1});
                    order.append(key);
                }
                DirectoryEntry& entry = made.entries[it->entry];
                if (!entry.terminals.contains(terminal.name))
                    entry.terminals.append(terminal.name);
                QStringList& holders = rows.list <= 2 ? it->allowedOn : it->blockedOn;
                if (!holders.contains(terminal.name))
                    holders.append(terminal.name);
                const QString comment = m.ListComment[row].trimmed() == ResetCommentText ? QString() : m.ListComment[row].trimmed();
                if (comment.isEmpty())
                    continue;
                if (it->comment.isEmpty()) {
                    it->comment = comment;
                    it->commentTerminal = terminal.name;
                } else if (comment != it->comment) {
                    made.conflicts.append({DirectoryConflict::Kind::CommentsDiffer, track, card, it->comment,
                                           it->commentTerminal, {comment, terminal.name}});
                }
            }
        }
    }
    for (const QString& key : std::as_const(order)) {
        const FoundCard& card = found[key];
        DirectoryEntry& entry = made.entries[card.entry];
        entry.holder = card.comment.isEmpty() ? ResetCommentText : card.comment;
        entry.blocked = !card.blockedOn.isEmpty();
        if (!entry.blocked)
            continue;
        // Blocked in the directory means blocked on every terminal that can:
        // name the terminals where that changes something.
        const TrackNo track = entry.track2.isEmpty() ? TrackNo::Track3 : TrackNo::Track2;
        QStringList others = card.allowedOn;
        for (const PlanTerminal& terminal : terminals) {
            if (!terminal.configuration || card.blockedOn.contains(terminal.name) || others.contains(terminal.name))
                continue;
            const Configuration& m = *terminal.configuration;
            if (ShowsList(m, BlockList(track)) && CardRecord(m, BlockList(track), CardOf(entry, track)))
                others.append(terminal.name);
        }
        if (!others.isEmpty())
            made.conflicts.append({DirectoryConflict::Kind::NotBlockedEverywhere, track, CardOf(entry, track),
                                   entry.holder, card.blockedOn.first(), others});
    }
    return made;
}
