#pragma once

#include <QColor>
#include <QFont>

class QPushButton;
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

// A button at a place given in twips. answersEnter false keeps it from ever
// becoming the dialog's default button: Enter then presses it only while it
// has the focus, and nothing while the focus is elsewhere.
QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const QFont &font, int left,
                    int top, int width, int height, bool answersEnter = true);

} // namespace Skin
