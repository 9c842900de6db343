// vardelo-cli show FILE.QLV: the configuration as the editor would open it,
// as one JSON object. Nothing is written, not even the empty comments file
// that the editor's opening creates.
#include "cli/commands.h"

#include "app/catalogue.h"
#include "app/filetexts.h"
#include "config/configfiles.h"
#include "config/configimage.h"

namespace {

QString Field(const char* name, int value)
{
    return JsonString(QLatin1String(name)) + QStringLiteral(": ") + QString::number(value);
}

QString Settings(const Vardelomod& m)
{
    const auto feature = [&](int mask) { return FlagSet(m, Slot::FeatureFlags, mask) ? 1 : 0; };
    const auto track = [&](int mask) { return FlagSet(m, Slot::TrackFlags, mask) ? 1 : 0; };
    const QStringList fields{
        Field("DoorOpenTime", m.ConfigImage[Slot::DoorOpenTime]),
        Field("BuzzerWithOpener", feature(Feature::BuzzerWithOpener)),
        Field("OpenerIntervalTone", feature(Feature::OpenerIntervalTone)),
        Field("MagCardSignal", feature(Feature::MagCardSignal)),
        Field("ChipCardSignal", feature(Feature::ChipCardSignal)),
        Field("MagCardEvaluation", feature(Feature::MagCardEvaluation)),
        Field("DataOnDisplay", feature(Feature::DataOnDisplay)),
        Field("BlockListsOn", feature(Feature::BlockListsOn)),
        Field("OpenDoorOnFault", feature(Feature::OpenDoorOnFault)),
        Field("EvaluateTrack2", track(Track::EvaluateTrack2)),
        Field("EvaluateTrack3", track(Track::EvaluateTrack3)),
        Field("MonitoringModule", track(Track::MonitoringModule)),
        Field("Track2DataBytes", RecordLength(m, TrackNo::Track2)),
        Field("Track3DataBytes", RecordLength(m, TrackNo::Track3)),
        Field("Track2OddLength", OddLength(m, TrackNo::Track2) ? 1 : 0),
        Field("Track3OddLength", OddLength(m, TrackNo::Track3) ? 1 : 0),
        Field("Track2Digits", DecodeDataLength(RecordLength(m, TrackNo::Track2), OddLength(m, TrackNo::Track2))),
        Field("Track3Digits", DecodeDataLength(RecordLength(m, TrackNo::Track3), OddLength(m, TrackNo::Track3))),
        QStringLiteral("\"Password\": ") + JsonString(DecodePassword(m)),
    };
    return u'{' + fields.join(QStringLiteral(", ")) + u'}';
}

QString Display(const Vardelomod& m)
{
    QStringList lines;
    for (int line = 0; line < 16; ++line)
        lines << JsonString(DecodeDisplayLine(m, line));
    return u'[' + lines.join(QStringLiteral(", ")) + u']';
}

QString Lists(const Vardelomod& m)
{
    QStringList lists;
    int row = 0;
    for (int list = 1; list <= 4; ++list) {
        const int count = m.ListCount(list);
        QStringList rows;
        for (int k = 0; k < count; ++k, ++row)
            rows << QStringLiteral("{\"slot\": %1, \"data\": %2, \"comment\": %3}")
                        .arg(m.RowSlot[row])
                        .arg(JsonString(m.ListData[row]), JsonString(m.ListComment[row]));
        const QString rowsText = rows.isEmpty() ? QStringLiteral("[]")
                                                : QStringLiteral("[\n    ") + rows.join(QStringLiteral(",\n    ")) + u']';
        lists << QStringLiteral("{\"list\": %1, \"count\": %2, \"rows\": %3}").arg(list).arg(count).arg(rowsText);
    }
    return QStringLiteral("[\n  ") + lists.join(QStringLiteral(",\n  ")) + u']';
}

QString SlotValues(const Vardelomod& m)
{
    QStringList values;
    for (int slot = 0; slot < Vardelomod::BlockSlots; ++slot)
        values << QString::number(m.ConfigImage[slot]);
    return u'[' + values.join(QStringLiteral(", ")) + u']';
}

} // namespace

int RunShow(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "usage: vardelo-cli show FILE.QLV\n";
        return 2;
    }
    Vardelomod m;
    const QString path = args.first();
    if (const FileStatus status = ReadConfigurationFile(m, path); !status) {
        err << "vardelo-cli show: " << FileStatusText(status, 1000) << '\n';
        return 1;
    }
    if (const FileStatus comments = LoadComments(m, path, false); !comments) {
        err << "vardelo-cli show: " << CatalogueText(FileText::CommentsNotRead, 1000) << ' ' << FileStatusText(comments, 1000) << '\n';
        return 1;
    }
    DecodeLists(m);
    out << "{\"settings\": " << Settings(m) << ",\n"
        << " \"display\": " << Display(m) << ",\n"
        << " \"lists\": " << Lists(m) << ",\n"
        << " \"slots\": " << SlotValues(m) << "}\n";
    return 0;
}
