#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The shared look: the cream of input boxes and buttons, and the fonts.
namespace Skin {

inline const QColor Cream{0xF5, 0xF3, 0xCF};

// Paints a control's background cream (boxes, frames, combo boxes and the
// graphical buttons alike).
void setCream(QWidget *control);

// "Comic Sans MS" and "Arial" at a point size; the substitutes installed at
// start-up stand in for them.
QFont comic(double points, bool bold);
QFont arial(double points, bool bold);

} // namespace Skin
