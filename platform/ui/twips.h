#pragma once
// Window and control geometry is given in twips (1/1440 inch). Every window
// converts with the same fixed factor of 15 twips per pixel (96 dpi): the
// layout then comes out identical in tests, under Xvfb and on the desktop,
// and on a high-resolution screen Qt's device-pixel scaling enlarges the whole
// window instead of letting single controls drift apart.

#include <QPoint>
#include <QRect>
#include <QSize>

constexpr int TwipsPerPixel = 15;

// Rounded to the nearest pixel.
constexpr int TwipsToPixels(int twips)
{
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel
                      : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}
constexpr int PixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}
inline QPoint TwipsPoint(int left, int top)
{
    return {TwipsToPixels(left), TwipsToPixels(top)};
}
inline QSize TwipsSize(int width, int height)
{
    return {TwipsToPixels(width), TwipsToPixels(height)};
}
inline QRect TwipsRect(int left, int top, int width, int height)
{
    return {TwipsPoint(left, top), TwipsSize(width, height)};
}
