#include "config/configimage.h"

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
