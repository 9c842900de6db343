#pragma once
// The configuration file (.QLV), the accompanying-texts file (.BGT) and the
// settings file. Readers work on a scratch copy and take it over only when the
// file was read completely; writers write a temporary file beside the target
// and rename it over the target only when it is complete.

#include "config/paircommit.h"
#include "config/programstate.h"
#include "config/configuration.h"
#include "platform/fileaccess.h"

#include <QString>
#include <QStringList>
#include <array>

using ConfigBlock = std::array<qint16, Configuration::BlockSlots>;

// Configuration file: 2048 numbers. A short or damaged file, or a number
// outside -32768..32767, is refused and leaves the target untouched.
FileStatus ReadConfigBlock(const QString& path, ConfigBlock& block);
FileStatus ParseConfigBlock(const QByteArray& content, ConfigBlock& block);
QByteArray FormatConfigBlock(const ConfigBlock& block);   // " 0 \r\n" lines, 2048 of them
FileStatus ReadConfigurationFile(Configuration& m, const QString& path);    // the image on success only
FileStatus WriteConfigurationFile(const Configuration& m, const QString& path);
ConfigBlock ImageBlock(const Configuration& m);
// A configuration file name is accepted when it ends in ".QLV" or ".qlv",
// those two spellings only.
bool IsConfigFileName(const QString& path);

// Reads a whole regular file (or a link to one) of at most 16 MB, far more
// than any file of ours holds.
FileStatus ReadWholeFile(const QString& path, QByteArray& content);
// Writes content to path through a temporary file beside it, synced, then
// renamed over the target. A failure leaves the previous file intact. A target
// that is not a regular file (a folder, a FIFO, a device, a link to nothing) is
// refused; a link to a regular file is followed and its target replaced.
FileStatus WriteFileAtomically(const QString& path, const QByteArray& content);

// Accompanying-texts file.
inline const QString ResetCommentText = QStringLiteral("----------");
// The configuration name with its last four characters replaced by ".BGT"
// ("A/VARDELO.QLV" -> "A/VARDELO.BGT", "A/ABCD" -> "A/.BGT"). A file name of
// fewer than four characters keeps all of them and gets ".BGT" appended
// ("A/AB" -> "A/AB.BGT"), so the cut never reaches into the folder part.
QString CommentFileNameFor(const QString& configName);
void ResetComments(Configuration& m);
// Reads the lines of an accompanying-texts file (CR LF, CR or LF endings),
// at most 2001 of them.
QStringList ParseCommentLines(const QByteArray& content);
// A comments file is damaged when reading it would lose texts without a word:
// text beyond line 2001, or fewer than 2000 lines of which one holds a text
// (a short file is disregarded as a whole). An empty file, the one the
// editor's opening creates, and a short one of blank or "----------" lines
// are no damage; every byte but the line ends is a character of a text.
FileStatus CheckCommentLines(const QByteArray& content, const QString& path);
// The comments of a configuration as read from its comments file (or from
// where a commit of the pair in progress has it, see CommentFileToRead):
// the lines when the file has at least 2000, none when it is missing or
// holds no text. A file that cannot be read (a folder, a FIFO, too large ...)
// or is damaged gives no lines and its refusal, naming the comments file.
struct CommentsFile {
    FileStatus status;
    QStringList lines;   // at most 2001
};
CommentsFile ReadCommentsFile(const QString& configName);
// The same for a comments file named directly.
CommentsFile ReadCommentsAt(const QString& commentsPath);
// createMissing: the editor's opening creates an empty file when none exists;
// the inspection command does not. A file that is missing or holds no text
// gives the reset texts; one that cannot be read or is damaged too, and its
// refusal is returned.
FileStatus LoadComments(Configuration& m, const QString& configName, bool createMissing = true);
// Line ends inside a text are written as blanks, so every text stays on its
// own line and the later rows keep their numbers.
FileStatus SaveComments(const Configuration& m, const QString& path);
// The configuration and its comments file, committed as one pair (see
// config/paircommit.h): what the editor's save and save as and an import
// write.
PairCommit SaveConfigurationPair(const Configuration& m, const QString& configName);
// The content SaveComments writes: one CR LF line per entry.
QByteArray FormatComments(const std::array<QString, Configuration::RowEntries>& texts);

// Settings file: line 1 the port number, line 2 the language offset.
QString DefaultSettingsPath();    // in the user's configuration folder
// The folder that holds the settings file, the background picture and the
// port map.
QString ConfigurationFolder(const QString& settingsPath);
int LeadingNumber(const QString& text);   // blanks skipped, digits up to the first other character
// Reads the settings into PortLine, ChosenPort, LanguageText and LanguageOffset;
// rewrites the file with "1" and "0" when it is missing or short. The folder
// is created when it does not exist. Only the beginning of a huge file is
// read. A file that is not a regular file is neither read nor replaced: the
// defaults are taken and the refusal returned.
FileStatus ReadSettings(ProgramState& program, const QString& path);
// The parsing half of ReadSettings: false (and nothing changed) when the
// content has fewer than two lines. A port outside 1..8 gives ChosenPort 0,
// which no port opens, so the start-up fallback takes over.
bool ParseSettings(ProgramState& program, const QByteArray& content);
// Writes " <ChosenPort>" and LanguageText.
FileStatus WriteSettings(const ProgramState& program, const QString& path);
// The port map in the configuration folder of the settings file.
QString PortMapPathFor(const QString& settingsPath);
// Names target for com N in the port map file (an empty target removes com
// N's line), every other line as it was; written beside it and renamed over
// it. A map that is no regular file or too large is left as it is and its
// refusal returned.
FileStatus StorePortMapEntry(const QString& path, int port, const QString& target);
// Languages other than 0, 1000, 2000 and 3000 are taken as German.
qint16 LanguageOffsetFromText(const QString& text);
