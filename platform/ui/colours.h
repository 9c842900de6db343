#pragma once
// The colour texts the windows use ("&H00FF" red, the "&H8000000x" system
// colours, "&H800") turned into colours of the current palette.

#include <QColor>
#include <QPalette>
#include <QString>

namespace ColourText {
inline const QString Red = QStringLiteral("&H00FF");
inline const QString WindowBackground = QStringLiteral("&H80000005");
inline const QString ButtonFace = QStringLiteral("&H8000000F");
inline const QString WindowText = QStringLiteral("&H80000008");
inline const QString DarkGreen = QStringLiteral("&H800");
}

// A text "&H" + hexadecimal digits. Values from 0x80000000 on name a system
// colour (index in the low byte); others are 0x00BBGGRR. An unreadable text
// gives an invalid colour.
QColor ColourFromText(const QString& text, const QPalette& palette = QPalette());
