#pragma once
// The configuration file (.QLV), the accompanying-texts file (.BGT) and the
// settings file. Readers work on a scratch copy and take it over only when the
// file was read completely; writers write a temporary file beside the target
// and rename it over the target only when it is complete.

#include "config/vardelomod.h"

#include <QString>
#include <array>

struct FileStatus {
    bool ok = true;
    bool diskFull = false;   // the write failed for lack of space
    QString message;         // what went wrong, naming the file (English; for logs and the CLI)
    explicit operator bool() const { return ok; }
    static FileStatus Ok() { return {}; }
    static FileStatus Failed(QString why, bool full = false) { return {false, full, std::move(why)}; }
};

using ConfigBlock = std::array<qint16, Vardelomod::BlockSlots>;

// Configuration file: 2048 numbers. A short or damaged file, or a number
// outside -32768..32767, is refused and leaves the target untouched.
FileStatus ReadConfigBlock(const QString& path, ConfigBlock& block);
FileStatus ParseConfigBlock(const QByteArray& content, ConfigBlock& block);
QByteArray FormatConfigBlock(const ConfigBlock& block);   // " 0 \r\n" lines, 2048 of them
FileStatus ReadConfigurationFile(Vardelomod& m, const QString& path);    // slots 0..2047 on success only
FileStatus WriteConfigurationFile(const Vardelomod& m, const QString& path);
ConfigBlock ImageBlock(const Vardelomod& m);

// Writes content to path through a temporary file beside it, synced, then
// renamed over the target. A failure leaves the previous file intact.
FileStatus WriteFileAtomically(const QString& path, const QByteArray& content);

// Accompanying-texts file.
inline const QString ResetCommentText = QStringLiteral("----------");
QString CommentFileNameFor(const QString& configName);
void ResetComments(Vardelomod& m);
// Reads the lines of an accompanying-texts file (CR LF, CR or LF endings),
// at most 2001 of them.
QStringList ParseCommentLines(const QByteArray& content);
// createMissing: the editor's opening creates an empty file when none exists;
// the inspection command does not.
void LoadComments(Vardelomod& m, const QString& configName, bool createMissing = true);
FileStatus SaveComments(const Vardelomod& m, const QString& path);

// Settings file: line 1 the port number, line 2 the language offset.
QString DefaultSettingsPath();    // in the user's configuration folder
int LeadingNumber(const QString& text);   // blanks skipped, digits up to the first other character
// Reads the settings into PortLine, PortNumber, LanguageText and LanguageOffset;
// rewrites the file with "1" and "0" when it is missing or short.
void ReadSettings(Vardelomod& m, const QString& path);
// Writes " <PortNumber>" and LanguageText.
FileStatus WriteSettings(const Vardelomod& m, const QString& path);
// Languages other than 0, 1000, 2000 and 3000 are taken as German.
qint16 LanguageOffsetFromText(const QString& text);
