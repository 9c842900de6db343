#include "platform/portmap.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>

QString PortMap::DefaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("ports.map"));
}

int PortMap::PortNumberOf(const QString& name)
{
    static const QRegularExpression com(QStringLiteral("^com([1-8])$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto match = com.match(name.trimmed());
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString PortMap::SystemDevice(int port)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

std::optional<NetworkAddress> NetworkAddress::Parse(const QString& text)
{
    const QString t = text.trimmed();
    if (!t.startsWith(Scheme, Qt::CaseInsensitive))
        return std::nullopt;
    const QUrl url(t, QUrl::StrictMode);
    // Only host and port: no user, path, query or fragment, which a serial
    // device server would not know what to do with.
    if (!url.isValid() || url.host().isEmpty() || url.port() < 1 || !url.userInfo().isEmpty()
        || (!url.path().isEmpty() && url.path() != u"/") || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    return NetworkAddress{url.host(), quint16(url.port())};
}

bool NetworkAddress::LooksLikeOne(const QString& text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(text.trimmed()).hasMatch();
}

PortTarget PortMap::TargetFromText(const QString& text)
{
    PortTarget target;
    const QString t = text.trimmed();
    if (NetworkAddress::LooksLikeOne(t)) {
        target.kind = PortTarget::Kind::Network;
        target.address = t;
    } else if (t == u"sim" || t.startsWith(u"sim:") || t.startsWith(u"sim,")) {
        target.kind = PortTarget::Kind::Simulated;
        target.simulation = t.mid(3);
    } else {
        target.kind = PortTarget::Kind::Device;
        target.device = t;
    }
    return target;
}

namespace {
bool HasControlCharacter(const QString& line)
{
    return std::any_of(line.begin(), line.end(), [](QChar c) {
        return c != u'\t' && (c.unicode() < 0x20 || c.unicode() == 0x7F);
    });
}
}

PortMap PortMap::Parse(const QString& text)
{
    PortMap map;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    int bad = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        const int port = eq > 0 ? PortNumberOf(line.left(eq)) : 0;
        const QString target = eq > 0 ? line.mid(eq + 1).trimmed() : QString();
        // A device name with a NUL or an escape in it is no device name.
        if (port == 0 || target.isEmpty() || HasControlCharacter(line)) {
            if (++bad <= MaxReportedLines)
                map.problems_ << QStringLiteral("line %1: \"%2\" is not of the form comN=DEVICE, comN=sim[:FILE.QLV] or comN=rfc2217://HOST:PORT")
                                     .arg(i + 1)
                                     .arg(PrintableText(line, ShownLineChars));
            continue;
        }
        map.entries_.insert(port, target);
    }
    if (bad > MaxReportedLines)
        map.problems_ << QStringLiteral("%1 more lines of that kind").arg(bad - MaxReportedLines);
    return map;
}

PortMap PortMap::Load(const QString& path)
{
    const FileContent file = ReadRegularFile(path, MaxFileBytes);
    if (!file.status) {
        PortMap refused;
        if (file.status.fault != FileFault::Missing)
            refused.status_ = file.status;
        return refused;
    }
    return Parse(QString::fromUtf8(file.content));
}

PortTarget PortMap::Resolve(int port) const
{
    const auto it = entries_.constFind(port);
    if (it != entries_.constEnd())
        return TargetFromText(*it);
    PortTarget target;
    target.device = SystemDevice(port);
    return target;
}

QString PortMap::WithEntry(const QString& text, int port, const QString& target)
{
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QString entry = QStringLiteral("com%1=%2").arg(port).arg(target.trimmed());
    bool placed = target.trimmed().isEmpty();
    for (qsizetype i = 0; i < lines.size();) {
        const QString line = lines.at(i).trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (line.startsWith(u'#') || eq <= 0 || PortNumberOf(line.left(eq)) != port) {
            ++i;
        } else if (!placed) {
            lines[i++] = entry;
            placed = true;
        } else {
            lines.removeAt(i);
        }
    }
    if (!placed)
        lines << entry;
    return lines.isEmpty() ? QString() : lines.join(u'\n') + u'\n';
}
