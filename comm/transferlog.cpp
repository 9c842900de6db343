#include "comm/transferlog.h"

#include "comm/sequences.h"
#include "config/configfiles.h"
#include "config/sitefile.h"
#include "platform/filesync.h"
#include "platform/seriallink.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {
// Far beyond years of transfers.
constexpr qint64 MaxLogReadBytes = 64 * 1024 * 1024;

QString Trimmed(const QString& identification)
{
    return identification.trimmed();
}
}

QJsonObject TransferEntry::ToJson() const
{
    QJsonObject o{
        {QStringLiteral("time"), time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate)},
        {QStringLiteral("command"), command},
        {QStringLiteral("port"), port},
        {QStringLiteral("device"), device},
        {QStringLiteral("terminal"), terminal},
        {QStringLiteral("file"), file},
        {QStringLiteral("sha256"), sha256},
        {QStringLiteral("result"), ok ? QStringLiteral("success") : result},
    };
    if (hasChanges)
        o.insert(QStringLiteral("changes"), changes);
    if (!name.isEmpty())
        o.insert(QStringLiteral("name"), name);
    return o;
}

QString BlockSha256(const ConfigBlock& block)
{
    QByteArray bytes(block.size(), '\0');
    for (size_t i = 0; i < block.size(); ++i)
        bytes[qsizetype(i)] = char(quint8(block[i]));
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QJsonObject ChangeSummaryJson(const ConfigDifference& d)
{
    QJsonArray lists;
    for (int list = 1; list <= 4; ++list)
        lists.append(QJsonObject{{QStringLiteral("list"), list},
                                 {QStringLiteral("added"), d.Added(list)},
                                 {QStringLiteral("removed"), d.Removed(list)}});
    return QJsonObject{{QStringLiteral("settings"), int(d.settings.size())},
                       {QStringLiteral("display"), d.DisplayTextsChanged()},
                       {QStringLiteral("other"), d.otherSlots},
                       {QStringLiteral("lists"), lists}};
}

QString TransferLogPathFor(const QString& settingsPath)
{
    return QDir(ConfigurationFolder(settingsPath)).filePath(QStringLiteral("transfers.log"));
}

QString TransferLog::Append(const TransferEntry& entry)
{
    const QByteArray line = QJsonDocument(entry.ToJson()).toJson(QJsonDocument::Compact) + '\n';
    QString problem;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QFile file(path_);
    if (const FileStatus target = CheckWriteTarget(path_); !target)
        problem = target.message;
    else if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        problem = path_ + QStringLiteral(": cannot be opened: ") + file.errorString();
    else if (file.write(line) != line.size())
        problem = path_ + QStringLiteral(": cannot be written: ") + file.errorString();
    else if (const int error = SyncFileToDisk(file.handle()); error != 0)
        problem = path_ + QStringLiteral(": cannot be written: ") + qt_error_string(error);
    if (problem.isEmpty() || reported_)
        return {};
    reported_ = true;
    return problem;
}

namespace {

// A log that is missing because a file stands where its folder (or one
// above it) should be: nothing can ever have been logged there.
FileStatus FolderInTheWay(const QString& path)
{
    for (QFileInfo folder(QFileInfo(path).absolutePath());; folder = QFileInfo(folder.absolutePath())) {
        if (folder.exists() || folder.isSymLink()) {
            if (folder.isDir())
                return FileStatus::Ok();
            return FileStatus::Failed(PrintableText(folder.absoluteFilePath()) +
                                      QStringLiteral(": is not a folder: no log can be kept in it"));
        }
        if (folder.isRoot())
            return FileStatus::Ok();
    }
}

void TakeLine(const QByteArray& line, QList<QJsonObject>& entries, int& damaged)
{
    if (line.trimmed().isEmpty())
        return;
    const QJsonDocument doc = QJsonDocument::fromJson(line);
    if (doc.isObject())
        entries.append(doc.object());
    else
        ++damaged;
}

// The newest `last` entries, read backwards from the end in chunks, so that
// a log of any size answers with its end and nothing more is read.
TransferLogContent ReadLogEnd(const QString& path, int last)
{
    // A line longer than this is no entry: it is counted damaged, not kept.
    constexpr qint64 MaxLineBytes = 1024 * 1024;
    constexpr qint64 ChunkBytes = 64 * 1024;
    TransferLogContent content;
    QFile file;
    if (content.status = OpenRegularFile(path, file); !content.status)
        return content;
    QList<QJsonObject> newestFirst;
    QByteArray tail;          // the end of a line whose beginning lies before pos
    bool tailTooLong = false;
    const auto take = [&](const QByteArray& line) {
        if (tailTooLong)
            ++content.damagedLines;
        else
            TakeLine(line, newestFirst, content.damagedLines);
        tail.clear();
        tailTooLong = false;
    };
    qint64 pos = file.size();
    while (pos > 0 && newestFirst.size() < last) {
        const qint64 start = std::max<qint64>(0, pos - ChunkBytes);
        QByteArray chunk;
        if (file.seek(start))
            chunk = file.read(pos - start);
        if (chunk.size() != pos - start) {
            content.status = FileStatus::Refused(path, FileFault::Unreadable);
            content.status.message += QStringLiteral(": ") + file.errorString();
            return content;
        }
        pos = start;
        qsizetype end = chunk.size();
        while (end > 0 && newestFirst.size() < last) {
            const qsizetype lineEnd = chunk.lastIndexOf('\n', end - 1);
            if (lineEnd < 0)
                break;
            take(chunk.mid(lineEnd + 1, end - lineEnd - 1) + tail);
            end = lineEnd;
        }
        if (newestFirst.size() >= last)
            break;
        if (!tailTooLong) {
            tail.prepend(chunk.left(end));
            if (tail.size() > MaxLineBytes) {
                tail.clear();
                tailTooLong = true;
            }
        }
    }
    if (pos == 0 && newestFirst.size() < last)
        take(tail);   // the first line of the log
    content.entries.reserve(newestFirst.size());
    for (auto it = newestFirst.crbegin(); it != newestFirst.crend(); ++it)
        content.entries.append(*it);
    return content;
}

} // namespace

TransferLogContent ReadTransferLog(const QString& path, int last)
{
    TransferLogContent content;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        content.status = FolderInTheWay(path);
        return content;   // nothing logged yet, unless a file is in the way
    }
    if (last > 0)
        return ReadLogEnd(path, last);
    // The whole log: one past the limit is read from its beginning only, and
    // said so; years of transfers stay far below it.
    const FileContent file = ReadRegularFile(path, MaxLogReadBytes);
    if (!file.status && file.status.fault != FileFault::TooLarge) {
        content.status = file.status;
        return content;
    }
    content.truncated = !file.status;
    for (const QByteArray& line : file.content.split('\n'))
        TakeLine(line, content.entries, content.damagedLines);
    return content;
}

QString LastFileWrittenTo(const QString& logPath, const QString& device, const QString& terminal, const QString& name)
{
    const QString nameKey = TerminalNameKey(name);
    // Read from the end: the newest transfers are what counts, however long
    // the log has grown.
    constexpr int SearchedTransfers = 10000;
    const TransferLogContent log = ReadTransferLog(logPath, SearchedTransfers);
    for (auto e = log.entries.crbegin(); e != log.entries.crend(); ++e) {
        if (e->value(QStringLiteral("command")).toString() == u"write"
            && e->value(QStringLiteral("result")).toString() == u"success"
            && e->value(QStringLiteral("device")).toString() == device
            && e->value(QStringLiteral("terminal")).toString() == terminal
            && TerminalNameKey(e->value(QStringLiteral("name")).toString()) == nameKey)
            return e->value(QStringLiteral("file")).toString();
    }
    return {};
}

QString FormatTransferEntry(const QJsonObject& e)
{
    const QDateTime time = QDateTime::fromString(e.value(QStringLiteral("time")).toString(), Qt::ISODate);
    const QString when = time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                        : e.value(QStringLiteral("time")).toString();
    QString line = QStringLiteral("%1  %2  ").arg(when, e.value(QStringLiteral("command")).toString().leftJustified(5));
    if (const QString name = e.value(QStringLiteral("name")).toString(); !name.isEmpty())
        line += QStringLiteral("[%1] ").arg(name);
    line += e.value(QStringLiteral("port")).toString();
    const QString device = e.value(QStringLiteral("device")).toString();
    if (!device.isEmpty() && device != e.value(QStringLiteral("port")).toString())
        line += QStringLiteral(" (%1)").arg(device);
    const QString terminal = e.value(QStringLiteral("terminal")).toString();
    if (!terminal.isEmpty())
        line += QStringLiteral("  \"%1\"").arg(terminal);
    line += QStringLiteral("  ") + e.value(QStringLiteral("file")).toString();
    const QString sha = e.value(QStringLiteral("sha256")).toString();
    if (!sha.isEmpty())
        line += QStringLiteral("  sha256 ") + sha.left(12);
    const QJsonObject changes = e.value(QStringLiteral("changes")).toObject();
    if (!changes.isEmpty()) {
        QStringList parts;
        parts << QStringLiteral("settings %1").arg(changes.value(QStringLiteral("settings")).toInt());
        for (const QJsonValue& list : changes.value(QStringLiteral("lists")).toArray()) {
            const QJsonObject l = list.toObject();
            const int added = l.value(QStringLiteral("added")).toInt();
            const int removed = l.value(QStringLiteral("removed")).toInt();
            if (added || removed)
                parts << QStringLiteral("list %1 +%2 -%3").arg(l.value(QStringLiteral("list")).toInt()).arg(added).arg(removed);
        }
        parts << QStringLiteral("display %1").arg(changes.value(QStringLiteral("display")).toInt());
        if (const int other = changes.value(QStringLiteral("other")).toInt())
            parts << QStringLiteral("other bytes %1").arg(other);
        line += QStringLiteral("  [") + parts.join(QStringLiteral(", ")) + u']';
    }
    return line + QStringLiteral("  ") + e.value(QStringLiteral("result")).toString();
}

// ---------------------------------------------------------------- recorder

TransferRecorder::TransferRecorder(TerminalSession& session, QString logPath, QObject* parent)
    : QObject(parent), session_(session), log_(std::move(logPath))
{
    PortName = [this] { return QStringLiteral("com%1").arg(session_.Link().PortNumber()); };
    // Logged as each ends, not once its message or the editor has closed: a
    // crash meanwhile loses no line.
    connect(&session.Read(), &ReadSequence::Ended, this, &TransferRecorder::ReadEnded);
    connect(&session.Write(), &WriteSequence::Ended, this, &TransferRecorder::WriteEnded);
    // A terminal is known by the device it hangs on (for a simulated one, its
    // memory file) and by its identification, which alone names only the
    // model and firmware.
    session.Read().CommentSources = [this](const QString& identification) {
        const QString file = LastFileWrittenTo(log_.Path(), session_.Link().Description(), identification, name_);
        return file.isEmpty() ? QStringList() : QStringList{file};
    };
}

TransferEntry TransferRecorder::Entry(const QString& command) const
{
    TransferEntry e;
    e.time = Now();
    e.command = command;
    e.name = name_;
    e.port = PortName ? PortName() : QString();
    e.device = session_.Link().Description();
    // A write goes to the terminal the read before it identified.
    e.terminal = Trimmed(session_.Read().IdentificationLine());
    return e;
}

void TransferRecorder::Append(const TransferEntry& entry)
{
    if (const QString problem = log_.Append(entry); !problem.isEmpty())
        emit Problem(problem);
}

void TransferRecorder::ReadEnded(bool ok)
{
    TransferEntry e = Entry(QStringLiteral("read"));
    const ReadSequence& read = session_.Read();
    const ReadStorage* stored = read.LastRead();
    e.ok = ok && read.FailureText().isEmpty();
    if (!ok) {
        e.terminal.clear();
        e.result = read.FailureText().trimmed();
    } else if (stored) {
        e.file = stored->savedAs.isEmpty() ? QString() : QFileInfo(stored->savedAs).absoluteFilePath();
        e.sha256 = BlockSha256(stored->read.block);
        if (!e.ok)
            e.result = read.FailureText().simplified();
    }
    Append(e);
}

void TransferRecorder::WriteEnded(bool ok)
{
    TransferEntry e = Entry(QStringLiteral("write"));
    const WriteSequence& write = session_.Write();
    ConfigBlock sent;
    std::copy(write.SentBlock().begin(), write.SentBlock().end(), sent.begin());
    e.file = writeFile_;
    e.sha256 = BlockSha256(sent);
    if (const ReadStorage* before = session_.Read().LastRead()) {
        e.hasChanges = true;
        e.changes = ChangeSummaryJson(CompareConfigurations(before->read, ConfigSnapshot::From(sent, std::nullopt)));
    }
    e.ok = ok;
    e.result = write.ResultText().trimmed();
    Append(e);
}
