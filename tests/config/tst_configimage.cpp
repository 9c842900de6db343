#include "config/configfiles.h"
#include "config/configimage.h"

#include <QtTest>

namespace {

// The settings that decide how the lists are laid out.
struct Layout {
    bool blockLists = false, track2 = false, track3 = false;
    int digits2 = 8, digits3 = 24;
};

// Starts from slot 9 with both odd-length bits and the uninterpreted high bits set.
void Configure(Configuration& m, const Layout& l)
{
    m.ConfigImage[Slot::LengthFlags] = 0xF3;
    m.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation
        | (l.blockLists ? Feature::BlockListsOn : 0);
    m.ConfigImage[Slot::TrackFlags] = (l.track2 ? Track::EvaluateTrack2 : 0) | (l.track3 ? Track::EvaluateTrack3 : 0);
    EncodeDataLength(m, TrackNo::Track2, l.digits2);
    EncodeDataLength(m, TrackNo::Track3, l.digits3);
}

QString Counts(const Configuration& m)
{
    return QStringLiteral("%1/%2/%3/%4").arg(m.ListCount1).arg(m.ListCount2).arg(m.ListCount3).arg(m.ListCount4);
}

QString Areas(const Configuration& m)
{
    QStringList parts;
    for (const ListAreaBounds& a : ListAreas(m))
        parts << QStringLiteral("%1:%2..%3").arg(a.list).arg(a.first).arg(a.last);
    return parts.join(u' ');
}

} // namespace

Q_DECLARE_METATYPE(Layout)

class ConfigImageTest : public QObject {
    Q_OBJECT
private slots:
    // From slots 0x21 0x43 0x65, EncodePassword takes an accepted digits-mode entry only.
    void password_data()
    {
        QTest::addColumn<int>("accepted");
        QTest::addColumn<QString>("packed");
        QTest::addColumn<QString>("password");
        QTest::newRow("digits mode taken") << 1 << PackTerminalPassword("654321", false) << "654321";
        QTest::newRow("nibbles 10..15") << 1 << QStringLiteral(u"0\u00BA\u00DC\u00FE") << ":;<=>?";
        QTest::newRow("free mode not taken") << 1 << PackTerminalPassword("abcdefgh", true) << "123456";
        QTest::newRow("not accepted") << 0 << PackTerminalPassword("654321", false) << "123456";
        QTest::newRow("too short") << 1 << QString("0\x12") << "123456";
    }
    void password()
    {
        Configuration m;
        m.ConfigImage[5] = 0x21;
        m.ConfigImage[6] = 0x43;
        m.ConfigImage[7] = 0x65;
        QFETCH(int, accepted);
        QFETCH(QString, packed);
        EncodePassword(m, PasswordEntry{quint16(accepted), packed});
        QTEST(DecodePassword(m), "password");
    }

    // The terminal's character set differs from Windows-1252 in four letters;
    // a line is padded with blanks or cut to 16 characters.
    void displayLines()
    {
        Configuration m;
        m.ConfigImage[15] = 9;
        m.ConfigImage[Slot::DisplayLines + 32] = 7;
        EncodeDisplayLine(m, 0, QStringLiteral("ÄäÖÜüßA€✓"));
        EncodeDisplayLine(m, 1, QStringLiteral("0123456789abcdefXYZ"));
        EncodeDisplayLine(m, 15, QStringLiteral("last"));
        const QList<int> codes{225, 225, 239, 245, 245, 226, 65, 128, 63, 32};
        for (int i = 0; i < codes.size(); ++i)
            QCOMPARE(int(m.ConfigImage[Slot::DisplayLines + i]), codes[i]);
        QCOMPARE(DecodeDisplayLine(m, 0), QStringLiteral("ääöüüßA€?       "));
        QCOMPARE(DecodeDisplayLine(m, 1), QStringLiteral("0123456789abcdef"));
        QCOMPARE(DecodeDisplayLine(m, 2), QString(QChar(7)) + QString(15, QChar(0)));   // untouched
        QCOMPARE(int(m.ConfigImage[15]), 9);
        QCOMPARE(int(m.ConfigImage[271]), int(' '));
        QCOMPARE(int(m.ConfigImage[272]), 0);
        // Every code survives decoding and encoding, except Windows-1252's own
        // ä, ö, ü, Ä, Ö, Ü and ß, which the terminal has elsewhere.
        const QList<int> germanOwn{0xE4, 0xF6, 0xFC, 0xC4, 0xD6, 0xDC, 0xDF};
        for (int code = 0; code < 256; ++code)
            QCOMPARE(EncodeDisplayChar(DecodeDisplayChar(code)) == code, !germanOwn.contains(code));
    }

    // The nibble alphabet 0..9 : ; < = # ?, low nibble first; ">" is taken as "#".
    void rowData()
    {
        const QList<int> values{255, 224, 0, 0x21, 0xAB, 0xDC, 0xEF, 0xE0};
        Configuration m;
        m.ListData[0] = QStringLiteral("??0#0012;:<=?#0>");
        m.RowSlot[0] = 300;
        EncodeRowData(m, 0);
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(int(m.ConfigImage[300 + i]), values[i]);
        QCOMPARE(DecodeRowData(m, 300, 8), QStringLiteral("??0#0012;:<=?#0#"));
    }

    // Areas and counts before the layout; counts, first slots, empty records
    // and chosen slot values ("slot=value") after it.
    void layouts_data()
    {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QString>("areas");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<QList<int>>("firstSlots");
        QTest::addColumn<QString>("slotValues");
        const QString four = QStringLiteral("1:272..759 2:760..1294 3:1295..1783 4:1784..2047");
        const QString blockTrack2 = QStringLiteral("1:272..1294 3:1295..2047");
        QTest::newRow("block, both, 8/24") << Layout{true, true, true, 8, 24} << four << "121/44/121/21" << QList<int>{272, 760, 1295, 1784} << "755=0 756=255 759=255";
        QTest::newRow("block, both, 1/1") << Layout{true, true, true, 1, 1} << four << "486/533/487/262" << QList<int>{272, 760, 1295, 1784} << "273=224 1783=255";
        QTest::newRow("block, track 2, 7") << Layout{true, true, false, 7, 24} << blockTrack2 << "255/0/187/0" << QList<int>{272, 1295} << "1291=224 1292=255 1294=255";
        QTest::newRow("block, track 2, 4") << Layout{true, true, false, 4, 24} << blockTrack2 << "510/0/375/0" << QList<int>{272, 1295} << "";
        QTest::newRow("block, track 3, 6") << Layout{true, false, true, 8, 6} << "2:272..1294 4:1295..2047" << "0/340/0/250" << QList<int>{272, 1295} << "";
        QTest::newRow("both, 2/2") << Layout{false, true, true, 2, 2} << "1:272..759 2:760..2047" << "486/1286/0/0" << QList<int>{272, 760} << "";
        // The reader stops one slot short of the area end: one record is laid out but not shown.
        QTest::newRow("track 2, 1774 rows") << Layout{false, true, false, 2, 24} << "1:272..2047" << "1774/0/0/0" << QList<int>{272} << "2046=0 2047=255";
        QTest::newRow("track 3") << Layout{false, false, true, 8, 24} << "2:272..2047" << "0/147/0/0" << QList<int>{272} << "";
        // No track at all: track 2 is switched on and laid out.
        QTest::newRow("block, none") << Layout{true} << "" << "255/0/187/0" << QList<int>{272, 1295} << "2=1";
        QTest::newRow("none") << Layout{} << "" << "443/0/0/0" << QList<int>{272} << "2=1";
        // A record length of 0 (or less) for a track in use neither hangs nor divides by zero:
        // that track's lists stay empty and its areas free, the other track's stay usable.
        QTest::newRow("track 2 zero") << Layout{true, true, true, 0, 24} << four << "0/44/0/21" << QList<int>{760, 1784} << "272=255 759=255";
        QTest::newRow("track 3 zero") << Layout{true, true, true, 8, 0} << four << "121/0/121/0" << QList<int>{272, 1295} << "760=255 2047=255";
        QTest::newRow("both zero") << Layout{true, true, true, 0, 0} << four << "0/0/0/0" << QList<int>{} << "272=255 1500=255";
        QTest::newRow("negative") << Layout{false, true, true, -8, 24} << "1:272..759 2:760..2047" << "0/107/0/0" << QList<int>{760} << "272=255";
    }
    void layouts()
    {
        QFETCH(Layout, layout);
        QFETCH(QString, slotValues);
        Configuration m;
        Configure(m, layout);
        QFETCH(QString, areas);
        for (int list = 1; list <= 4; ++list)
            QCOMPARE(ListInUse(m, list), areas.contains(QStringLiteral("%1:").arg(list)));
        const QList<int> free{8, 10, 11, 12, 13, 14, 15};   // no one interprets them: they travel unchanged
        for (int slot : free)
            m.ConfigImage[slot] = qint16(slot * 17);
        QCOMPARE(Areas(m), areas);
        if (!areas.isEmpty()) {
            DecodeLists(m);   // as a file is opened, before any layout
            QTEST(Counts(m), "counts");
        }
        m.ListComment[5] = QStringLiteral("old");
        LayOutLists(m);
        QTEST(Counts(m), "counts");
        QCOMPARE(m.ListComment[5], ResetCommentText);
        QCOMPARE(int(m.ConfigImage[Slot::LastBlockSlot]), 255);   // every area ends in free space
        QList<int> firstSlots;
        for (int list = 1, row = 0; list <= 4; ++list) {
            const int count = m.ListCount(list);
            if (!count)
                continue;
            const TrackNo track = TrackOfList(list);
            const int length = RecordLength(m, track);
            const int digits = track == TrackNo::Track2 ? layout.digits2 : layout.digits3;
            firstSlots << m.RowSlot[row];
            QCOMPARE(int(m.RowSlot[row + count - 1]), firstSlots.last() + (count - 1) * length);
            QCOMPARE(DecodeDataLength(length, OddLength(m, track)), digits);
            // Every record starts as zero digits; an odd length ends in the filler.
            for (int k = 0; k < count; ++k, ++row)
                QCOMPARE(m.ListData[row], QString(digits, u'0').leftJustified(2 * length, u'#'));
        }
        QTEST(firstSlots, "firstSlots");
        for (int slot : free)
            QCOMPARE(int(m.ConfigImage[slot]), slot * 17);
        QCOMPARE(m.ConfigImage[Slot::LengthFlags] & 0xF0, 0xF0);
        for (const QString& pair : slotValues.split(u' ', Qt::SkipEmptyParts))
            QCOMPARE(int(m.ConfigImage[pair.section(u'=', 0, 0).toInt()]), pair.section(u'=', 1).toInt());
    }
};

QTEST_GUILESS_MAIN(ConfigImageTest)
#include "tst_configimage.moc"
