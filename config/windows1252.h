#pragma once
// Windows-1252, the character set of the accompanying-texts file and (apart
// from four letters) of the terminal's display. The five codes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control characters of the same number, so every byte survives a round trip.

#include <QByteArray>
#include <QChar>
#include <QString>

QChar Windows1252Char(quint8 code);
// A character without a code gives '?' (63).
quint8 Windows1252Code(QChar c);
QString DecodeWindows1252(const QByteArray& bytes);
QByteArray EncodeWindows1252(const QString& text);
