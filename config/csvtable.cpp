#include "config/csvtable.h"

#include "config/windows1252.h"

#include <algorithm>
#include <csv.h>

namespace {

// The five codes Windows-1252 leaves undefined: a file holding one was not
// written in that character set.
bool UndefinedInWindows1252(char c)
{
    const auto b = quint8(c);
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// What bytes hold when read as UTF-8 (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF).
struct Utf8Scan {
    qsizetype firstInvalid = -1;   // offset of the first byte no valid character holds
    bool multiByte = false;        // a valid character of two to four bytes was seen
};

Utf8Scan ScanUtf8(const QByteArray& bytes)
{
    Utf8Scan scan;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n && (scan.firstInvalid < 0 || !scan.multiByte);) {
        const uchar lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length the lead byte announces, and the range of the byte after it.
        int length = 0;
        uchar low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        bool valid = length > 0 && i + length <= n;
        for (int k = 1; valid && k < length; ++k)
            valid = k == 1 ? (p[i + 1] >= low && p[i + 1] <= high) : (p[i + k] >= 0x80 && p[i + k] <= 0xBF);
        if (!valid) {
            if (scan.firstInvalid < 0)
                scan.firstInvalid = i;
            ++i;
            continue;
        }
        scan.multiByte = true;
        i += length;
    }
    return scan;
}

// The line (from 1) that holds the byte at offset, counted as the reader
// counts them: a line ends after LF, or after a CR not followed by LF.
int LineOfOffset(const QByteArray& bytes, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset; ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && bytes[i + 1] != '\n'))
            ++line;
    return line;
}

// Fills a CsvTable from libcsv's callbacks.
struct Collector {
    CsvTable* table = nullptr;
    QStringList fields;
    int currentLine = 0;    // line being fed
    int recordLine = 0;     // line on which the open record started
    bool awaitingRecord = true;

    static void Field(void* data, size_t size, void* self)
    {
        auto* c = static_cast<Collector*>(self);
        c->fields.append(QString::fromUtf8(static_cast<const char*>(data), qsizetype(size)));
    }
    static void RecordEnd(int, void* self)
    {
        auto* c = static_cast<Collector*>(self);
        bool blank = true;
        for (const QString& field : std::as_const(c->fields))
            blank = blank && field.trimmed().isEmpty();
        // A line of separators only (";;;;") is what spreadsheets write for an
        // empty row; it names nothing.
        if (!blank)
            c->table->records.append({c->recordLine, c->fields});
        c->fields.clear();
        c->awaitingRecord = true;
    }
};

int NoBlanksTrimmed(unsigned char)
{
    return 0;   // RFC 4180: blanks belong to the field
}

// Whether text, after any quotes it begins with, begins like a formula.
bool BeginsLikeFormula(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'')
        ++i;
    return i < text.size() && QStringView(u"=+-@\t\r").contains(text[i]);
}

// Told by the header, the first line that holds anything.
QChar DetectSeparator(const QByteArray& utf8)
{
    qsizetype start = 0;
    while (start < utf8.size() && IsLineEnd(utf8[start]))
        ++start;
    qsizetype end = start;
    while (end < utf8.size() && !IsLineEnd(utf8[end]))
        ++end;
    const QByteArray header = utf8.mid(start, end - start);
    return header.count(';') > header.count(',') ? QChar(u';') : QChar(u',');
}

} // namespace

CsvTable ReadCsvTable(const QByteArray& bytes)
{
    CsvTable table;
    QByteArray body = bytes;
    if (body.startsWith(Utf8ByteOrderMark)) {
        table.byteOrderMark = true;
        body.remove(0, Utf8ByteOrderMark.size());
    }
    if (body.contains('\0')) {
        table.failure = CsvTable::Failure::NotText;
        return table;
    }
    if (const Utf8Scan scan = ScanUtf8(body); scan.firstInvalid >= 0) {
        // One Latin-1 byte in a UTF-8 file, or a UTF-8 line in a Windows-1252
        // file: either reading garbles the other part.
        if (table.byteOrderMark || scan.multiByte) {
            table.failure = CsvTable::Failure::MixedCharacterSets;
            table.failureLine = LineOfOffset(body, scan.firstInvalid);
            return table;
        }
        if (const auto undefined = std::find_if(body.cbegin(), body.cend(), UndefinedInWindows1252);
            undefined != body.cend()) {
            table.failure = CsvTable::Failure::UndefinedByte;
            table.failureLine = LineOfOffset(body, undefined - body.cbegin());
            return table;
        }
        table.windows1252 = true;
        body = DecodeWindows1252(body).toUtf8();
    }

    // libcsv reads UTF-8 bytes: no byte of a multi-byte sequence equals a
    // separator, a quote or a line end.
    table.separator = DetectSeparator(body);
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
        return table;
    const auto configure = [&] {
        csv_set_delim(&parser, uchar(table.separator.unicode()));
        csv_set_space_func(&parser, NoBlanksTrimmed);
    };
    configure();
    Collector collector;
    collector.table = &table;

    // Fed one line at a time (a line ends after LF, or after a CR not
    // followed by LF), so every record knows the line it starts on: a record
    // can only start at the beginning of a line.
    const qsizetype n = body.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && !IsLineEnd(body[end]))
            ++end;
        if (end < n)
            end += (body[end] == '\r' && end + 1 < n && body[end + 1] == '\n') ? 2 : 1;
        ++collector.currentLine;
        if (collector.awaitingRecord && !IsLineEnd(body[start])) {
            collector.recordLine = collector.currentLine;
            collector.awaitingRecord = false;
        }
        const size_t length = size_t(end - start);
        if (csv_parse(&parser, body.constData() + start, length, Collector::Field, Collector::RecordEnd, &collector)
            != length) {
            // Broken quotes: the record is left out and a fresh parser takes
            // up the next line, so that later lines are still checked.
            table.quoteErrorLines.append(collector.recordLine);
            csv_free(&parser);
            csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI);
            configure();
            collector.fields.clear();
            collector.awaitingRecord = true;
        }
        start = end;
    }
    if (csv_fini(&parser, Collector::Field, Collector::RecordEnd, &collector) != 0)
        table.quoteErrorLines.append(collector.recordLine);
    csv_free(&parser);
    return table;
}

QString CsvField(const QString& text, QChar separator)
{
    const bool quote = text.contains(separator) || text.contains(u'"') || text.contains(u'\r')
        || text.contains(u'\n') || text.startsWith(u' ') || text.endsWith(u' ');
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

QString FormulaGuarded(const QString& text)
{
    return BeginsLikeFormula(text) ? u'\'' + text : text;
}

QString FormulaUnguarded(const QString& cell)
{
    return cell.startsWith(u'\'') && BeginsLikeFormula(cell) ? cell.mid(1) : cell;
}
