#pragma once
// The directory of card holders: one CSV row per card, from which each
// terminal's lists are planned.
//
//     name,track2,track3,valid_from,valid_until,terminals,blocked
//     Anna Berg,10000417,,2026-01-01,2027-03-31,Tor 1;Lager,no
//     Bernd Krause,10000523,,,,*,yes
//
// Read by the card-list import's rules (ReadCsvTable: UTF-8 with or without
// byte order mark, or plainly Windows-1252; ',' or ';'; RFC 4180 quotes) and
// taken whole or not at all: every bad row is named with its line.

#include "platform/fileaccess.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// One row: one card of one holder. A person with several cards has several
// rows; a card given to the same holder on several rows (one per group of
// doors, each with its own dates) keeps each row: the card belongs on a
// terminal on a day when any of its rows puts it there.
struct DirectoryEntry {
    int line = 0;                // of the file, from 1
    QString holder;              // trimmed, line breaks as blanks
    QString track2;              // the card's digits as the lists hold them (">" as "#"); empty: none
    QString track3;
    QDate validFrom;             // null: open
    QDate validUntil;            // null: open
    bool allTerminals = false;   // "*"
    QStringList terminals;       // otherwise: as the site spells them, each once, in the row's order
    bool blocked = false;

    // Between validFrom and validUntil, both days included.
    bool ValidOn(const QDate& day) const;
    // siteName as the site spells it.
    bool ForTerminal(const QString& siteName) const;
};

// Why a row cannot be taken. Values hold the texts the message needs, in order.
struct DirectoryProblem {
    enum class Kind {
        BrokenQuotes,        // quotes against the CSV rules
        TooFewColumns,       // values: expected, found
        TooManyColumns,      // values: the header's columns, found
        MissingHolder,       // an empty name
        HolderNotStorable,   // values: the first character the comments file cannot hold
        NoCard,              // neither track2 nor track3
        BadCharacter,        // values: column, card, the first bad character
        OnlyZeros,           // values: column, card
        BadDate,             // values: column, the text
        UntilBeforeFrom,     // values: valid_from, valid_until
        UnknownTerminal,     // values: the name
        AllBesideNames,      // "*" together with names
        BadBlocked,          // values: the text
        OtherHolder,         // values: column, card, the holder it has on the other line, that line
        BlockedDiffers,      // values: column, card, the other line
    };
    int line = 0;
    Kind kind = Kind::BrokenQuotes;
    QStringList values;
};

struct Directory {
    enum class Failure {
        None,
        Unreadable,           // see file
        NotText,              // a null byte: UTF-16, a binary file
        MixedCharacterSets,   // UTF-8 by its byte order mark or other lines, but line failureLine is not
        UndefinedByte,        // neither UTF-8 nor Windows-1252 from line failureLine on
        NoHeader,             // the first line lacks missingColumns
        NoCards,              // a header and no row: it would take every card off every terminal
        BadRows,              // see problems
    };
    Failure failure = Failure::None;
    FileStatus file;
    int failureLine = 0;
    QStringList missingColumns;
    QList<DirectoryProblem> problems;   // every bad row, in line order
    QList<DirectoryEntry> entries;      // in the file's order; empty unless the whole file was taken
    explicit operator bool() const { return failure == Failure::None; }
};

// Large enough for any organisation's cards, as for every file of ours.
constexpr qint64 MaxDirectoryFileBytes = 16 * 1024 * 1024;

// Reads the directory, checking its terminal names against the site's
// (matched as TerminalNameKey compares them, given back as the site spells them).
Directory ReadDirectoryFile(const QString& path, const QStringList& siteTerminals);
Directory ParseDirectoryCsv(const QByteArray& content, const QStringList& siteTerminals);

// The directory as a file the reader takes back: the header above, one line
// per entry in its order (the terminals joined by ';', "*" for all, dates as
// YYYY-MM-DD or empty, blocked yes or no); UTF-8 with a byte order mark, CR LF,
// RFC 4180 quoting, a cell a spreadsheet would run as a formula behind a '.
QByteArray FormatDirectoryCsv(const QList<DirectoryEntry>& entries);
