#pragma once
// Layout of the configuration block and the only code that turns its slots
// into values and text and back. Every other part of the program goes through
// these functions instead of touching bits itself.

#include "config/configuration.h"
#include "platform/fileaccess.h"

#include <QString>
#include <QList>
#include <optional>

namespace Slot {
constexpr int DoorOpenTime = 0;
constexpr int FeatureFlags = 1;
constexpr int TrackFlags = 2;
constexpr int Track2DataBytes = 3;
constexpr int Track3DataBytes = 4;
constexpr int PasswordBcd = 5;      // 5..7
constexpr int LengthFlags = 9;
constexpr int DisplayLines = 16;    // 16..271
constexpr int ListArea = 272;       // 272..2047
constexpr int LastBlockSlot = 2047;
}

// Bits of FeatureFlags (slot 1).
namespace Feature {
constexpr int BuzzerWithOpener = 0x01;
constexpr int OpenerIntervalTone = 0x02;
constexpr int MagCardSignal = 0x04;
constexpr int ChipCardSignal = 0x08;
constexpr int MagCardEvaluation = 0x10;
constexpr int DataOnDisplay = 0x20;
constexpr int BlockListsOn = 0x40;
constexpr int OpenDoorOnFault = 0x80;
}
// Bits of TrackFlags (slot 2).
namespace Track {
constexpr int EvaluateTrack2 = 0x01;
constexpr int EvaluateTrack3 = 0x02;
constexpr int MonitoringModule = 0x04;
}
// Bits of LengthFlags (slot 9).
namespace Length {
constexpr int Track2OddLength = 0x01;
constexpr int Track3OddLength = 0x02;
}

// The track a list or a data length belongs to: 2, or 3 for track 3/1.
enum class TrackNo { Track2 = 2, Track3 = 3 };

bool FlagSet(const Configuration& m, int slot, int mask);
void SetFlag(Configuration& m, int slot, int mask, bool on);

// Record length in slots and odd-length bit of a track, and the track of a list 1..4.
int RecordLength(const Configuration& m, TrackNo track);
bool OddLength(const Configuration& m, TrackNo track);
TrackNo TrackOfList(int list);

// A list is in use when its track is evaluated and, for lists 3 and 4,
// block lists are on.
bool ListInUse(const Configuration& m, int list);

// One list area: its first slot S and its last slot E, inclusive. The reader
// works on S..E-1.
struct ListAreaBounds {
    int list = 0;
    int first = 0;
    int last = 0;
};
// Areas of the lists in use, in list order (empty when neither track is evaluated).
QList<ListAreaBounds> ListAreas(const Configuration& m);

// Digits of a track: 2*b - o.
int DecodeDataLength(int recordLength, bool oddLength);
// Writes slot 3 or 4 and the track's bit of slot 9.
void EncodeDataLength(Configuration& m, TrackNo track, int digits);

// What the password dialog gives whoever asked for it (the editor for the
// configuration's password, a terminal session for its read):
// PasswordAccepted 1 and the packed TerminalPassword for an accepted entry,
// PasswordAccepted 0 when it was cancelled.
struct PasswordEntry {
    quint16 PasswordAccepted = 0;
    QString TerminalPassword;
};

// Slots 5..7 as six characters (48 + nibble, low nibble first).
QString DecodePassword(const Configuration& m);
// The editor's form: takes the entry's TerminalPassword when PasswordAccepted
// is 1 and it is not a free-mode entry; otherwise the slots stay.
void EncodePassword(Configuration& m, const PasswordEntry& entry);
// Packs six digits into three bytes, first digit of each pair in the low nibble.
// Returns nothing when the text is not exactly six digits.
std::optional<std::array<quint8, 3>> PackPasswordDigits(const QString& sixDigits);
// The password dialog's result for an accepted entry (at least six
// characters): digits mode gives "0" and the characters with the codes of the
// three packed bytes (a non-digit counts as 0); free mode gives "X" and the
// text. The terminal sequences send exactly this.
QString PackTerminalPassword(const QString& entry, bool freeMode);
// A password as an operator writes it outside the dialog (a password file,
// the environment, the command line): six digits, or "X" and a free-mode
// text of 6 to 8 characters of one byte each; packed as above. Nothing for
// any other text.
std::optional<QString> TerminalPasswordFromText(const QString& text);
// What a password file holds: its first line, with or without its line end
// (many editors write none); a file of another kind or a large one is
// refused like every file (status).
struct PasswordFileLine {
    FileStatus status;
    QString line;
};
PasswordFileLine ReadPasswordFile(const QString& path);

// The terminal's character set: Windows-1252 except four German letters.
quint8 EncodeDisplayChar(QChar c);
QChar DecodeDisplayChar(int code);
QString DecodeDisplayLine(const Configuration& m, int line);              // always 16 characters
void EncodeDisplayLine(Configuration& m, int line, const QString& text);  // exactly 16 characters expected

// Nibble alphabet of the list records: 0..9 : ; < = # ?
QChar NibbleChar(int nibble);
int CharNibble(QChar c);    // '#' and '>' give 14
QString DecodeRowData(const Configuration& m, int firstSlot, int recordLength);
void EncodeRowData(Configuration& m, int row);

void LayOutLists(Configuration& m);
void DecodeLists(Configuration& m);
void DecodeListArea(Configuration& m, int list, int first, int lastForReader, int& row);

// A track in use whose record length is 0 cannot be laid out or read: its
// lists are shown empty until a valid data length is entered.
bool RecordLengthUsable(const Configuration& m, TrackNo track);

// Told what DecodeLists derives, so that the grids and the reports fill
// themselves from the one rule.
class ListRowsObserver {
public:
    virtual ~ListRowsObserver() = default;
    // Start of a DecodeLists run; listsShown is false when MagCardSignal or
    // MagCardEvaluation is clear, so no list is read.
    virtual void ListsDecodeStarted(const Configuration& /*m*/, bool /*listsShown*/) {}
    // DecodeListArea has counted a list (1..4).
    virtual void ListStarted(const Configuration& /*m*/, int /*list*/, int /*count*/) {}
    // Record k of the list has been decoded into row index row.
    virtual void RowDecoded(const Configuration& /*m*/, int /*list*/, int /*k*/, int /*row*/) {}
    virtual void ListFinished(const Configuration& /*m*/, int /*list*/) {}
};
