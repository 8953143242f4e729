// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// The program's background picture as a window shows it: once at the top
// left corner, on white, never a second copy beside or below it.
class BackgroundPicture {
public:
    // What SURFACE draws along the picture's left and top edges is the
    // picture itself, and white lies where a copy to the right or below
    // would draw the picture's coloured pixels again. Places covered by a
    // child of SURFACE are left out. The surface must be larger than the
    // picture. Empty when all holds, else the first fault found.
    static QString shownOnceOnWhite(QWidget *surface);
};
