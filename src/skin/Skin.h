// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QComboBox;
class QPushButton;
class QWidget;

// The shared look: the cream of input boxes and buttons, and the fonts.
namespace Skin {

inline const QColor Cream{0xF5, 0xF3, 0xCF};

// The colours the designs draw with, complete in every role and colour
// group: black text on white windows and boxes, cream buttons, a navy
// selection, pale yellow tooltips and a grey that stays readable on cream
// for what is disabled. Set where the skin sets a background, so that a
// dark desktop palette never puts light text on the designs' light colours.
QPalette palette();
// The same colours on a top-level window; its children inherit them.
void setPalette(QWidget *window);
// A combo box's drop-down list takes the box's own colours (a pop-up is a
// window of its own and inherits nothing).
void paintPopup(QComboBox *combo);

// Puts a window that is about to be shown for the first time in the middle
// of its screen's available area, unless the program placed it already. A
// place the program sets is one the window manager keeps; one it chooses
// itself guesses a frame the borderless windows do not have.
void centreBeforeShowing(QWidget *window);

// Labels draw their text from their top, as the designs' labels do; only
// the horizontal alignment each label was given is kept. Pictures are left
// as they are. Run over every window once its labels exist.
void alignTextsToTop(QWidget *window);

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
