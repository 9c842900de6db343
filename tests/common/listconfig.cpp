#include "common/listconfig.h"

#include "config/cardlists.h"
#include "config/configimage.h"

#include <QStringList>
#include <algorithm>

Configuration ConfigurationWithLists(const QString& settings, const QString& cards)
{
    Configuration m;
    int features = Feature::MagCardSignal | Feature::MagCardEvaluation;
    int tracks = 0;
    for (const QString& word : settings.split(u' ', Qt::SkipEmptyParts)) {
        if (word == u"block") {
            features |= Feature::BlockListsOn;
            continue;
        }
        const TrackNo track = word.startsWith(u"t2") ? TrackNo::Track2 : TrackNo::Track3;
        tracks |= track == TrackNo::Track2 ? Track::EvaluateTrack2 : Track::EvaluateTrack3;
        EncodeDataLength(m, track, word.mid(3).toInt());
    }
    m.ConfigImage[Slot::DoorOpenTime] = 7;
    m.ConfigImage[Slot::FeatureFlags] = qint16(features);
    m.ConfigImage[Slot::TrackFlags] = qint16(tracks);
    const auto password = PackPasswordDigits(QStringLiteral("123456"));
    for (int i = 0; i < 3; ++i)
        m.ConfigImage[Slot::PasswordBcd + i] = (*password)[i];
    for (int line = 0; line < 16; ++line)
        EncodeDisplayLine(m, line, QStringLiteral("Zeile %1").arg(line));
    LayOutLists(m);
    for (const QString& list : cards.split(u'|', Qt::SkipEmptyParts)) {
        const int number = list.section(u':', 0, 0).toInt();
        const QList<ListRows> shown = ShownListRows(m);
        const auto rows = std::find_if(shown.begin(), shown.end(), [&](const ListRows& r) { return r.list == number; });
        int row = rows->firstRow;
        for (const QString& card : list.section(u':', 1).split(u',')) {
            m.ListData[row] = CardRecord(m, number, card.section(u'=', 0, 0)).value();
            if (card.contains(u'='))
                m.ListComment[row] = card.section(u'=', 1);
            EncodeRowData(m, row++);
        }
    }
    DecodeLists(m);
    return m;
}
