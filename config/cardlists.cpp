#include "config/cardlists.h"

#include "config/configfiles.h"
#include "config/configimage.h"
#include "config/csvtable.h"
#include "config/windows1252.h"

#include <QHash>

bool CardChar(QChar c)
{
    return c == u'#' || (c.unicode() >= u'0' && c.unicode() <= u'?');
}

QString CharacterAt(const QString& text, qsizetype i)
{
    const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    return text.mid(i, pair ? 2 : 1);
}

std::optional<QString> FirstUnstorable(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (Windows1252Code(text[i]) == '?' && text[i] != u'?')
            return CharacterAt(text, i);
    return std::nullopt;
}

namespace {

const QStringList HeaderNames{QStringLiteral("list"), QStringLiteral("list_name"), QStringLiteral("position"),
                              QStringLiteral("card"), QStringLiteral("comment")};

std::optional<ListRows> RowsOfList(const QList<ListRows>& shown, int list)
{
    for (const ListRows& rows : shown)
        if (rows.list == list)
            return rows;
    return std::nullopt;
}

// The record string of an empty place: zero digits, and the filler '#' after
// an odd number of them, as a fresh layout leaves it.
QString EmptyPlace(const Configuration& m, int list)
{
    const int digits = CardDigits(m, list);
    return QString(digits, u'0') + (OddLength(m, TrackOfList(list)) ? QStringLiteral("#") : QString());
}

// Checks the card of one row; gives the record string, or adds a problem.
std::optional<QString> CheckedCard(const Configuration& m, int list, const QString& card, int line,
                                   QList<CardRowProblem>& problems)
{
    using Kind = CardRowProblem::Kind;
    for (qsizetype i = 0; i < card.size(); ++i) {
        if (!CardChar(card[i])) {
            problems.append({line, Kind::BadCharacter, {card, CharacterAt(card, i)}});
            return std::nullopt;
        }
    }
    const int digits = CardDigits(m, list);
    const std::optional<QString> data = CardRecord(m, list, card);
    if (!data) {
        problems.append({line, Kind::WrongLength, {QString::number(digits), QString::number(card.size())}});
        return std::nullopt;
    }
    if (IsEmptyPlace(*data, digits)) {
        problems.append({line, Kind::OnlyZeros, {card}});
        return std::nullopt;
    }
    return data;
}

} // namespace

QList<ListRows> ShownListRows(const Configuration& m)
{
    QList<ListRows> shown;
    if (!FlagSet(m, Slot::FeatureFlags, Feature::MagCardSignal) || !FlagSet(m, Slot::FeatureFlags, Feature::MagCardEvaluation))
        return shown;
    int first = 0;
    for (int list = 1; list <= 4; ++list) {
        if (!ListInUse(m, list) || !RecordLengthUsable(m, TrackOfList(list)))
            continue;
        const int count = qMin(int(m.ListCount(list)), Configuration::RowEntries - first);
        shown.append({list, first, count});
        first += count;
    }
    return shown;
}

int CardDigits(const Configuration& m, int list)
{
    const TrackNo track = TrackOfList(list);
    return DecodeDataLength(RecordLength(m, track), OddLength(m, track));
}

std::optional<QString> CardRecord(const Configuration& m, int list, const QString& card)
{
    const int digits = CardDigits(m, list);
    const bool odd = OddLength(m, TrackOfList(list));
    // With an odd number of digits the grid shows the record with its filler;
    // both forms are the same card. Any other character in the filler's place
    // would be a digit the terminal does not read.
    const bool withFiller = odd && card.size() == digits + 1 && (card.back() == u'#' || card.back() == u'>');
    if (digits <= 0 || (card.size() != digits && !withFiller))
        return std::nullopt;
    QString data = card;
    data.replace(u'>', u'#');
    if (data.size() == digits && odd)
        data += u'#';
    return data;
}

bool IsEmptyPlace(const QString& data, int digits)
{
    if (digits <= 0 || data.size() < digits)
        return false;
    for (int i = 0; i < digits; ++i)
        if (data.at(i) != u'0')
            return false;
    return true;
}

// ---------------------------------------------------------------- export

QByteArray ExportCardListsCsv(const Configuration& m, const std::array<QString, 5>& listCaptions)
{
    QString text = HeaderNames.join(u',') + QStringLiteral("\r\n");
    for (const ListRows& rows : ShownListRows(m)) {
        const int digits = CardDigits(m, rows.list);
        const QString list = QString::number(rows.list) + u',' + CsvField(FormulaGuarded(listCaptions[rows.list])) + u',';
        for (int k = 0; k < rows.count; ++k) {
            const int row = rows.firstRow + k;
            if (IsEmptyPlace(m.ListData[row], digits))
                continue;
            const QString& comment = m.ListComment[row];
            text += list + QString::number(k + 1) + u',' + CsvField(FormulaGuarded(m.ListData[row])) + u','
                + CsvField(FormulaGuarded(comment == ResetCommentText ? QString() : comment)) + QStringLiteral("\r\n");
        }
    }
    return Utf8ByteOrderMark + text.toUtf8();
}

int ExportedCardCount(const Configuration& m)
{
    int cards = 0;
    for (const ListRows& rows : ShownListRows(m)) {
        const int digits = CardDigits(m, rows.list);
        for (int k = 0; k < rows.count; ++k)
            cards += IsEmptyPlace(m.ListData[rows.firstRow + k], digits) ? 0 : 1;
    }
    return cards;
}

// ---------------------------------------------------------------- import

int CardListImport::CardCount() const
{
    int cards = 0;
    for (const auto& list : lists)
        cards += list ? int(list->size()) : 0;
    return cards;
}

CardListImport ReadCardListsCsv(const QByteArray& content, const Configuration& m)
{
    using Kind = CardRowProblem::Kind;
    CardListImport result;
    const CsvTable table = ReadCsvTable(content);
    switch (table.failure) {
    case CsvTable::Failure::None: break;
    case CsvTable::Failure::NotText: result.failure = CardListImport::Failure::NotText; break;
    case CsvTable::Failure::MixedCharacterSets: result.failure = CardListImport::Failure::MixedCharacterSets; break;
    case CsvTable::Failure::UndefinedByte: result.failure = CardListImport::Failure::UndefinedByte; break;
    }
    if (!result) {
        result.failureLine = table.failureLine;
        return result;
    }
    if (table.records.isEmpty() || (!table.quoteErrorLines.isEmpty() && table.quoteErrorLines.first() < table.records.first().line)) {
        result.failure = CardListImport::Failure::NoHeader;
        return result;
    }

    std::array<int, 5> column{-1, -1, -1, -1, -1};   // by HeaderNames index
    const QStringList& header = table.records.first().fields;
    for (int i = int(header.size()) - 1; i >= 0; --i) {
        const qsizetype name = HeaderNames.indexOf(header[i].trimmed().toLower());
        if (name >= 0)
            column[name] = i;   // the first of equal names wins
    }
    const int listColumn = column[0], cardColumn = column[3], commentColumn = column[4];
    if (listColumn < 0 || cardColumn < 0) {
        result.failure = CardListImport::Failure::NoHeader;
        return result;
    }
    const int needed = qMax(qMax(listColumn, cardColumn), commentColumn) + 1;
    for (int line : table.quoteErrorLines)
        result.problems.append({line, Kind::BrokenQuotes, {}});

    const QList<ListRows> shown = ShownListRows(m);
    std::array<int, 5> named{};                       // rows naming each list so far
    std::array<QHash<QString, int>, 5> firstLineOf;   // card -> line of its first row
    for (qsizetype r = 1; r < table.records.size(); ++r) {
        const CsvRecord& record = table.records[r];
        const int line = record.line;
        if (record.fields.size() < needed) {
            result.problems.append({line, Kind::TooFewColumns, {QString::number(needed), QString::number(record.fields.size())}});
            continue;
        }
        const QString listText = record.fields[listColumn].trimmed();
        bool number = false;
        const int list = listText.toInt(&number);
        if (!number || list < 1 || list > 4) {
            result.problems.append({line, Kind::UnknownList, {listText}});
            continue;
        }
        const std::optional<ListRows> rows = RowsOfList(shown, list);
        if (!rows) {
            result.problems.append({line, Kind::ListNotInUse, {QString::number(list)}});
            continue;
        }
        auto& cards = result.lists[list];
        if (!cards)
            cards.emplace();
        const qsizetype before = result.problems.size();
        if (++named[list] > rows->count)
            result.problems.append({line, Kind::TooManyCards, {QString::number(list), QString::number(rows->count)}});
        const QString card = FormulaUnguarded(record.fields[cardColumn].trimmed());
        std::optional<QString> data = CheckedCard(m, list, card, line, result.problems);
        if (data) {
            if (const auto first = firstLineOf[list].constFind(*data); first != firstLineOf[list].cend())
                result.problems.append({line, Kind::DuplicateCard, {card, QString::number(list), QString::number(*first)}});
            else
                firstLineOf[list].insert(*data, line);
        }
        QString comment = commentColumn >= 0 ? FormulaUnguarded(record.fields[commentColumn]) : QString();
        // A line break inside a quoted comment would split the comments file.
        comment.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
        if (const std::optional<QString> bad = FirstUnstorable(comment))
            result.problems.append({line, Kind::CommentNotStorable, {*bad}});
        if (result.problems.size() == before)
            cards->append({*data, comment.isEmpty() ? ResetCommentText : comment});
    }
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const CardRowProblem& a, const CardRowProblem& b) { return a.line < b.line; });
    if (!result.problems.isEmpty())
        result.failure = CardListImport::Failure::BadRows;
    else if (std::none_of(result.lists.begin(), result.lists.end(), [](const auto& list) { return list.has_value(); }))
        result.failure = CardListImport::Failure::NoCards;
    return result;
}

void ApplyCardListImport(Configuration& m, const CardListImport& import)
{
    if (!import)
        return;
    for (const ListRows& rows : ShownListRows(m)) {
        const auto& cards = import.lists[rows.list];
        if (!cards)
            continue;
        const QString empty = EmptyPlace(m, rows.list);
        for (int k = 0; k < rows.count; ++k) {
            const int row = rows.firstRow + k;
            const bool card = k < cards->size();
            m.ListData[row] = card ? cards->at(k).data : empty;
            m.ListComment[row] = card ? cards->at(k).comment : ResetCommentText;
            EncodeRowData(m, row);
        }
    }
    DecodeLists(m);
}

// ---------------------------------------------------------------- search

std::optional<int> FindCardRow(const Configuration& m, const QString& text, int fromRow, SearchDirection direction)
{
    const QString needle = text.trimmed();
    const QList<ListRows> shown = ShownListRows(m);
    int total = 0;
    for (const ListRows& rows : shown)
        total += rows.count;
    if (needle.isEmpty() || total == 0)
        return std::nullopt;
    const auto matches = [&](int row) {
        int digits = 0;
        for (const ListRows& rows : shown)
            if (row >= rows.firstRow && row < rows.firstRow + rows.count)
                digits = CardDigits(m, rows.list);
        const QString& data = m.ListData[row];
        const QString& comment = m.ListComment[row];
        return (!IsEmptyPlace(data, digits) && data.contains(needle, Qt::CaseInsensitive))
            || (comment != ResetCommentText && comment.contains(needle, Qt::CaseInsensitive));
    };
    const bool forward = direction == SearchDirection::Forward;
    const int start = fromRow >= 0 && fromRow < total ? fromRow : (forward ? -1 : total);
    for (int step = 1; step <= total; ++step) {
        const int row = ((start + (forward ? step : -step)) % total + total) % total;
        if (matches(row))
            return row;
    }
    return std::nullopt;
}
