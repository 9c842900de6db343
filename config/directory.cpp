#include "config/directory.h"

#include "config/cardlists.h"
#include "config/csvtable.h"
#include "config/sitefile.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <optional>

namespace {

using Kind = DirectoryProblem::Kind;

// Every column is needed: a column misspelt in the header ("bloked") must not
// quietly leave a lost card unblocked. Other columns are ignored.
enum Column { Name, Track2, Track3, ValidFrom, ValidUntil, Terminals, Blocked, ColumnCount };
const std::array<QString, ColumnCount> ColumnNames{
    QStringLiteral("name"),        QStringLiteral("track2"),    QStringLiteral("track3"),  QStringLiteral("valid_from"),
    QStringLiteral("valid_until"), QStringLiteral("terminals"), QStringLiteral("blocked")};

Directory::Failure FailureOf(CsvTable::Failure failure)
{
    switch (failure) {
    case CsvTable::Failure::None: break;
    case CsvTable::Failure::NotText: return Directory::Failure::NotText;
    case CsvTable::Failure::MixedCharacterSets: return Directory::Failure::MixedCharacterSets;
    case CsvTable::Failure::UndefinedByte: return Directory::Failure::UndefinedByte;
    }
    return Directory::Failure::None;
}

// A date cell: empty (open) or YYYY-MM-DD; nothing for anything else.
std::optional<QDate> DateOf(const QString& cell)
{
    static const QRegularExpression iso(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})$"));
    if (cell.isEmpty())
        return QDate();
    const auto match = iso.match(cell);
    const QDate date = match.hasMatch()
        ? QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt())
        : QDate();
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// Reads the rows after the header into a Directory.
class DirectoryReader {
public:
    DirectoryReader(Directory& directory, const QStringList& siteTerminals) : d_(directory)
    {
        for (const QString& name : siteTerminals) {
            siteNames_.insert(TerminalNameKey(name), name);
            namePartsMost_ = qMax(namePartsMost_, name.count(u';') + 1);
        }
    }

    void ReadRow(const CsvRecord& record, const std::array<int, ColumnCount>& column, qsizetype headerColumns)
    {
        line_ = record.line;
        const qsizetype before = d_.problems.size();
        const int needed = *std::max_element(column.begin(), column.end()) + 1;
        if (record.fields.size() < needed) {
            Add(Kind::TooFewColumns, {QString::number(needed), QString::number(record.fields.size())});
            return;
        }
        // More cells than the header: most often a separator in a cell
        // without quotes, which shifts every cell after it.
        if (record.fields.size() > headerColumns) {
            Add(Kind::TooManyColumns, {QString::number(headerColumns), QString::number(record.fields.size())});
            return;
        }
        std::array<QString, ColumnCount> cell;
        for (int c = 0; c < ColumnCount; ++c)
            cell[c] = FormulaUnguarded(record.fields[column[c]].trimmed());

        DirectoryEntry entry;
        entry.line = line_;
        // A line break inside a quoted name would split the comments file.
        entry.holder = cell[Name]
                           .replace(QStringLiteral("\r\n"), QStringLiteral(" "))
                           .replace(u'\r', u' ')
                           .replace(u'\n', u' ')
                           .trimmed();
        if (entry.holder.isEmpty())
            Add(Kind::MissingHolder);
        else if (const std::optional<QString> bad = FirstUnstorable(entry.holder))
            Add(Kind::HolderNotStorable, {*bad});

        entry.track2 = Card(Track2, cell[Track2]).value_or(QString());
        entry.track3 = Card(Track3, cell[Track3]).value_or(QString());
        if (cell[Track2].isEmpty() && cell[Track3].isEmpty())
            Add(Kind::NoCard);

        const std::optional<QDate> from = Date(ValidFrom, cell[ValidFrom]);
        const std::optional<QDate> until = Date(ValidUntil, cell[ValidUntil]);
        if (from && until && from->isValid() && until->isValid() && *until < *from)
            Add(Kind::UntilBeforeFrom, {cell[ValidFrom], cell[ValidUntil]});
        entry.validFrom = from.value_or(QDate());
        entry.validUntil = until.value_or(QDate());

        ReadTerminals(cell[Terminals], entry);

        const QString blocked = cell[Blocked].toLower();
        const bool blockedRead = blocked == u"yes" || blocked == u"no" || blocked.isEmpty();
        if (!blockedRead)
            Add(Kind::BadBlocked, {cell[Blocked]});
        entry.blocked = blocked == u"yes";

        // A card is one card on every row: one holder (its comment on the
        // terminals) and blocked or not.
        if (!entry.holder.isEmpty() && blockedRead) {
            CheckSameCard(Track2, entry.track2, entry);
            CheckSameCard(Track3, entry.track3, entry);
        }
        if (d_.problems.size() == before)
            d_.entries.append(entry);
    }

private:
    void Add(Kind kind, QStringList values = {}) { d_.problems.append({line_, kind, std::move(values)}); }

    // A card cell: empty, or digits as the card-list import takes them.
    std::optional<QString> Card(Column c, const QString& text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!CardChar(text[i])) {
                Add(Kind::BadCharacter, {ColumnNames[c], text, CharacterAt(text, i)});
                return std::nullopt;
            }
        }
        // Zeros with the filler of an odd length after them are an empty
        // place on a terminal of that length, as the filler does not count.
        const QStringView digits = text.endsWith(u'#') || text.endsWith(u'>') ? QStringView(text).chopped(1) : QStringView(text);
        if (!digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar ch) { return ch == u'0'; })) {
            Add(Kind::OnlyZeros, {ColumnNames[c], text});
            return std::nullopt;
        }
        QString data = text;
        return data.replace(u'>', u'#');
    }

    std::optional<QDate> Date(Column c, const QString& text)
    {
        const std::optional<QDate> date = DateOf(text);
        if (!date)
            Add(Kind::BadDate, {ColumnNames[c], text});
        return date;
    }

    void ReadTerminals(const QString& text, DirectoryEntry& entry)
    {
        const QStringList names = TerminalNames(text);
        if (names.contains(QStringLiteral("*"))) {
            entry.allTerminals = true;
            if (names.size() > 1)
                Add(Kind::AllBesideNames);
            return;
        }
        for (const QString& name : names) {
            const auto site = siteNames_.constFind(TerminalNameKey(name));
            if (site == siteNames_.cend())
                Add(Kind::UnknownTerminal, {name});
            else if (!entry.terminals.contains(*site))
                entry.terminals.append(*site);
        }
    }

    // The names of a terminals cell, split at ';'. A site may call a terminal
    // "Halle 3; Nord": parts that together spell a name of the site are that
    // name (the longest such run wins), so that every terminal can be named.
    QStringList TerminalNames(const QString& text) const
    {
        const QStringList parts = text.split(u';');
        QStringList names;
        for (qsizetype i = 0; i < parts.size();) {
            qsizetype end = i + 1;   // one past the last part of the name
            for (qsizetype j = qMin(parts.size(), i + namePartsMost_); j > i + 1; --j) {
                if (siteNames_.contains(TerminalNameKey(parts.mid(i, j - i).join(u';').trimmed()))) {
                    end = j;
                    break;
                }
            }
            const QString name = parts.mid(i, end - i).join(u';').trimmed();
            if (!name.isEmpty())
                names << name;
            i = end;
        }
        return names;
    }

    void CheckSameCard(Column c, const QString& card, const DirectoryEntry& entry)
    {
        if (card.isEmpty())
            return;
        const QString key = ColumnNames[c] + u':' + card;
        const auto first = cards_.constFind(key);
        if (first == cards_.cend()) {
            cards_.insert(key, {entry.holder, entry.blocked, line_});
        } else if (first->holder != entry.holder) {
            Add(Kind::OtherHolder, {ColumnNames[c], card, first->holder, QString::number(first->line)});
        } else if (first->blocked != entry.blocked) {
            Add(Kind::BlockedDiffers, {ColumnNames[c], card, QString::number(first->line)});
        }
    }

    struct FirstRow {
        QString holder;
        bool blocked = false;
        int line = 0;
    };
    Directory& d_;
    int line_ = 0;
    QHash<QString, QString> siteNames_;   // TerminalNameKey -> the site's spelling
    qsizetype namePartsMost_ = 1;         // the most ';'-separated parts of one site name
    QHash<QString, FirstRow> cards_;      // "track2:digits" -> its first row
};

} // namespace

bool DirectoryEntry::ValidOn(const QDate& day) const
{
    return (validFrom.isNull() || day >= validFrom) && (validUntil.isNull() || day <= validUntil);
}

bool DirectoryEntry::ForTerminal(const QString& siteName) const
{
    return allTerminals || terminals.contains(siteName);
}

Directory ParseDirectoryCsv(const QByteArray& content, const QStringList& siteTerminals)
{
    Directory directory;
    const CsvTable table = ReadCsvTable(content);
    if (table.failure != CsvTable::Failure::None) {
        directory.failure = FailureOf(table.failure);
        directory.failureLine = table.failureLine;
        return directory;
    }
    std::array<int, ColumnCount> column;
    column.fill(-1);
    const bool quotesBeforeHeader = !table.records.isEmpty() && !table.quoteErrorLines.isEmpty()
        && table.quoteErrorLines.first() < table.records.first().line;
    const QStringList header = table.records.isEmpty() || quotesBeforeHeader ? QStringList() : table.records.first().fields;
    for (int i = int(header.size()) - 1; i >= 0; --i) {
        const auto name = std::find(ColumnNames.begin(), ColumnNames.end(), header[i].trimmed().toLower());
        if (name != ColumnNames.end())
            column[name - ColumnNames.begin()] = i;   // the first of equal names wins
    }
    for (int c = 0; c < ColumnCount; ++c)
        if (column[c] < 0)
            directory.missingColumns << ColumnNames[c];
    if (!directory.missingColumns.isEmpty()) {
        directory.failure = Directory::Failure::NoHeader;
        return directory;
    }

    for (int line : table.quoteErrorLines)
        directory.problems.append({line, Kind::BrokenQuotes, {}});
    DirectoryReader reader(directory, siteTerminals);
    for (qsizetype r = 1; r < table.records.size(); ++r)
        reader.ReadRow(table.records[r], column, header.size());
    std::stable_sort(directory.problems.begin(), directory.problems.end(),
                     [](const DirectoryProblem& a, const DirectoryProblem& b) { return a.line < b.line; });
    if (!directory.problems.isEmpty()) {
        directory.failure = Directory::Failure::BadRows;
        directory.entries.clear();
    } else if (directory.entries.isEmpty()) {
        directory.failure = Directory::Failure::NoCards;
    }
    return directory;
}

Directory ReadDirectoryFile(const QString& path, const QStringList& siteTerminals)
{
    const FileContent file = ReadRegularFile(path, MaxDirectoryFileBytes);
    if (!file.status) {
        Directory refused;
        refused.failure = Directory::Failure::Unreadable;
        refused.file = file.status;
        return refused;
    }
    return ParseDirectoryCsv(file.content, siteTerminals);
}

QByteArray FormatDirectoryCsv(const QList<DirectoryEntry>& entries)
{
    QStringList header;
    for (const QString& column : ColumnNames)
        header << column;
    QString text = header.join(u',') + QStringLiteral("\r\n");
    const auto cell = [](const QString& value) { return CsvField(FormulaGuarded(value)); };
    const auto date = [](const QDate& day) { return day.isNull() ? QString() : day.toString(Qt::ISODate); };
    for (const DirectoryEntry& e : entries) {
        const QStringList cells{cell(e.holder),
                                cell(e.track2),
                                cell(e.track3),
                                date(e.validFrom),
                                date(e.validUntil),
                                cell(e.allTerminals ? QStringLiteral("*") : e.terminals.join(u';')),
                                e.blocked ? QStringLiteral("yes") : QStringLiteral("no")};
        text += cells.join(u',') + QStringLiteral("\r\n");
    }
    return Utf8ByteOrderMark + text.toUtf8();
}
