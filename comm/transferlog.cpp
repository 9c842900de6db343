#include "comm/transferlog.h"

#include "app/mainflow.h"
#include "comm/sequences.h"
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

TransferLogContent ReadTransferLog(const QString& path, int last)
{
    TransferLogContent content;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return content;   // nothing logged yet
    // A log past the limit is read from its beginning only; years of
    // transfers stay far below it.
    const FileContent file = ReadRegularFile(path, MaxLogReadBytes);
    if (!file.status && file.status.fault != FileFault::TooLarge) {
        content.status = file.status;
        return content;
    }
    for (const QByteArray& line : file.content.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (doc.isObject())
            content.entries.append(doc.object());
        else
            ++content.damagedLines;
    }
    if (last > 0 && content.entries.size() > last)
        content.entries = content.entries.mid(content.entries.size() - last);
    return content;
}

QString FormatTransferEntry(const QJsonObject& e)
{
    const QDateTime time = QDateTime::fromString(e.value(QStringLiteral("time")).toString(), Qt::ISODate);
    const QString when = time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                        : e.value(QStringLiteral("time")).toString();
    QString line = QStringLiteral("%1  %2  %3").arg(when, e.value(QStringLiteral("command")).toString().leftJustified(5),
                                                   e.value(QStringLiteral("port")).toString());
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
}

TransferEntry TransferRecorder::Entry(const QString& command) const
{
    TransferEntry e;
    e.time = Now();
    e.command = command;
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
