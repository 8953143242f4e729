// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QtMath>

// Every position and size of the designs is given in twips (1/1440 inch).
// At 96 dpi one pixel is 15 twips; all conversions go through here.
namespace Twips {

inline constexpr int PerPixel = 15;

inline int px(double twips)
{
    return qRound(twips / PerPixel);
}
inline double fromPx(int pixels)
{
    return double(pixels) * PerPixel;
}
inline QPoint point(double left, double top)
{
    return {px(left), px(top)};
}
inline QSize size(double width, double height)
{
    return {px(width), px(height)};
}
inline QRect rect(double left, double top, double width, double height)
{
    return {px(left), px(top), px(width), px(height)};
}

} // namespace Twips
