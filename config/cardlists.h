#pragma once
// The card lists as a whole: the rows each list shows, cards as CSV in and
// out, and search. All of it works on the list rows as DecodeLists last
// derived them (ListData, ListComment, the counts), so the editor, the
// command line and the reports see the same cards.

#include "config/configuration.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>

// The rows of one list shown in its grid: row indexes firstRow .. firstRow + count - 1.
struct ListRows {
    int list = 0;
    int firstRow = 0;
    int count = 0;
};
// The lists with rows, in list order; empty when no list is shown
// (magnetic-card message or evaluation off, or neither track usable).
QList<ListRows> ShownListRows(const Configuration& m);

// Digits of a list's card: 2 per slot, one less for an odd length.
int CardDigits(const Configuration& m, int list);
// A row whose digits are all 0 is an empty place, not a card (the filler
// after an odd number of digits does not count).
bool IsEmptyPlace(const QString& data, int digits);
// The record string a list holds for a card (card characters, '>' taken as
// '#'): the card when it has the list's number of digits, with the filler '#'
// after an odd number of them, which may be given or not. Nothing for a card
// of another length (a digit in the filler's place included): spreadsheets
// drop leading zeros, and a card cut or padded would be another card.
std::optional<QString> CardRecord(const Configuration& m, int list, const QString& card);

// A character a card may hold: 0-9 : ; < = > ? and # (the grid's 14).
bool CardChar(QChar c);
// The character at i, a character beyond U+FFFF with both halves of its surrogate pair.
QString CharacterAt(const QString& text, qsizetype i);
// The first character the accompanying-texts file (Windows-1252) cannot hold.
std::optional<QString> FirstUnstorable(const QString& text);

// ---------------------------------------------------------------- export

// One row per card of every list shown, with the header
// list,list_name,position,card,comment; UTF-8 with a byte order mark, CR LF,
// RFC 4180 quoting, a cell a spreadsheet would run as a formula behind a '
// (FormulaGuarded). list_name is the list's caption as listCaptions gives it
// (index 1..4); a comment that is the reset text is written empty.
QByteArray ExportCardListsCsv(const Configuration& m, const std::array<QString, 5>& listCaptions);
int ExportedCardCount(const Configuration& m);

// ---------------------------------------------------------------- import

// Why a row of a card-list file cannot be taken. Values hold the texts the
// message needs, in order.
struct CardRowProblem {
    enum class Kind {
        BrokenQuotes,        // quotes against the CSV rules
        TooFewColumns,       // values: expected, found
        UnknownList,         // values: the list field
        ListNotInUse,        // values: list
        BadCharacter,        // values: card, the first bad character (both halves of a surrogate pair)
        WrongLength,         // values: digits expected, found
        OnlyZeros,           // values: card (an empty place, not a card)
        TooManyCards,        // values: list, its rows
        DuplicateCard,       // values: card, list, line of its first row
        CommentNotStorable,  // values: the first character the comments file cannot hold
    };
    int line = 0;
    Kind kind = Kind::BrokenQuotes;
    QStringList values;
};

struct ImportedCard {
    QString data;      // the full record string, as ListData holds it
    QString comment;   // the reset text when the file gives none
};

struct CardListImport {
    enum class Failure {
        None,
        NotText,              // a null byte: UTF-16, a binary file
        MixedCharacterSets,   // UTF-8 by its byte order mark or other lines, but line failureLine is not
        UndefinedByte,        // neither UTF-8 nor Windows-1252 from line failureLine on
        NoHeader,             // the first line names no list and card columns
        NoCards,              // no row names a list
        BadRows,              // see problems
    };
    Failure failure = Failure::None;
    int failureLine = 0;
    QList<CardRowProblem> problems;                 // every bad row, in line order
    std::array<std::optional<QList<ImportedCard>>, 5> lists;   // index 1..4; set for each list the file names
    explicit operator bool() const { return failure == Failure::None; }
    int CardCount() const;
};

// Reads a card-list file and checks every row against the lists as m shows
// them. Nothing is changed.
CardListImport ReadCardListsCsv(const QByteArray& content, const Configuration& m);
// Replaces each list the import names: its cards from the first row on, the
// rows after them empty places with the reset comment; the other lists stay.
// Writes ConfigImage and ListComment, then runs DecodeLists.
void ApplyCardListImport(Configuration& m, const CardListImport& import);

// ---------------------------------------------------------------- search

enum class SearchDirection { Forward, Backward };
// The next row (index across the lists shown, in list order) after fromRow
// (or before it, backwards) whose card digits or comment contain text,
// ignoring case; the search wraps around and comes back to fromRow last.
// fromRow -1 starts before the first row (forward) or after the last
// (backward). Empty places and the reset comment are not matched.
std::optional<int> FindCardRow(const Configuration& m, const QString& text, int fromRow, SearchDirection direction);
