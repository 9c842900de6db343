#pragma once
// CSV text as spreadsheets write it, read and written by RFC 4180 rules.
// Quoting is left to libcsv (a small, maintained C library that Debian ships)
// instead of rules of our own; this file adds what a spreadsheet file needs
// around it: the character set, the byte order mark, the separator, and the
// line on which each record starts.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct CsvRecord {
    int line = 0;          // line of the file on which the record starts, from 1
    QStringList fields;    // blanks are kept; a field never holds the quotes that enclosed it
};

struct CsvTable {
    enum class Failure {
        None,
        NotText,              // a null byte: UTF-16, a binary file
        MixedCharacterSets,   // UTF-8 by its byte order mark or a multi-byte character, yet a line is not
        UndefinedByte,        // not UTF-8, and a byte Windows-1252 leaves undefined
    };
    Failure failure = Failure::None;
    int failureLine = 0;          // the first line that does not decode (MixedCharacterSets, UndefinedByte)
    QChar separator = u',';
    bool byteOrderMark = false;
    bool windows1252 = false;     // the text was not UTF-8 and was read as Windows-1252
    QList<CsvRecord> records;     // the header line included; lines without any character left out
    // Lines on which a record starts whose quotes break the rules (a quote
    // inside a field not enclosed in quotes, text after a closing quote, a
    // quoted field that never closes). Such a record is left out, and reading
    // goes on with the next line.
    QList<int> quoteErrorLines;
};

// Reads a whole CSV file. The character set is UTF-8 when the file is valid
// UTF-8 (with or without its byte order mark), and Windows-1252 when the file
// is plainly single-byte: not valid UTF-8, without a byte order mark, without
// a single valid UTF-8 multi-byte character, and without a byte Windows-1252
// leaves undefined. Anything else is refused with the first line that does
// not decode: read in either character set, a file that mixes them would
// come out garbled without a word. The separator is ';' when the first line
// holds more semicolons than commas, otherwise ','. Line ends CR LF, LF or CR.
CsvTable ReadCsvTable(const QByteArray& bytes);

// One field for a CSV line: quoted (quotes doubled) when it holds the
// separator, a quote, a line end, or a blank at either end.
QString CsvField(const QString& text, QChar separator = u',');

// A spreadsheet that opens a CSV file runs a cell beginning with =, +, -, @,
// a tab or a CR as a formula. FormulaGuarded writes such a text behind a
// leading ', the spreadsheets' own mark for text; FormulaUnguarded takes that
// mark off again. A text that itself begins with quotes before such a
// character gets one quote more, so every text comes back exactly, and a
// quote before anything else is the text's own and stays.
QString FormulaGuarded(const QString& text);
QString FormulaUnguarded(const QString& cell);

// UTF-8 with a byte order mark: spreadsheets need the mark to read umlauts.
inline const QByteArray Utf8ByteOrderMark("\xEF\xBB\xBF", 3);
