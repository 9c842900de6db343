#pragma once
// Window geometry is given in twips (1/1440 inch). At the toolkit's logical
// 96 dots per inch a pixel is 15 twips; high-resolution screens scale the
// logical pixels as a whole.

#include <QRect>
#include <QSize>

namespace twipsrect {
constexpr int TwipsPerPixel = 15;
constexpr int Px(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }
inline QRect Rect(int left, int top, int width, int height)
{
    return QRect(Px(left), Px(top), Px(width), Px(height));
}
inline QSize Size(int width, int height) { return QSize(Px(width), Px(height)); }
} // namespace twipsrect
