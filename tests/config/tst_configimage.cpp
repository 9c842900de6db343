#include "config/configfiles.h"
#include "config/configimage.h"

#include <QtTest>

namespace {

// An image with the given settings, as the editor would lay it out.
struct Layout {
    bool blockLists = false;
    bool track2 = false;
    bool track3 = false;
    int digits2 = 8;
    int digits3 = 24;
};

void Configure(Vardelomod& m, const Layout& l)
{
    m.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation
        | (l.blockLists ? Feature::BlockListsOn : 0);
    m.ConfigImage[Slot::TrackFlags] = (l.track2 ? Track::EvaluateTrack2 : 0) | (l.track3 ? Track::EvaluateTrack3 : 0);
    EncodeDataLength(m, TrackNo::Track2, l.digits2);
    EncodeDataLength(m, TrackNo::Track3, l.digits3);
}

QString Counts(const Vardelomod& m)
{
    return QStringLiteral("%1/%2/%3/%4").arg(m.ListCount1).arg(m.ListCount2).arg(m.ListCount3).arg(m.ListCount4);
}

QString Areas(const Vardelomod& m)
{
    QStringList parts;
    for (const ListAreaBounds& a : ListAreas(m))
        parts << QStringLiteral("%1:%2..%3").arg(a.list).arg(a.first).arg(a.last);
    return parts.join(u' ');
}

// Records every observer call as one readable line.
class RecordingObserver : public ListRowsObserver {
public:
    QStringList calls;
    void ListsDecodeStarted(const Vardelomod&, bool shown) override { calls << QStringLiteral("start %1").arg(shown); }
    void ListStarted(const Vardelomod&, int list, int count) override { calls << QStringLiteral("list %1 count %2").arg(list).arg(count); }
    void RowDecoded(const Vardelomod& m, int list, int k, int row) override
    {
        calls << QStringLiteral("row %1.%2 r%3 %4").arg(list).arg(k).arg(row).arg(m.ListData[row]);
    }
    void ListFinished(const Vardelomod&, int list) override { calls << QStringLiteral("end %1").arg(list); }
};

} // namespace

class ConfigImageTest : public QObject {
    Q_OBJECT
private slots:
    void dataLength_data()
    {
        QTest::addColumn<int>("track");
        QTest::addColumn<int>("digits");
        QTest::addColumn<int>("slotValue");
        QTest::addColumn<int>("lengthFlags");   // slot 9 after encoding, starting from 0xFC
        QTest::newRow("track 2, 8") << 2 << 8 << 4 << 0xFC;
        QTest::newRow("track 2, 7") << 2 << 7 << 4 << 0xFD;
        QTest::newRow("track 2, 1") << 2 << 1 << 1 << 0xFD;
        QTest::newRow("track 3, 24") << 3 << 24 << 12 << 0xFC;
        QTest::newRow("track 3, 23") << 3 << 23 << 12 << 0xFE;
        QTest::newRow("track 3, 2") << 3 << 2 << 1 << 0xFC;
    }
    void dataLength()
    {
        QFETCH(int, track);
        QFETCH(int, digits);
        QFETCH(int, slotValue);
        QFETCH(int, lengthFlags);
        Vardelomod m;
        const TrackNo t = TrackNo(track);
        m.ConfigImage[Slot::LengthFlags] = 0xFF;   // the other track's bit is set first and must stay
        EncodeDataLength(m, t, digits);
        const int otherBit = t == TrackNo::Track2 ? Length::Track3OddLength : Length::Track2OddLength;
        QVERIFY(FlagSet(m, Slot::LengthFlags, otherBit));
        m.ConfigImage[Slot::LengthFlags] = qint16(m.ConfigImage[Slot::LengthFlags] & ~otherBit);
        QCOMPARE(int(m.ConfigImage[Slot::LengthFlags]), lengthFlags & ~otherBit);
        QCOMPARE(RecordLength(m, t), slotValue);
        QCOMPARE(DecodeDataLength(RecordLength(m, t), OddLength(m, t)), digits);
    }

    void decodePassword_data()
    {
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<QString>("text");
        QTest::newRow("digits") << QList<int>{0x21, 0x43, 0x65} << "123456";
        QTest::newRow("zeros") << QList<int>{0, 0, 0} << "000000";
        QTest::newRow("nibbles 10..15") << QList<int>{0xBA, 0xDC, 0xFE} << ":;<=>?";
    }
    void decodePassword()
    {
        QFETCH(QList<int>, values);
        QFETCH(QString, text);
        Vardelomod m;
        for (int i = 0; i < 3; ++i)
            m.ConfigImage[Slot::PasswordBcd + i] = qint16(values[i]);
        QCOMPARE(DecodePassword(m), text);
    }

    void encodePassword_data()
    {
        QTest::addColumn<int>("accepted");
        QTest::addColumn<QString>("packed");
        QTest::addColumn<QString>("password");
        QTest::newRow("digits mode") << 1 << PackTerminalPassword("654321", false) << "654321";
        QTest::newRow("free mode not taken") << 1 << PackTerminalPassword("abcdefgh", true) << "123456";
        QTest::newRow("not accepted") << 0 << PackTerminalPassword("654321", false) << "123456";
        QTest::newRow("too short") << 1 << QString("0\x12") << "123456";
    }
    void encodePassword()
    {
        QFETCH(int, accepted);
        QFETCH(QString, packed);
        QFETCH(QString, password);
        Vardelomod m;
        m.ConfigImage[5] = 0x21;
        m.ConfigImage[6] = 0x43;
        m.ConfigImage[7] = 0x65;
        m.PasswordAccepted = quint16(accepted);
        m.TerminalPassword = packed;
        EncodePassword(m);
        QCOMPARE(DecodePassword(m), password);
    }

    void displayCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("shown");
        QTest::newRow("A umlaut") << "Ä" << 225 << "ä";
        QTest::newRow("a umlaut") << "ä" << 225 << "ä";
        QTest::newRow("O umlaut") << "Ö" << 239 << "ö";
        QTest::newRow("U umlaut") << "Ü" << 245 << "ü";
        QTest::newRow("u umlaut") << "ü" << 245 << "ü";
        QTest::newRow("sharp s") << "ß" << 226 << "ß";
        QTest::newRow("plain") << "A" << 65 << "A";
        QTest::newRow("euro") << "€" << 128 << "€";
        QTest::newRow("e acute") << "é" << 233 << "é";
        QTest::newRow("no code") << "✓" << 63 << "?";
        QTest::newRow("undefined 0x81") << QString(QChar(0x81)) << 0x81 << QString(QChar(0x81));
    }
    void displayCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(int, code);
        QFETCH(QString, shown);
        QCOMPARE(int(EncodeDisplayChar(typed.at(0))), code);
        QCOMPARE(QString(DecodeDisplayChar(code)), shown);
    }

    // Every code decodes to a character that encodes back to it, except the
    // codes of Windows-1252's own ä, ö, ü, Ä, Ö, Ü and ß, which the terminal
    // has elsewhere.
    void everyDisplayCodeSurvives()
    {
        const QList<int> germanOwn{0xE4, 0xF6, 0xFC, 0xC4, 0xD6, 0xDC, 0xDF};
        for (int code = 0; code < 256; ++code) {
            const int back = EncodeDisplayChar(DecodeDisplayChar(code));
            if (germanOwn.contains(code))
                QVERIFY(back != code);
            else
                QCOMPARE(back, code);
        }
    }

    void displayLines()
    {
        Vardelomod m;
        m.ConfigImage[Slot::DisplayLines + 32] = 7;
        EncodeDisplayLine(m, 0, QStringLiteral("Tür öffnen Ä"));             // padded to 16
        EncodeDisplayLine(m, 1, QStringLiteral("0123456789abcdefXYZ"));      // cut to 16
        QCOMPARE(DecodeDisplayLine(m, 0), QStringLiteral("Tür öffnen ä    "));
        QCOMPARE(DecodeDisplayLine(m, 1), QStringLiteral("0123456789abcdef"));
        QCOMPARE(int(m.ConfigImage[16 + 1]), 245);
        QCOMPARE(int(m.ConfigImage[47]), int('f'));
        QCOMPARE(int(m.ConfigImage[48]), 7);   // line 2 untouched
        QCOMPARE(DecodeDisplayLine(m, 2), QString(QChar(7)) + QString(15, QChar(0)));
        EncodeDisplayLine(m, 15, QStringLiteral("last"));
        QCOMPARE(int(m.ConfigImage[271]), int(' '));
        QCOMPARE(int(m.ConfigImage[272]), 0);
    }

    void rowData_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("255") << 255 << "??";
        QTest::newRow("224") << 224 << "0#";
        QTest::newRow("0") << 0 << "00";
        QTest::newRow("0x21") << 0x21 << "12";
        QTest::newRow("0xAB") << 0xAB << ";:";
        QTest::newRow("0xDC") << 0xDC << "<=";
        QTest::newRow("0xEF") << 0xEF << "?#";
    }
    void rowData()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        Vardelomod m;
        m.ConfigImage[300] = qint16(value);
        QCOMPARE(DecodeRowData(m, 300, 1), text);
        m.ListData[0] = text;
        m.RowSlot[0] = 301;
        EncodeRowData(m, 0);
        QCOMPARE(int(m.ConfigImage[301]), value);
    }

    void greaterSignReadsBackAsHash()
    {
        QCOMPARE(CharNibble(u'>'), 14);
        QCOMPARE(CharNibble(u'#'), 14);
        QCOMPARE(NibbleChar(14), QChar(u'#'));
    }

    // A row edit writes exactly its record, whatever the string's length.
    void rowEditWritesItsRecordOnly()
    {
        Vardelomod m;
        Configure(m, {true, true, true, 7, 24});
        LayOutLists(m);
        m.ListData[1] = QStringLiteral("1234567>");
        EncodeRowData(m, 1);
        m.ListData[120] = QStringLiteral("9999999999");   // too long: stops at the record's end
        EncodeRowData(m, 120);
        m.ListData[121] = QStringLiteral("12");           // list 2, too short: rest taken as 0
        EncodeRowData(m, 121);
        QCOMPARE(int(m.ConfigImage[756]), 255);
        DecodeLists(m);
        QCOMPARE(m.ListData[0], QStringLiteral("0000000#"));
        QCOMPARE(m.ListData[1], QStringLiteral("1234567#"));
        QCOMPARE(m.ListData[120], QStringLiteral("99999999"));
        QCOMPARE(m.ListData[121], QStringLiteral("12") + QString(22, u'0'));
        QCOMPARE(m.ListData[122], QString(24, u'0'));
    }

    // Slots no one interprets travel unchanged through every operation.
    void uninterpretedSlotsAreCarried()
    {
        Vardelomod m;
        Configure(m, {true, true, true});
        const QList<int> free{8, 10, 11, 12, 13, 14, 15};
        for (int slot : free)
            m.ConfigImage[slot] = qint16(slot * 17);
        m.ConfigImage[Slot::LengthFlags] |= 0xF0;
        LayOutLists(m);
        EncodeDataLength(m, TrackNo::Track2, 5);
        EncodeDataLength(m, TrackNo::Track3, 3);
        EncodeDisplayLine(m, 0, QStringLiteral("x"));
        m.PasswordAccepted = 1;
        m.TerminalPassword = PackTerminalPassword("999999", false);
        EncodePassword(m);
        LayOutLists(m);
        for (int slot : free)
            QCOMPARE(int(m.ConfigImage[slot]), slot * 17);
        QCOMPARE(m.ConfigImage[Slot::LengthFlags] & 0xF0, 0xF0);
    }

    void areaTable_data()
    {
        QTest::addColumn<bool>("blockLists");
        QTest::addColumn<bool>("track2");
        QTest::addColumn<bool>("track3");
        QTest::addColumn<QString>("areas");
        QTest::newRow("block, both") << true << true << true << "1:272..759 2:760..1294 3:1295..1783 4:1784..2047";
        QTest::newRow("block, track 2") << true << true << false << "1:272..1294 3:1295..2047";
        QTest::newRow("block, track 3") << true << false << true << "2:272..1294 4:1295..2047";
        QTest::newRow("both") << false << true << true << "1:272..759 2:760..2047";
        QTest::newRow("track 2") << false << true << false << "1:272..2047";
        QTest::newRow("track 3") << false << false << true << "2:272..2047";
        QTest::newRow("block, none") << true << false << false << "";
        QTest::newRow("none") << false << false << false << "";
    }
    void areaTable()
    {
        QFETCH(bool, blockLists);
        QFETCH(bool, track2);
        QFETCH(bool, track3);
        QFETCH(QString, areas);
        Vardelomod m;
        Configure(m, {blockLists, track2, track3});
        QCOMPARE(Areas(m), areas);
        for (int list = 1; list <= 4; ++list)
            QCOMPARE(ListInUse(m, list), areas.contains(QStringLiteral("%1:").arg(list)));
    }

    // Counts and first slots of every layout, after LayOutLists.
    void layoutCountsAndSlots_data()
    {
        QTest::addColumn<bool>("blockLists");
        QTest::addColumn<bool>("track2");
        QTest::addColumn<bool>("track3");
        QTest::addColumn<int>("digits2");
        QTest::addColumn<int>("digits3");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<QList<int>>("firstSlots");   // RowSlot of the first row of each list in use
        QTest::newRow("block, both, 8/24") << true << true << true << 8 << 24 << "121/44/121/21"
                                           << QList<int>{272, 760, 1295, 1784};
        QTest::newRow("block, both, 1/1") << true << true << true << 1 << 1 << "486/533/487/262"
                                          << QList<int>{272, 760, 1295, 1784};
        QTest::newRow("block, track 2, 4") << true << true << false << 4 << 24 << "510/0/375/0"
                                           << QList<int>{272, 1295};
        QTest::newRow("block, track 3, 6") << true << false << true << 8 << 6 << "0/340/0/250"
                                           << QList<int>{272, 1295};
        QTest::newRow("both, 2/2") << false << true << true << 2 << 2 << "486/1286/0/0" << QList<int>{272, 760};
        QTest::newRow("track 2 only, L=1: 1774 rows") << false << true << false << 2 << 24 << "1774/0/0/0"
                                                      << QList<int>{272};
        QTest::newRow("track 3 only, 24") << false << false << true << 8 << 24 << "0/147/0/0" << QList<int>{272};
        // No track at all: track 2 is switched on and laid out.
        QTest::newRow("none") << false << false << false << 8 << 24 << "443/0/0/0" << QList<int>{272};
    }
    void layoutCountsAndSlots()
    {
        QFETCH(bool, blockLists);
        QFETCH(bool, track2);
        QFETCH(bool, track3);
        QFETCH(int, digits2);
        QFETCH(int, digits3);
        QFETCH(QString, counts);
        QFETCH(QList<int>, firstSlots);
        Vardelomod m;
        Configure(m, {blockLists, track2, track3, digits2, digits3});
        m.ListComment[5] = QStringLiteral("old");
        LayOutLists(m);
        QCOMPARE(Counts(m), counts);
        QCOMPARE(m.ListComment[5], ResetCommentText);
        int row = 0;
        int listIndex = 0;
        for (int list = 1; list <= 4; ++list) {
            const int count = m.ListCount(list);
            if (!count)
                continue;
            const int length = RecordLength(m, TrackOfList(list));
            QCOMPARE(int(m.RowSlot[row]), firstSlots.value(listIndex++));
            QCOMPARE(int(m.RowSlot[row + count - 1]), firstSlots.value(listIndex - 1) + (count - 1) * length);
            row += count;
        }
        QCOMPARE(listIndex, firstSlots.size());
        QCOMPARE(int(m.ConfigImage[Slot::LastBlockSlot]), 255);   // every area ends in free space
    }

    void track2Of8DigitsFillsTheAreaEnd()
    {
        Vardelomod m;
        Configure(m, {true, true, true, 8, 24});
        LayOutLists(m);
        QCOMPARE(int(m.RowSlot[120]), 752);
        for (int p = 756; p <= 759; ++p)
            QCOMPARE(int(m.ConfigImage[p]), 255);
        QCOMPARE(int(m.ConfigImage[755]), 0);
        QCOMPARE(m.ListData[0], QStringLiteral("00000000"));
    }

    void singleAreaOfLengthOneHasOneHiddenRecord()
    {
        Vardelomod m;
        Configure(m, {false, true, false, 2, 24});
        LayOutLists(m);
        QCOMPARE(int(m.ListCount1), 1774);
        QCOMPARE(int(m.RowSlot[1773]), 2045);
        QCOMPARE(int(m.ConfigImage[2046]), 0);     // laid out, but not shown
        QCOMPARE(int(m.ConfigImage[2047]), 255);
    }

    void oddLengthGetsTheFiller_data()
    {
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("record");
        QTest::newRow("7") << 7 << "0000000#";
        QTest::newRow("1") << 1 << "0#";
        QTest::newRow("8") << 8 << "00000000";
        QTest::newRow("2") << 2 << "00";
    }
    void oddLengthGetsTheFiller()
    {
        QFETCH(int, digits);
        QFETCH(QString, record);
        Vardelomod m;
        Configure(m, {true, true, false, digits, 24});
        LayOutLists(m);
        QCOMPARE(OddLength(m, TrackNo::Track2), digits % 2 == 1);
        const int rows = m.ListCount1 + m.ListCount3;
        QVERIFY(rows > 0);
        for (int r = 0; r < rows; ++r)
            QCOMPARE(m.ListData[r], record);
    }

    // A zero record length for a track in use must neither hang nor divide by
    // zero: that track's lists are empty, the other track's stay usable.
    void zeroRecordLengthShowsEmptyLists_data()
    {
        QTest::addColumn<int>("slot3");
        QTest::addColumn<int>("slot4");
        QTest::addColumn<QString>("counts");
        QTest::newRow("track 2 zero") << 0 << 12 << "0/44/0/21";
        QTest::newRow("track 3 zero") << 4 << 0 << "121/0/121/0";
        QTest::newRow("both zero") << 0 << 0 << "0/0/0/0";
        QTest::newRow("negative") << -4 << 12 << "0/44/0/21";
    }
    void zeroRecordLengthShowsEmptyLists()
    {
        QFETCH(int, slot3);
        QFETCH(int, slot4);
        QFETCH(QString, counts);
        Vardelomod m;
        Configure(m, {true, true, true});
        m.ConfigImage[Slot::Track2DataBytes] = qint16(slot3);
        m.ConfigImage[Slot::Track3DataBytes] = qint16(slot4);
        DecodeLists(m);
        QCOMPARE(Counts(m), counts);
        LayOutLists(m);
        QCOMPARE(Counts(m), counts);
        if (slot3 <= 0) {
            QCOMPARE(RecordLengthUsable(m, TrackNo::Track2), false);
            QCOMPARE(int(m.ConfigImage[272]), 255);   // nothing laid out there
        }
    }

    void listsHiddenWithoutMagCardSettings_data()
    {
        QTest::addColumn<int>("features");
        QTest::newRow("no signal") << int(Feature::MagCardEvaluation | Feature::BlockListsOn);
        QTest::newRow("no evaluation") << int(Feature::MagCardSignal | Feature::BlockListsOn);
    }
    void listsHiddenWithoutMagCardSettings()
    {
        QFETCH(int, features);
        Vardelomod m;
        Configure(m, {true, true, true});
        m.ListCount2 = 7;   // kept: no decoding takes place
        m.ConfigImage[Slot::FeatureFlags] = qint16(features);
        RecordingObserver observer;
        m.RowsObserver = &observer;
        DecodeLists(m);
        QCOMPARE(observer.calls, QStringList{"start 0"});
        QCOMPARE(int(m.ListCount2), 7);
    }

    void observerSeesEveryRowInOrder()
    {
        Vardelomod m;
        Configure(m, {true, true, true, 8, 24});
        m.ConfigImage[Slot::Track2DataBytes] = 200;   // list 1 and 3: two rows each
        m.ConfigImage[Slot::Track3DataBytes] = 600;   // list 2 and 4: none
        m.ConfigImage[272] = 0x21;
        m.ConfigImage[472] = 0xE0;
        RecordingObserver observer;
        m.RowsObserver = &observer;
        DecodeLists(m);
        QCOMPARE(observer.calls.size(), 1 + 4 * 2 + 4);
        QCOMPARE(observer.calls[0], QStringLiteral("start 1"));
        QCOMPARE(observer.calls[1], QStringLiteral("list 1 count 2"));
        QVERIFY(observer.calls[2].startsWith(QStringLiteral("row 1.0 r0 12000")));
        QVERIFY(observer.calls[3].startsWith(QStringLiteral("row 1.1 r1 0#00")));
        QCOMPARE(observer.calls[4], QStringLiteral("end 1"));
        QCOMPARE(observer.calls[5], QStringLiteral("list 2 count 0"));
        QCOMPARE(observer.calls[7], QStringLiteral("list 3 count 2"));
        QVERIFY(observer.calls[8].startsWith(QStringLiteral("row 3.0 r2 ")));
        QCOMPARE(int(m.RowSlot[3]), 1495);
    }
};

QTEST_GUILESS_MAIN(ConfigImageTest)
#include "tst_configimage.moc"
