// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Gives a borderless window its outline: a rectangle whose corners are
// rounded by an ellipse of the given size in pixels (20 on every window).
// The outline follows the window when it is resized.
class Shaper {
public:
    static void shape(QWidget *window, int ellipse);
};
