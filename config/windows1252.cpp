#include "config/windows1252.h"

namespace {
// 0x80..0x9F; the other codes are the Unicode code points of the same number.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
}

QChar Windows1252Char(quint8 code)
{
    return (code >= 0x80 && code <= 0x9F) ? QChar(HighControls[code - 0x80]) : QChar(char16_t(code));
}

quint8 Windows1252Code(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return quint8(u);
    for (int i = 0; i < 32; ++i)
        if (HighControls[i] == u)
            return quint8(0x80 + i);
    return '?';
}

QString DecodeWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char b : bytes)
        *out++ = Windows1252Char(quint8(b));
    return text;
}

QByteArray EncodeWindows1252(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar c : text)
        *out++ = char(Windows1252Code(c));
    return bytes;
}
