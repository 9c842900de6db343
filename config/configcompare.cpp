#include "config/configcompare.h"

#include "config/configimage.h"

#include <QFileInfo>
#include <QHash>
#include <memory>

namespace {

std::unique_ptr<Configuration> ScratchOf(const ConfigBlock& block)
{
    auto m = std::make_unique<Configuration>();
    std::copy(block.begin(), block.end(), m->ConfigImage.begin());
    return m;
}

QString MatchKey(const CardRow& row)
{
    return QString::number(row.list) + u':' + row.data;
}

int RowListOf(const Configuration& m, int row)
{
    int first = 0;
    for (int list = 1; list <= 4; ++list) {
        first += m.ListCount(list);
        if (row < first)
            return list;
    }
    return 0;
}

// The bits of a flags slot that a setting names: its yes/no settings, or
// the odd-length bits of the data lengths.
int NamedBits(int slot)
{
    int bits = 0;
    for (const BasicSettingEntry& setting : BasicSettings()) {
        const bool yesNo = setting.values == SettingValues::YesNo && setting.slot == slot;
        const bool oddLength = setting.values == SettingValues::Digits && slot == Slot::LengthFlags;
        bits |= yesNo || oddLength ? setting.mask : 0;
    }
    return bits;
}

// Bits of the settings slots that no setting shows.
int UnnamedBits(int slot)
{
    switch (slot) {
    case Slot::TrackFlags:
    case Slot::LengthFlags: return ~NamedBits(slot);
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
    total = qMin(total, Configuration::RowEntries);
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
    for (int k = 0; k < file.lines.size() && k < Configuration::RowEntries; ++k)
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
    const auto oldImage = ScratchOf(before.block);
    const auto newImage = ScratchOf(after.block);
    for (const BasicSettingEntry& setting : BasicSettings()) {
        SettingChange change{setting.setting, QString::fromLatin1(setting.name)};
        if (setting.values == SettingValues::Password) {
            change.oldText = SettingText(*oldImage, setting);
            change.newText = SettingText(*newImage, setting);
            if (change.oldText == change.newText)
                continue;
        } else {
            change.oldValue = SettingNumber(*oldImage, setting);
            change.newValue = SettingNumber(*newImage, setting);
            if (change.oldValue == change.newValue)
                continue;
        }
        d.settings.append(change);
    }

    std::array<bool, Configuration::BlockSlots> shown{};
    for (int line = 0; line < 16; ++line) {
        const QString oldText = DecodeDisplayLine(*oldImage, line);
        const QString newText = DecodeDisplayLine(*newImage, line);
        if (oldText == newText)
            continue;
        d.display.append({line, oldText, newText});
        for (int s = Slot::DisplayLines + 16 * line; s < Slot::DisplayLines + 16 * (line + 1); ++s)
            shown[s] = true;
    }

    const auto markRecord = [&](const CardRow& row, const Configuration& image) {
        const int length = RecordLength(image, TrackOfList(row.list));
        for (int s = row.slot; s < row.slot + length && s < Configuration::BlockSlots; ++s)
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
    for (int s = 0; s < Configuration::BlockSlots; ++s) {
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
