// vardelo-cli show FILE.QLV: the configuration as the editor would open it,
// as one JSON object. Nothing is written, not even the empty comments file
// that the editor's opening creates.
#include "cli/commands.h"

#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonObject Settings(const Vardelomod& m)
{
    const auto feature = [&](int mask) { return FlagSet(m, Slot::FeatureFlags, mask) ? 1 : 0; };
    const auto track = [&](int mask) { return FlagSet(m, Slot::TrackFlags, mask) ? 1 : 0; };
    const auto digits = [&](TrackNo t) { return DecodeDataLength(RecordLength(m, t), OddLength(m, t)); };
    return {
        {"DoorOpenTime", m.ConfigImage[Slot::DoorOpenTime]},
        {"BuzzerWithOpener", feature(Feature::BuzzerWithOpener)},
        {"OpenerIntervalTone", feature(Feature::OpenerIntervalTone)},
        {"MagCardSignal", feature(Feature::MagCardSignal)},
        {"ChipCardSignal", feature(Feature::ChipCardSignal)},
        {"MagCardEvaluation", feature(Feature::MagCardEvaluation)},
        {"DataOnDisplay", feature(Feature::DataOnDisplay)},
        {"BlockListsOn", feature(Feature::BlockListsOn)},
        {"OpenDoorOnFault", feature(Feature::OpenDoorOnFault)},
        {"EvaluateTrack2", track(Track::EvaluateTrack2)},
        {"EvaluateTrack3", track(Track::EvaluateTrack3)},
        {"MonitoringModule", track(Track::MonitoringModule)},
        {"Track2DataBytes", RecordLength(m, TrackNo::Track2)},
        {"Track3DataBytes", RecordLength(m, TrackNo::Track3)},
        {"Track2OddLength", OddLength(m, TrackNo::Track2) ? 1 : 0},
        {"Track3OddLength", OddLength(m, TrackNo::Track3) ? 1 : 0},
        {"Track2Digits", digits(TrackNo::Track2)},
        {"Track3Digits", digits(TrackNo::Track3)},
        {"Password", DecodePassword(m)},
    };
}

QJsonArray Display(const Vardelomod& m)
{
    QJsonArray lines;
    for (int line = 0; line < 16; ++line)
        lines.append(DecodeDisplayLine(m, line));
    return lines;
}

QJsonArray Lists(const Vardelomod& m)
{
    QJsonArray lists;
    int row = 0;
    for (int list = 1; list <= 4; ++list) {
        const int count = m.ListCount(list);
        QJsonArray rows;
        for (int k = 0; k < count; ++k, ++row)
            rows.append(QJsonObject{{"slot", m.RowSlot[row]}, {"data", m.ListData[row]}, {"comment", m.ListComment[row]}});
        lists.append(QJsonObject{{"list", list}, {"count", count}, {"rows", rows}});
    }
    return lists;
}

QJsonArray SlotValues(const Vardelomod& m)
{
    QJsonArray values;
    for (int slot = 0; slot < Vardelomod::BlockSlots; ++slot)
        values.append(m.ConfigImage[slot]);
    return values;
}

} // namespace

int RunShow(CommandCall& call)
{
    Vardelomod m;
    const QString path = call.Argument(0);
    if (const FileStatus status = ReadConfigurationFile(m, path); !status)
        return call.Failure(FileStatusText(status, 1000));
    // Comments that cannot be used are named, and the configuration is
    // shown without them, as the editor opens it.
    if (const FileStatus comments = LoadComments(m, path, false); !comments)
        call.Warning(CatalogueText(FileText::CommentsNotRead, 1000) + u' ' + FileStatusText(comments, 1000));
    DecodeLists(m);
    call.PrintJson(QJsonObject{{"settings", Settings(m)}, {"display", Display(m)}, {"lists", Lists(m)}, {"slots", SlotValues(m)}});
    return ExitOk;
}
