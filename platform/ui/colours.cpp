#include "platform/ui/colours.h"

QColor ColourFromText(const QString& text, const QPalette& palette)
{
    if (!text.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        return {};
    bool ok = false;
    const quint32 value = text.mid(2).toUInt(&ok, 16);
    if (!ok)
        return {};
    if (value & 0x80000000u) {
        switch (value & 0xFF) {
        case 0x05: return palette.color(QPalette::Active, QPalette::Base);
        case 0x08: return palette.color(QPalette::Active, QPalette::Text);
        case 0x0F: return palette.color(QPalette::Active, QPalette::Button);
        default: return palette.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}
