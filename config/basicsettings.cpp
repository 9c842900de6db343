#include "config/basicsettings.h"

#include "config/configimage.h"

namespace {

using S = BasicSetting;
using V = SettingValues;

// In the order of the printed report. Name, values, slot, mask, caption, report label, lowest, highest,
// the setting it depends on, and a data length's raw parts.
constexpr std::array<BasicSettingEntry, 15> Table{{
    {S::DoorOpenTime, "DoorOpenTime", V::Seconds, Slot::DoorOpenTime, 0, 184, 219, 1, 255},
    {S::BuzzerWithOpener, "BuzzerWithOpener", V::YesNo, Slot::FeatureFlags, Feature::BuzzerWithOpener, 186, 223, 0, 1},
    {S::OpenerIntervalTone, "OpenerIntervalTone", V::YesNo, Slot::FeatureFlags, Feature::OpenerIntervalTone, 189, 224,
     0, 1},
    {S::MonitoringModule, "MonitoringModule", V::YesNo, Slot::TrackFlags, Track::MonitoringModule, 190, 225, 0, 1},
    {S::Password, "Password", V::Password, Slot::PasswordBcd, 0, 191, 226, 0, 0},
    {S::ChipCardSignal, "ChipCardSignal", V::YesNo, Slot::FeatureFlags, Feature::ChipCardSignal, 192, 227, 0, 1},
    {S::OpenDoorOnFault, "OpenDoorOnFault", V::YesNo, Slot::FeatureFlags, Feature::OpenDoorOnFault, 197, 228, 0, 1},
    {S::MagCardSignal, "MagCardSignal", V::YesNo, Slot::FeatureFlags, Feature::MagCardSignal, 193, 229, 0, 1},
    {S::MagCardEvaluation, "MagCardEvaluation", V::YesNo, Slot::FeatureFlags, Feature::MagCardEvaluation, 198, 230, 0, 1,
     S::MagCardSignal},
    {S::DataOnDisplay, "DataOnDisplay", V::YesNo, Slot::FeatureFlags, Feature::DataOnDisplay, 194, 231, 0, 1,
     S::MagCardEvaluation},
    {S::BlockListsOn, "BlockListsOn", V::YesNo, Slot::FeatureFlags, Feature::BlockListsOn, 199, 232, 0, 1,
     S::MagCardEvaluation},
    {S::EvaluateTrack2, "EvaluateTrack2", V::YesNo, Slot::TrackFlags, Track::EvaluateTrack2, 195, 233, 0, 1,
     S::MagCardEvaluation},
    {S::EvaluateTrack3, "EvaluateTrack3", V::YesNo, Slot::TrackFlags, Track::EvaluateTrack3, 196, 234, 0, 1,
     S::MagCardEvaluation},
    {S::Track2Digits, "Track2Digits", V::Digits, Slot::Track2DataBytes, Length::Track2OddLength, 200, 235, 1, 8,
     S::EvaluateTrack2, "Track2DataBytes", "Track2OddLength"},
    {S::Track3Digits, "Track3Digits", V::Digits, Slot::Track3DataBytes, Length::Track3OddLength, 201, 236, 1, 24,
     S::EvaluateTrack3, "Track3DataBytes", "Track3OddLength"},
}};

constexpr bool InSettingOrder()
{
    for (size_t i = 0; i < Table.size(); ++i)
        if (Table[i].setting != BasicSetting(i))
            return false;
    return true;
}
static_assert(InSettingOrder(), "the table is looked up by BasicSetting");

} // namespace

const std::array<BasicSettingEntry, 15>& BasicSettings()
{
    return Table;
}

const BasicSettingEntry& SettingEntry(BasicSetting setting)
{
    return Table[size_t(setting)];
}

int SettingNumber(const Configuration& m, const BasicSettingEntry& entry)
{
    switch (entry.values) {
    case SettingValues::Seconds: return m.ConfigImage[entry.slot];
    case SettingValues::YesNo: return FlagSet(m, entry.slot, entry.mask) ? 1 : 0;
    case SettingValues::Digits:
        return DecodeDataLength(m.ConfigImage[entry.slot], FlagSet(m, Slot::LengthFlags, entry.mask));
    case SettingValues::Password: break;
    }
    return 0;
}

QString SettingText(const Configuration& m, const BasicSettingEntry& entry)
{
    if (entry.values == SettingValues::Password)
        return DecodePassword(m);
    return QString::number(SettingNumber(m, entry));
}

bool SettingOn(const Configuration& m, BasicSetting setting)
{
    return SettingNumber(m, SettingEntry(setting)) != 0;
}

bool SettingApplies(const Configuration& m, BasicSetting setting)
{
    for (auto on = SettingEntry(setting).dependsOn; on; on = SettingEntry(*on).dependsOn)
        if (!SettingOn(m, *on))
            return false;
    return true;
}
