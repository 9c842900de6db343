#include "config/configimage.h"

#include <algorithm>

namespace {
int DigitValue(QChar c)
{
    return (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : 0;
}
}

std::optional<std::array<quint8, 3>> PackPasswordDigits(const QString& sixDigits)
{
    if (sixDigits.size() != 6)
        return std::nullopt;
    for (QChar c : sixDigits)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    std::array<quint8, 3> bytes{};
    for (int pair = 0; pair < 3; ++pair)
        bytes[pair] = quint8(DigitValue(sixDigits.at(2 * pair + 1)) * 16 + DigitValue(sixDigits.at(2 * pair)));
    return bytes;
}

QString PackTerminalPassword(const QString& entry, bool freeMode)
{
    if (freeMode)
        return u'X' + entry;
    QString packed(u'0');
    for (int pair = 0; pair < 3; ++pair) {
        const QChar low = 2 * pair < entry.size() ? entry.at(2 * pair) : QChar(u'0');
        const QChar high = 2 * pair + 1 < entry.size() ? entry.at(2 * pair + 1) : QChar(u'0');
        packed += QChar(DigitValue(high) * 16 + DigitValue(low));
    }
    return packed;
}

std::optional<QString> TerminalPasswordFromText(const QString& text)
{
    if (text.startsWith(u'X')) {
        const QString freeText = text.mid(1);
        const bool fits = freeText.size() >= 6 && freeText.size() <= 8
                          && std::all_of(freeText.cbegin(), freeText.cend(), [](QChar c) { return c.unicode() <= 255; });
        if (fits)
            return PackTerminalPassword(freeText, true);
    } else if (PackPasswordDigits(text)) {
        return PackTerminalPassword(text, false);
    }
    return std::nullopt;
}

PasswordFileLine ReadPasswordFile(const QString& path)
{
    // A password file holds one short line.
    constexpr qint64 PasswordFileBytes = 4096;
    const FileContent file = ReadRegularFile(path, PasswordFileBytes);
    if (!file.status)
        return {file.status, {}};
    QByteArray line = file.content;
    if (const qsizetype end = line.indexOf('\n'); end >= 0)
        line.truncate(end);
    if (line.endsWith('\r'))
        line.chop(1);
    return {FileStatus::Ok(), QString::fromUtf8(line)};
}
