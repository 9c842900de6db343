#include "config/configcompare.h"

#include "config/configimage.h"

#include <QFileInfo>
#include <QHash>
#include <memory>

namespace {

std::unique_ptr<Vardelomod> ScratchOf(const ConfigBlock& block)
{
    auto m = std::make_unique<Vardelomod>();
    std::copy(block.begin(), block.end(), m->ConfigImage.begin());
    return m;
}

QString MatchKey(const CardRow& row)
{
    return QString::number(row.list) + u':' + row.data;
}

int RowListOf(const Vardelomod& m, int row)
{
    int first = 0;
    for (int list = 1; list <= 4; ++list) {
        first += m.ListCount(list);
        if (row < first)
            return list;
    }
    return 0;
}

struct SettingValues {
    std::array<int, 15> numbers{};
    QString password;
};

constexpr SettingKey AllSettings[] = {
    SettingKey::DoorOpenTime, SettingKey::BuzzerWithOpener, SettingKey::OpenerIntervalTone,
    SettingKey::MonitoringModule, SettingKey::Password, SettingKey::ChipCardSignal,
    SettingKey::OpenDoorOnFault, SettingKey::MagCardSignal, SettingKey::MagCardEvaluation,
    SettingKey::DataOnDisplay, SettingKey::BlockListsOn, SettingKey::EvaluateTrack2,
    SettingKey::EvaluateTrack3, SettingKey::Track2Digits, SettingKey::Track3Digits};

const char* SettingName(SettingKey key)
{
    switch (key) {
    case SettingKey::DoorOpenTime: return "DoorOpenTime";
    case SettingKey::BuzzerWithOpener: return "BuzzerWithOpener";
    case SettingKey::OpenerIntervalTone: return "OpenerIntervalTone";
    case SettingKey::MonitoringModule: return "MonitoringModule";
    case SettingKey::Password: return "Password";
    case SettingKey::ChipCardSignal: return "ChipCardSignal";
    case SettingKey::OpenDoorOnFault: return "OpenDoorOnFault";
    case SettingKey::MagCardSignal: return "MagCardSignal";
    case SettingKey::MagCardEvaluation: return "MagCardEvaluation";
    case SettingKey::DataOnDisplay: return "DataOnDisplay";
    case SettingKey::BlockListsOn: return "BlockListsOn";
    case SettingKey::EvaluateTrack2: return "EvaluateTrack2";
    case SettingKey::EvaluateTrack3: return "EvaluateTrack3";
    case SettingKey::Track2Digits: return "Track2Digits";
    case SettingKey::Track3Digits: return "Track3Digits";
    }
    return "";
}

SettingValues SettingsOf(const ConfigBlock& block)
{
    const auto m = ScratchOf(block);
    SettingValues v;
    const auto set = [&](SettingKey key, int value) { v.numbers[int(key)] = value; };
    const auto feature = [&](int mask) { return FlagSet(*m, Slot::FeatureFlags, mask) ? 1 : 0; };
    const auto track = [&](int mask) { return FlagSet(*m, Slot::TrackFlags, mask) ? 1 : 0; };
    set(SettingKey::DoorOpenTime, block[Slot::DoorOpenTime]);
    set(SettingKey::BuzzerWithOpener, feature(Feature::BuzzerWithOpener));
    set(SettingKey::OpenerIntervalTone, feature(Feature::OpenerIntervalTone));
    set(SettingKey::MonitoringModule, track(Track::MonitoringModule));
    set(SettingKey::ChipCardSignal, feature(Feature::ChipCardSignal));
    set(SettingKey::OpenDoorOnFault, feature(Feature::OpenDoorOnFault));
    set(SettingKey::MagCardSignal, feature(Feature::MagCardSignal));
    set(SettingKey::MagCardEvaluation, feature(Feature::MagCardEvaluation));
    set(SettingKey::DataOnDisplay, feature(Feature::DataOnDisplay));
    set(SettingKey::BlockListsOn, feature(Feature::BlockListsOn));
    set(SettingKey::EvaluateTrack2, track(Track::EvaluateTrack2));
    set(SettingKey::EvaluateTrack3, track(Track::EvaluateTrack3));
    set(SettingKey::Track2Digits, DecodeDataLength(RecordLength(*m, TrackNo::Track2), OddLength(*m, TrackNo::Track2)));
    set(SettingKey::Track3Digits, DecodeDataLength(RecordLength(*m, TrackNo::Track3), OddLength(*m, TrackNo::Track3)));
    v.password = DecodePassword(*m);
    return v;
}

// Bits of the settings slots that no setting shows.
int UnnamedBits(int slot)
{
    switch (slot) {
    case Slot::TrackFlags: return ~(Track::EvaluateTrack2 | Track::EvaluateTrack3 | Track::MonitoringModule);
    case Slot::LengthFlags: return ~(Length::Track2OddLength | Length::Track3OddLength);
    case 8: case 10: case 11: case 12: case 13: case 14: case 15: return ~0;
    default: return 0;
    }
}

} // namespace

ConfigSnapshot ConfigSnapshot::From(const ConfigBlock& block, const std::optional<CommentTexts>& comments)
{
    ConfigSnapshot s;
    s.block = block;
    s.hasComments = comments.has_value();
    if (comments)
        s.comments = *comments;
    else
        s.comments.fill(ResetCommentText);
    const auto m = ScratchOf(block);
    DecodeLists(*m);
    int total = 0;
    for (int list = 1; list <= 4; ++list)
        total += m->ListCount(list);
    total = qMin(total, Vardelomod::RowEntries);
    s.rows.reserve(total);
    for (int row = 0; row < total; ++row)
        s.rows.append({RowListOf(*m, row), row, m->RowSlot[row], m->ListData[row], s.comments[row]});
    return s;
}

namespace {

std::optional<CommentTexts> Texts(const CommentsFile& file)
{
    if (file.lines.isEmpty())
        return std::nullopt;
    CommentTexts texts;
    texts.fill(ResetCommentText);
    for (int k = 0; k < file.lines.size() && k < Vardelomod::RowEntries; ++k)
        texts[k] = file.lines[k];
    return texts;
}

} // namespace

std::optional<CommentTexts> ReadCommentTexts(const QString& path)
{
    return Texts(ReadCommentsAt(path));
}

FileStatus LoadSnapshot(const QString& configPath, ConfigSnapshot& snapshot)
{
    ConfigBlock block{};
    if (FileStatus status = ReadConfigBlock(configPath, block); !status)
        return status;
    const CommentsFile comments = ReadCommentsFile(configPath);
    snapshot = ConfigSnapshot::From(block, Texts(comments));
    snapshot.commentsStatus = comments.status;
    return FileStatus::Ok();
}

bool IsEmptyRecord(const QString& data)
{
    for (qsizetype i = 0; i < data.size(); ++i) {
        const QChar c = data.at(i);
        if (c != u'0' && !(c == u'#' && i == data.size() - 1))
            return false;
    }
    return true;
}

QList<int> MatchRows(const QList<CardRow>& before, const QList<CardRow>& after)
{
    // Each key's rows of `before` in row order, and how many are taken.
    QHash<QString, QList<int>> waiting;
    waiting.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
        waiting[MatchKey(before[i])].append(i);
    QHash<QString, int> taken;
    QList<int> match(after.size(), -1);
    for (int i = 0; i < after.size(); ++i) {
        const QString key = MatchKey(after[i]);
        const auto found = waiting.constFind(key);
        if (found == waiting.constEnd())
            continue;
        int& next = taken[key];
        if (next < found->size())
            match[i] = found->at(next++);
    }
    return match;
}

CommentTexts CarryOverComments(const ConfigSnapshot& replaced, const ConfigSnapshot& read)
{
    CommentTexts comments;
    comments.fill(ResetCommentText);
    const QList<int> match = MatchRows(replaced.rows, read.rows);
    for (int i = 0; i < read.rows.size(); ++i)
        if (match[i] >= 0)
            comments[read.rows[i].row] = replaced.rows[match[i]].comment;
    return comments;
}

int CountComments(const ConfigSnapshot& read, const CommentTexts& comments)
{
    int count = 0;
    for (const CardRow& row : read.rows)
        count += comments[row.row] != ResetCommentText ? 1 : 0;
    return count;
}

bool ConfigDifference::TerminalUnchanged() const
{
    return settings.isEmpty() && added.isEmpty() && removed.isEmpty() && display.isEmpty() && otherSlots == 0;
}

int ConfigDifference::Added(int list) const
{
    return int(std::count_if(added.begin(), added.end(), [list](const CardChange& c) { return c.list == list; }));
}

int ConfigDifference::Removed(int list) const
{
    return int(std::count_if(removed.begin(), removed.end(), [list](const CardChange& c) { return c.list == list; }));
}

int ConfigDifference::DisplayTextsChanged() const
{
    QList<int> texts;
    for (const DisplayChange& change : display)
        if (!texts.contains(change.line / 2))
            texts.append(change.line / 2);
    return int(texts.size());
}

ConfigDifference CompareConfigurations(const ConfigSnapshot& before, const ConfigSnapshot& after)
{
    ConfigDifference d;
    const SettingValues oldSettings = SettingsOf(before.block);
    const SettingValues newSettings = SettingsOf(after.block);
    for (SettingKey key : AllSettings) {
        SettingChange change{key, QString::fromLatin1(SettingName(key))};
        if (key == SettingKey::Password) {
            if (oldSettings.password == newSettings.password)
                continue;
            change.oldText = oldSettings.password;
            change.newText = newSettings.password;
        } else {
            change.oldValue = oldSettings.numbers[int(key)];
            change.newValue = newSettings.numbers[int(key)];
            if (change.oldValue == change.newValue)
                continue;
        }
        d.settings.append(change);
    }

    const auto oldImage = ScratchOf(before.block);
    const auto newImage = ScratchOf(after.block);
    std::array<bool, Vardelomod::BlockSlots> shown{};
    for (int line = 0; line < 16; ++line) {
        const QString oldText = DecodeDisplayLine(*oldImage, line);
        const QString newText = DecodeDisplayLine(*newImage, line);
        if (oldText == newText)
            continue;
        d.display.append({line, oldText, newText});
        for (int s = Slot::DisplayLines + 16 * line; s < Slot::DisplayLines + 16 * (line + 1); ++s)
            shown[s] = true;
    }

    const auto markRecord = [&](const CardRow& row, const Vardelomod& image) {
        const int length = RecordLength(image, TrackOfList(row.list));
        for (int s = row.slot; s < row.slot + length && s < Vardelomod::BlockSlots; ++s)
            shown[s] = true;
    };
    const QList<int> match = MatchRows(before.rows, after.rows);
    QList<bool> kept(before.rows.size(), false);
    for (int i = 0; i < after.rows.size(); ++i) {
        const CardRow& row = after.rows[i];
        if (match[i] >= 0) {
            kept[match[i]] = true;
            const CardRow& was = before.rows[match[i]];
            if (!IsEmptyRecord(row.data) && was.comment != row.comment)
                d.comments.append({row.list, row.data, was.comment, row.comment});
            continue;
        }
        markRecord(row, *newImage);
        if (!IsEmptyRecord(row.data))
            d.added.append({row.list, row.data, row.comment});
    }
    for (int i = 0; i < before.rows.size(); ++i) {
        if (kept[i])
            continue;
        const CardRow& row = before.rows[i];
        markRecord(row, *oldImage);
        if (!IsEmptyRecord(row.data))
            d.removed.append({row.list, row.data, row.comment});
    }

    // What no setting, display line or card shows: uninterpreted bytes and
    // bits, list bytes outside the shown records, cards that only moved.
    for (int s = 0; s < Vardelomod::BlockSlots; ++s) {
        const int oldValue = before.block[s];
        const int newValue = after.block[s];
        if (oldValue == newValue || shown[s])
            continue;
        if (s < Slot::DisplayLines) {
            const bool settingSlot = s <= Slot::PasswordBcd + 2 || s == Slot::LengthFlags;
            if (settingSlot && ((oldValue ^ newValue) & UnnamedBits(s)) == 0)
                continue;
        }
        ++d.otherSlots;
    }
    return d;
}
