// vardelo-cli show FILE.QLV: the configuration as the editor would open it,
// as one JSON object. Nothing is written, not even the empty comments file
// that the editor's opening creates.
#include "cli/commands.h"

#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "config/basicsettings.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

// Every basic setting by its name, a data length also by its two raw parts.
QJsonObject Settings(const Configuration& m)
{
    QJsonObject settings;
    for (const BasicSettingEntry& entry : BasicSettings()) {
        if (entry.values == SettingValues::Password) {
            settings.insert(QLatin1String(entry.name), SettingText(m, entry));
            continue;
        }
        settings.insert(QLatin1String(entry.name), SettingNumber(m, entry));
        if (entry.values == SettingValues::Digits) {
            settings.insert(QLatin1String(entry.recordLengthName), m.ConfigImage[entry.slot]);
            settings.insert(QLatin1String(entry.oddLengthName), FlagSet(m, Slot::LengthFlags, entry.mask) ? 1 : 0);
        }
    }
    return settings;
}

QJsonArray Display(const Configuration& m)
{
    QJsonArray lines;
    for (int line = 0; line < 16; ++line)
        lines.append(DecodeDisplayLine(m, line));
    return lines;
}

QJsonArray Lists(const Configuration& m)
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

QJsonArray SlotValues(const Configuration& m)
{
    QJsonArray values;
    for (int slot = 0; slot < Configuration::BlockSlots; ++slot)
        values.append(m.ConfigImage[slot]);
    return values;
}

} // namespace

int RunShow(CommandCall& call)
{
    Configuration m;
    const QString path = call.Argument(0);
    if (const FileStatus status = ReadConfigurationFile(m, path); !status)
        return call.Failure(FileStatusText(status, 1000));
    // Comments that cannot be used are named, and the configuration is
    // shown without them, as the editor opens it.
    if (const FileStatus comments = LoadComments(m, path, false); !comments)
        call.Warning(CatalogueText(Text::CommentsNotRead, 1000) + u' ' + FileStatusText(comments, 1000));
    DecodeLists(m);
    call.PrintJson(QJsonObject{{"settings", Settings(m)}, {"display", Display(m)}, {"lists", Lists(m)}, {"slots", SlotValues(m)}});
    return ExitOk;
}
