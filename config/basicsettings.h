#pragma once
// The basic settings of slots 0..9, in one table: the name the command line
// and the comparison call each one by, where the image keeps it, the texts
// that caption it in the editor and label it in the printed report, and the
// values it takes. The settings panel, the printed report, `vardelo-cli show`
// and the comparison of two configurations all go through this table, in
// its order (the order of the printed report).

#include "config/configuration.h"

#include <QString>
#include <array>
#include <optional>

enum class BasicSetting {
    DoorOpenTime, BuzzerWithOpener, OpenerIntervalTone, MonitoringModule, Password, ChipCardSignal,
    OpenDoorOnFault, MagCardSignal, MagCardEvaluation, DataOnDisplay, BlockListsOn, EvaluateTrack2,
    EvaluateTrack3, Track2Digits, Track3Digits
};

// How a setting is kept in the image and what values it takes.
enum class SettingValues {
    Seconds,    // the whole slot, lowest..highest
    YesNo,      // the bit `mask` of the slot: 1 yes, 0 no
    Digits,     // a data length of lowest..highest digits: the record length in the
                // slot, and the odd-length bit `mask` of LengthFlags (slot 9)
    Password,   // six digits in three slots from the slot on
};

struct BasicSettingEntry {
    BasicSetting setting;
    const char* name;        // as `vardelo-cli show` and the comparison call it
    SettingValues values;
    int slot;
    int mask;
    int captionText;         // the caption of its frame in the settings panel
    int reportText;          // its label in the printed report and the change details
    int lowest;              // the values it takes (an operator's entry of seconds
    int highest;             // or digits out of them is not taken)
    // It means something only while this yes/no setting is yes (the ones
    // that depend on the magnetic card, the data length of a track).
    std::optional<BasicSetting> dependsOn = {};
    // A data length is kept as two raw values, which `vardelo-cli show`
    // names too: the record length (the slot) and the odd-length bit.
    const char* recordLengthName = nullptr;
    const char* oddLengthName = nullptr;
};

const std::array<BasicSettingEntry, 15>& BasicSettings();
const BasicSettingEntry& SettingEntry(BasicSetting setting);

// The setting's value as the image holds it: a yes/no setting 1 or 0, the
// seconds or digits as a number; the password as its six characters (its
// number is 0).
int SettingNumber(const Configuration& m, const BasicSettingEntry& entry);
QString SettingText(const Configuration& m, const BasicSettingEntry& entry);
bool SettingOn(const Configuration& m, BasicSetting setting);
// Whether every yes/no setting it depends on, directly or not, is yes.
bool SettingApplies(const Configuration& m, BasicSetting setting);
