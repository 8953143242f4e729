// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

// Where one control lies, kept in twips as the designs give it. The layout
// handlers compute in single precision on these values and read back what
// they wrote, not the control's pixel geometry; the control itself is placed
// at the nearest pixels. Like the controls of the designs, a box refuses a
// negative width or height and keeps the value it had.
class TwipsBox {
public:
    TwipsBox() = default;
    TwipsBox(QWidget *control, float left, float top, float width, float height);

    QWidget *control() const { return m_control; }

    float left() const { return m_left; }
    float top() const { return m_top; }
    float width() const { return m_width; }
    float height() const { return m_height; }

    void setLeft(float left);
    void setTop(float top);
    // False, and nothing changes, when the value is refused.
    bool setWidth(float width);
    bool setHeight(float height);

    // A label that sizes itself to its caption: takes the size its text
    // needs, keeping its left and top.
    void fitToText();

private:
    void place();

    QPointer<QWidget> m_control;
    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
};
