#include "config/configfiles.h"

#include "config/paircommit.h"
#include "config/windows1252.h"
#include "platform/filesync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStorageInfo>

namespace {

// Far more than any configuration, comments or settings file holds; a larger
// file is not one of ours and is not read into memory.
constexpr qint64 MaxReadBytes = 16 * 1024 * 1024;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

QString Quoted(const QByteArray& token)
{
    const QByteArray shown = token.size() > 20 ? token.left(20) + "..." : token;
    return u'"' + PrintableText(DecodeWindows1252(shown)) + u'"';
}

// Splits at CR LF, CR or LF; a last line without an ending counts too.
QList<QByteArray> SplitLines(const QByteArray& content, int maxLines)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = content.size();
    while (start < n && lines.size() < maxLines) {
        qsizetype end = start;
        while (end < n && !IsLineEnd(content[end]))
            ++end;
        lines.append(content.mid(start, end - start));
        if (end < n && content[end] == '\r' && end + 1 < n && content[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

FileStatus WriteFailed(const QString& path, const QString& what, const QString& detail, int error, qint64 needed)
{
    bool full = IsOutOfSpaceError(error);
    if (!full) {
        const QStorageInfo storage(QFileInfo(path).absolutePath());
        full = storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < needed;
    }
    const QString why = full ? QStringLiteral("the disk is full") : detail;
    return FileStatus::Failed(PrintableText(path) + QStringLiteral(": ") + what + QStringLiteral(": ") + why, full);
}

} // namespace

FileStatus ReadWholeFile(const QString& path, QByteArray& content)
{
    FileContent file = ReadRegularFile(path, MaxReadBytes);
    content = file.status ? std::move(file.content) : QByteArray();
    return file.status;
}

FileStatus ParseConfigBlock(const QByteArray& content, ConfigBlock& block)
{
    ConfigBlock scratch{};
    const qsizetype n = content.size();
    qsizetype i = 0;
    int line = 1;
    for (int entry = 0; entry < Configuration::BlockSlots; ++entry) {
        while (i < n && (IsBlank(content[i]) || IsLineEnd(content[i]))) {
            const bool crlf = content[i] == '\r' && i + 1 < n && content[i + 1] == '\n';
            if (IsLineEnd(content[i]) && !crlf)
                ++line;
            ++i;
        }
        const auto where = [&] { return QStringLiteral("line %1 (slot %2): ").arg(line).arg(entry); };
        if (i == n)
            return FileStatus::Failed(QStringLiteral("line %1: the file ends after %2 of %3 numbers")
                                          .arg(line).arg(entry).arg(Configuration::BlockSlots));
        const qsizetype start = i;
        while (i < n && !IsBlank(content[i]) && !IsLineEnd(content[i]) && content[i] != ',')
            ++i;
        const auto token = [&] { return Quoted(content.mid(start, i - start)); };
        if (i == start)
            return FileStatus::Failed(where() + QStringLiteral("empty entry between commas"));
        const bool negative = content[start] == '-';
        qsizetype d = (negative || content[start] == '+') ? start + 1 : start;
        if (d == i)
            return FileStatus::Failed(where() + token() + QStringLiteral(" is not a whole number"));
        qint64 value = 0;
        for (; d < i; ++d) {
            if (content[d] < '0' || content[d] > '9')
                return FileStatus::Failed(where() + token() + QStringLiteral(" is not a whole number"));
            value = qMin<qint64>(value * 10 + (content[d] - '0'), 1'000'000);
        }
        if (negative)
            value = -value;
        if (value < -32768 || value > 32767)
            return FileStatus::Failed(where() + token() + QStringLiteral(" is outside -32768..32767"));
        scratch[entry] = qint16(value);
        // One comma may follow a number, with blanks on either side.
        while (i < n && IsBlank(content[i]))
            ++i;
        if (i < n && content[i] == ',')
            ++i;
    }
    block = scratch;
    return FileStatus::Ok();
}

FileStatus ReadConfigBlock(const QString& path, ConfigBlock& block)
{
    QByteArray content;
    if (FileStatus status = ReadWholeFile(path, content); !status)
        return status;
    FileStatus status = ParseConfigBlock(content, block);
    if (!status)
        status.message = PrintableText(path) + QStringLiteral(": ") + status.message;
    return status;
}

QByteArray FormatConfigBlock(const ConfigBlock& block)
{
    QByteArray out;
    out.reserve(block.size() * 6);
    for (qint16 value : block) {
        out += value < 0 ? '-' : ' ';
        out += QByteArray::number(qAbs(int(value)));
        out += " \r\n";
    }
    return out;
}

ConfigBlock ImageBlock(const Configuration& m)
{
    return m.ConfigImage;
}

FileStatus ReadConfigurationFile(Configuration& m, const QString& path)
{
    ConfigBlock block;
    FileStatus status = ReadConfigBlock(path, block);
    if (status)
        m.ConfigImage = block;
    return status;
}

FileStatus WriteConfigurationFile(const Configuration& m, const QString& path)
{
    return WriteFileAtomically(path, FormatConfigBlock(ImageBlock(m)));
}

bool IsConfigFileName(const QString& path)
{
    return path.endsWith(QLatin1String(".QLV")) || path.endsWith(QLatin1String(".qlv"));
}

FileStatus WriteFileAtomically(const QString& path, const QByteArray& content)
{
    if (FileStatus target = CheckWriteTarget(path); !target)
        return target;
    // QSaveFile writes a temporary file beside the target and renames it over
    // the target on commit; the explicit sync makes sure the data is on the
    // device before the rename, and reports what the device says.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return WriteFailed(path, QStringLiteral("cannot be created"), file.errorString(), LastSystemError(), content.size());
    if (file.write(content) != content.size()) {
        const int error = LastSystemError();
        const QString detail = file.errorString();
        file.cancelWriting();
        return WriteFailed(path, QStringLiteral("cannot be written"), detail, error, content.size());
    }
    if (const int error = SyncFileToDisk(file.handle()); error != 0) {
        file.cancelWriting();
        return WriteFailed(path, QStringLiteral("cannot be written"), qt_error_string(error), error, content.size());
    }
    if (!file.commit())
        return WriteFailed(path, QStringLiteral("cannot be saved"), file.errorString(), LastSystemError(), content.size());
    SyncDirectory(QFileInfo(path).absolutePath());
    return FileStatus::Ok();
}

QString CommentFileNameFor(const QString& configName)
{
    if (QFileInfo(configName).fileName().size() < 4)
        return configName + QStringLiteral(".BGT");
    return configName.left(configName.size() - 4) + QStringLiteral(".BGT");
}

void ResetComments(Configuration& m)
{
    m.ListComment.fill(ResetCommentText);
}

QStringList ParseCommentLines(const QByteArray& content)
{
    QStringList lines;
    for (const QByteArray& line : SplitLines(content, Configuration::RowEntries))
        lines.append(DecodeWindows1252(line));
    return lines;
}

namespace {

// A line that holds no text: nothing is lost when it is disregarded.
bool HoldsNoText(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    return trimmed.isEmpty() || trimmed == ResetCommentText.toLatin1();
}

} // namespace

FileStatus CheckCommentLines(const QByteArray& content, const QString& path)
{
    const QList<QByteArray> lines = SplitLines(content, std::numeric_limits<int>::max());
    for (int k = Configuration::RowEntries; k < lines.size(); ++k)
        if (!HoldsNoText(lines[k]))
            return FileStatus::Damaged(path, FileFault::TooManyLines, k + 1);
    if (lines.size() < Configuration::RowEntries - 1
        && !std::all_of(lines.begin(), lines.end(), [](const QByteArray& line) { return HoldsNoText(line); }))
        return FileStatus::Damaged(path, FileFault::TooFewLines, int(lines.size()));
    return FileStatus::Ok();
}

CommentsFile ReadCommentsAt(const QString& path)
{
    CommentsFile file;
    QByteArray content;
    file.status = ReadWholeFile(path, content);
    if (file.status.fault == FileFault::Missing)
        file.status = FileStatus::Ok();
    else if (file.status)
        file.status = CheckCommentLines(content, path);
    if (!file.status)
        return file;
    const QStringList lines = ParseCommentLines(content);
    // A file too short for the rows no longer matches them: all of it is
    // disregarded (it holds no text, or it would be damaged).
    if (lines.size() >= Configuration::RowEntries - 1)
        file.lines = lines;
    return file;
}

CommentsFile ReadCommentsFile(const QString& configName)
{
    const QString own = CommentFileNameFor(configName);
    const QString path = CommentFileToRead(configName);
    if (path.isEmpty())
        return {};   // the pair being committed has none
    CommentsFile file = ReadCommentsAt(path);
    if (!file.status && path != own) {
        // Told of the comments file's own name, not of the new one waiting
        // to take its place.
        file.status.message.replace(PrintableText(path), PrintableText(own));
        file.status.path = own;
    }
    return file;
}

FileStatus LoadComments(Configuration& m, const QString& configName, bool createMissing)
{
    m.CommentFileName = CommentFileNameFor(configName);
    const QFileInfo info(m.CommentFileName);
    if (createMissing && !info.exists() && !info.isSymLink()) {
        QFile file(m.CommentFileName);
        if (file.open(QIODevice::Append))
            file.close();
    }
    const CommentsFile file = ReadCommentsFile(configName);
    // Entry 2000 keeps its text when the file has 2000 lines.
    if (file.lines.isEmpty())
        ResetComments(m);
    for (int k = 0; k < file.lines.size(); ++k)
        m.ListComment[k] = file.lines[k];
    return file.status;
}

QByteArray FormatComments(const std::array<QString, Configuration::RowEntries>& texts)
{
    QByteArray content;
    for (QString text : texts) {
        text.replace(u'\r', u' ').replace(u'\n', u' ');
        content += EncodeWindows1252(text);
        content += "\r\n";
    }
    return content;
}

FileStatus SaveComments(const Configuration& m, const QString& path)
{
    return WriteFileAtomically(path, FormatComments(m.ListComment));
}

PairCommit SaveConfigurationPair(const Configuration& m, const QString& configName)
{
    return CommitPair(configName, {FormatConfigBlock(ImageBlock(m)), FormatComments(m.ListComment)});
}

QString DefaultSettingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/VARDELO.ini");
}

QString ConfigurationFolder(const QString& settingsPath)
{
    return QFileInfo(settingsPath).absolutePath();
}

QString PortMapPathFor(const QString& settingsPath)
{
    return QDir(ConfigurationFolder(settingsPath)).filePath(QStringLiteral("ports.map"));
}

FileStatus StorePortMapEntry(const QString& path, int port, const QString& target)
{
    const FileContent file = ReadRegularFile(path, PortMap::MaxFileBytes);
    if (!file.status && file.status.fault != FileFault::Missing)
        return file.status;
    QDir().mkpath(ConfigurationFolder(path));
    return WriteFileAtomically(path, PortMap::WithEntry(QString::fromUtf8(file.content), port, target).toUtf8());
}

int LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    int value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i)
        value = qMin(value * 10 + (text.at(i).unicode() - u'0'), 1'000'000);
    return value;
}

qint16 LanguageOffsetFromText(const QString& text)
{
    const int offset = LeadingNumber(text);
    return (offset == 1000 || offset == 2000 || offset == 3000) ? qint16(offset) : qint16(0);
}

bool ParseSettings(ProgramState& program, const QByteArray& content)
{
    const QList<QByteArray> lines = SplitLines(content, 2);
    if (lines.size() < 2)
        return false;
    program.PortLine = DecodeWindows1252(lines[0]);
    const int port = LeadingNumber(program.PortLine);
    program.ChosenPort = qint16(port >= 1 && port <= 8 ? port : 0);
    program.LanguageText = DecodeWindows1252(lines[1]);
    program.LanguageOffset = LanguageOffsetFromText(program.LanguageText);
    return true;
}

FileStatus ReadSettings(ProgramState& program, const QString& path)
{
    // Two short lines; the beginning of an oversized file still counts.
    constexpr qint64 SettingsReadBytes = 4096;
    const FileContent file = ReadRegularFile(path, SettingsReadBytes);
    const bool readable = file.status || file.status.fault == FileFault::TooLarge;
    if (readable && ParseSettings(program, file.content))
        return FileStatus::Ok();
    program.PortLine = QStringLiteral("1");
    program.ChosenPort = 1;
    program.LanguageText = QStringLiteral("0");
    program.LanguageOffset = 0;
    if (!readable && file.status.fault != FileFault::Missing)
        return file.status;
    QDir().mkpath(QFileInfo(path).absolutePath());
    WriteFileAtomically(path, "1\r\n0\r\n");
    return FileStatus::Ok();
}

FileStatus WriteSettings(const ProgramState& program, const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString content = u' ' + QString::number(program.ChosenPort) + QStringLiteral("\r\n") + program.LanguageText
        + QStringLiteral("\r\n");
    return WriteFileAtomically(path, EncodeWindows1252(content));
}
