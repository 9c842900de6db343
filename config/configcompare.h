#pragma once
// Two configurations side by side: the cards of one matched to the cards of
// the other, the comments a new read takes over from the file it replaces,
// and what changes between them (what a write will change in the terminal,
// or what tells two files apart).
//
// Cards are matched by list number and card data; when the same data occurs
// several times in a list, the occurrences are paired in row order. Both the
// carry-over of comments and the comparison use this one matching.

#include "config/basicsettings.h"
#include "config/configfiles.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

using CommentTexts = std::array<QString, Configuration::RowEntries>;

// One list row as the editor shows it.
struct CardRow {
    int list = 0;      // 1..4
    int row = 0;       // row index across the lists
    int slot = 0;      // first slot of its record
    QString data;
    QString comment;
};

// A configuration block with the comments that go with it (all rows
// "----------" when it has none) and the rows the editor would show.
struct ConfigSnapshot {
    ConfigBlock block{};
    CommentTexts comments;
    bool hasComments = false;   // a usable comments file came with it
    FileStatus commentsStatus;  // why the comments file beside it was not used (unreadable, damaged)
    QList<CardRow> rows;

    // Derives the rows from the block (DecodeLists' rule).
    static ConfigSnapshot From(const ConfigBlock& block, const std::optional<CommentTexts>& comments);
};

// Reads a configuration file and its comments file (when it has one of at
// least 2000 lines, as the editor takes it). A damaged configuration is
// refused with the reader's message; a comments file that cannot be used
// leaves the snapshot without comments and says why in commentsStatus.
FileStatus LoadSnapshot(const QString& configPath, ConfigSnapshot& snapshot);
// The comments of an accompanying-texts file as the editor would load them;
// nothing when the file is missing, unreadable, damaged or holds no text.
std::optional<CommentTexts> ReadCommentTexts(const QString& path);

// A row that holds no card: all digits 0 (the odd-length filler aside), as a
// freshly laid-out list is.
bool IsEmptyRecord(const QString& data);

// For each row of `after`, the row of `before` it is matched with, or -1.
QList<int> MatchRows(const QList<CardRow>& before, const QList<CardRow>& after);

// The comments of a new read: every row that matches a row of the replaced
// configuration gets that row's comment, every other row "----------".
CommentTexts CarryOverComments(const ConfigSnapshot& replaced, const ConfigSnapshot& read);
// How many rows of `read` got a comment other than "----------".
int CountComments(const ConfigSnapshot& read, const CommentTexts& comments);

// What differs between two configurations.
struct SettingChange {
    BasicSetting key;
    QString name;         // the setting's name, as `vardelo-cli show` calls it
    int oldValue = 0;     // numbers and flags; the password is compared as text
    int newValue = 0;
    QString oldText;      // the password
    QString newText;
};
struct CardChange {
    int list = 0;
    QString data;
    QString comment;
};
struct CommentChange {
    int list = 0;
    QString data;
    QString oldComment;
    QString newComment;
};
struct DisplayChange {
    int line = 0;   // 0..15: display text line / 2 + 1, upper or lower
    QString oldText;
    QString newText;
};
struct ConfigDifference {
    QList<SettingChange> settings;
    QList<CardChange> added;      // in list and row order
    QList<CardChange> removed;
    QList<DisplayChange> display;
    QList<CommentChange> comments;   // the same card with another comment (files only)
    int otherSlots = 0;   // bytes that differ without a setting, card or display line showing it

    // Nothing the terminal holds differs (comments are not in the terminal).
    bool TerminalUnchanged() const;
    bool Empty() const { return TerminalUnchanged() && comments.isEmpty(); }
    int Added(int list) const;
    int Removed(int list) const;
    int DisplayTextsChanged() const;   // display texts 1..8 with a changed line
};

ConfigDifference CompareConfigurations(const ConfigSnapshot& before, const ConfigSnapshot& after);
