#include "config/configimage.h"

#include "config/configfiles.h"
#include "config/windows1252.h"

namespace {

constexpr int TerminalUUmlaut = 245;
constexpr int TerminalOUmlaut = 239;
constexpr int TerminalAUmlaut = 225;
constexpr int TerminalSharpS = 226;
constexpr int EmptySlot = 255;        // fills the end of every list area
constexpr int OddLengthFiller = 224;  // low nibble 0, high nibble 14 ('#')

int TrackLengthSlot(TrackNo track)
{
    return track == TrackNo::Track2 ? Slot::Track2DataBytes : Slot::Track3DataBytes;
}

int TrackOddBit(TrackNo track)
{
    return track == TrackNo::Track2 ? Length::Track2OddLength : Length::Track3OddLength;
}

// Slots may hold any 16-bit value after a load; only the byte the terminal
// would see is interpreted.
int ByteOf(qint16 value)
{
    return value & 0xFF;
}

int CharCode(const QString& text, int index)
{
    return index < text.size() ? text.at(index).unicode() : u'0';
}

} // namespace

bool FlagSet(const Configuration& m, int slot, int mask)
{
    return (m.ConfigImage[slot] & mask) != 0;
}

void SetFlag(Configuration& m, int slot, int mask, bool on)
{
    qint16& value = m.ConfigImage[slot];
    value = qint16(on ? (value | mask) : (value & ~mask));
}

int RecordLength(const Configuration& m, TrackNo track)
{
    return m.ConfigImage[TrackLengthSlot(track)];
}

bool OddLength(const Configuration& m, TrackNo track)
{
    return FlagSet(m, Slot::LengthFlags, TrackOddBit(track));
}

TrackNo TrackOfList(int list)
{
    return (list == 1 || list == 3) ? TrackNo::Track2 : TrackNo::Track3;
}

bool ListInUse(const Configuration& m, int list)
{
    const int trackBit = TrackOfList(list) == TrackNo::Track2 ? Track::EvaluateTrack2 : Track::EvaluateTrack3;
    if (list < 1 || list > 4 || !FlagSet(m, Slot::TrackFlags, trackBit))
        return false;
    return list <= 2 || FlagSet(m, Slot::FeatureFlags, Feature::BlockListsOn);
}

QList<ListAreaBounds> ListAreas(const Configuration& m)
{
    const bool blockLists = FlagSet(m, Slot::FeatureFlags, Feature::BlockListsOn);
    const bool track2 = FlagSet(m, Slot::TrackFlags, Track::EvaluateTrack2);
    const bool track3 = FlagSet(m, Slot::TrackFlags, Track::EvaluateTrack3);
    // The areas are not equal shares; the terminal expects exactly these bounds.
    if (track2 && track3) {
        if (blockLists)
            return {{1, 272, 759}, {2, 760, 1294}, {3, 1295, 1783}, {4, 1784, 2047}};
        return {{1, 272, 759}, {2, 760, 2047}};
    }
    if (track2 || track3) {
        const int privileges = track2 ? 1 : 2;
        if (blockLists)
            return {{privileges, 272, 1294}, {privileges + 2, 1295, 2047}};
        return {{privileges, 272, 2047}};
    }
    return {};
}

bool RecordLengthUsable(const Configuration& m, TrackNo track)
{
    return RecordLength(m, track) >= 1;
}

int DecodeDataLength(int recordLength, bool oddLength)
{
    return 2 * recordLength - (oddLength ? 1 : 0);
}

void EncodeDataLength(Configuration& m, TrackNo track, int digits)
{
    const bool odd = digits % 2 != 0;
    SetFlag(m, Slot::LengthFlags, TrackOddBit(track), odd);
    m.ConfigImage[TrackLengthSlot(track)] = qint16(odd ? (digits + 1) / 2 : digits / 2);
}

QString DecodePassword(const Configuration& m)
{
    QString text;
    for (int slot = Slot::PasswordBcd; slot < Slot::PasswordBcd + 3; ++slot) {
        const int value = ByteOf(m.ConfigImage[slot]);
        text += QChar(48 + (value & 0x0F));
        text += QChar(48 + (value >> 4));
    }
    return text;
}

void EncodePassword(Configuration& m, const PasswordEntry& entry)
{
    const QString& packed = entry.TerminalPassword;
    // A short result would leave slots undefined; it is not taken.
    if (entry.PasswordAccepted != 1 || packed.size() < 4 || packed.at(0) == u'X')
        return;
    for (int i = 0; i < 3; ++i)
        m.ConfigImage[Slot::PasswordBcd + i] = qint16(packed.at(1 + i).unicode() & 0xFF);
}

quint8 EncodeDisplayChar(QChar c)
{
    switch (c.unicode()) {
    case u'ü': case u'Ü': return TerminalUUmlaut;
    case u'ö': case u'Ö': return TerminalOUmlaut;
    case u'ä': case u'Ä': return TerminalAUmlaut;
    case u'ß': return TerminalSharpS;
    default: return Windows1252Code(c);
    }
}

QChar DecodeDisplayChar(int code)
{
    switch (code) {
    case TerminalUUmlaut: return u'ü';
    case TerminalOUmlaut: return u'ö';
    case TerminalAUmlaut: return u'ä';
    case TerminalSharpS: return u'ß';
    default: return Windows1252Char(quint8(ByteOf(qint16(code))));
    }
}

QString DecodeDisplayLine(const Configuration& m, int line)
{
    QString text;
    if (line < 0 || line > 15)
        return QString(16, u' ');
    const int first = Slot::DisplayLines + 16 * line;
    for (int i = 0; i < 16; ++i)
        text += DecodeDisplayChar(ByteOf(m.ConfigImage[first + i]));
    return text;
}

void EncodeDisplayLine(Configuration& m, int line, const QString& text)
{
    if (line < 0 || line > 15)
        return;
    // Padded with blanks or cut, so a line never spills into the next one.
    const QString exact = text.leftJustified(16, u' ', true);
    const int first = Slot::DisplayLines + 16 * line;
    for (int i = 0; i < 16; ++i)
        m.ConfigImage[first + i] = EncodeDisplayChar(exact.at(i));
}

QChar NibbleChar(int nibble)
{
    return nibble == 14 ? QChar(u'#') : QChar(48 + (nibble & 0x0F));
}

int CharNibble(QChar c)
{
    if (c == u'#')
        return 14;
    const int v = c.unicode() - 48;
    // Outside the record alphabet: taken as 0, so a slot never leaves 0..255.
    return (v >= 0 && v <= 15) ? v : 0;
}

QString DecodeRowData(const Configuration& m, int firstSlot, int recordLength)
{
    QString data;
    data.reserve(2 * qMax(recordLength, 0));
    for (int p = firstSlot; p < firstSlot + recordLength && p <= Slot::LastBlockSlot; ++p) {
        const int value = ByteOf(m.ConfigImage[p]);
        data += NibbleChar(value & 0x0F);
        data += NibbleChar(value >> 4);
    }
    return data;
}

void EncodeRowData(Configuration& m, int row)
{
    if (row < 0 || row >= Configuration::RowEntries)
        return;
    const QString& data = m.ListData[row];
    // The record length is the one of the list the row belongs to; a string
    // of another length never writes into the neighbouring record.
    int length = int(data.size() / 2);
    int firstRowOfList = 0;
    for (int list = 1; list <= 4; ++list) {
        const int count = m.ListCount(list);
        if (row < firstRowOfList + count) {
            length = RecordLength(m, TrackOfList(list));
            break;
        }
        firstRowOfList += count;
    }
    const int first = m.RowSlot[row];
    if (first < Slot::ListArea)
        return;
    for (int i = 0; i < length && first + i <= Slot::LastBlockSlot; ++i) {
        const int low = CharNibble(QChar(char16_t(CharCode(data, 2 * i))));
        const int high = CharNibble(QChar(char16_t(CharCode(data, 2 * i + 1))));
        m.ConfigImage[first + i] = qint16(16 * high + low);
    }
}

void LayOutLists(Configuration& m)
{
    for (int p = Slot::ListArea; p <= Slot::LastBlockSlot; ++p)
        m.ConfigImage[p] = 0;
    // With no track chosen at all, track 2 is evaluated; its list is then laid
    // out like any other, so the list in use always ends in free space.
    if (m.ConfigImage[Slot::TrackFlags] == 0)
        m.ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2;
    for (const ListAreaBounds& area : ListAreas(m)) {
        const TrackNo track = TrackOfList(area.list);
        // An unusable length is laid out as if no record fitted: the whole
        // area becomes free space (with a length of 0 the loop would not end).
        const int length = RecordLengthUsable(m, track) ? RecordLength(m, track) : area.last - area.first + 2;
        const bool odd = OddLength(m, track);
        for (int i = area.first;; i += length) {
            if (i + length > area.last) {
                for (int p = i; p <= area.last; ++p)
                    m.ConfigImage[p] = EmptySlot;
                break;
            }
            if (odd)
                m.ConfigImage[i + length - 1] = OddLengthFiller;
        }
    }
    ResetComments(m);
    DecodeLists(m);
}

void DecodeLists(Configuration& m)
{
    const bool listsShown = FlagSet(m, Slot::FeatureFlags, Feature::MagCardSignal)
        && FlagSet(m, Slot::FeatureFlags, Feature::MagCardEvaluation);
    if (m.RowsObserver)
        m.RowsObserver->ListsDecodeStarted(m, listsShown);
    if (!listsShown)
        return;
    for (int list = 1; list <= 4; ++list)
        m.SetListCount(list, 0);
    int row = 0;
    for (const ListAreaBounds& area : ListAreas(m))
        DecodeListArea(m, area.list, area.first, area.last - 1, row);
}

void DecodeListArea(Configuration& m, int list, int first, int lastForReader, int& row)
{
    const TrackNo track = TrackOfList(list);
    const int length = RecordLength(m, track);
    int count = 0;
    if (RecordLengthUsable(m, track) && lastForReader > first && first >= 0)
        count = (lastForReader - first) / length;
    count = qBound(0, count, Configuration::RowEntries - row);
    m.SetListCount(list, quint16(count));
    if (m.RowsObserver)
        m.RowsObserver->ListStarted(m, list, count);
    for (int k = 0; k < count; ++k, ++row) {
        const int p = first + k * length;
        m.RowSlot[row] = qint16(p);
        m.ListData[row] = DecodeRowData(m, p, length);
        if (m.RowsObserver)
            m.RowsObserver->RowDecoded(m, list, k, row);
    }
    if (m.RowsObserver)
        m.RowsObserver->ListFinished(m, list);
}
