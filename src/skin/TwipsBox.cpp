// SPDX-License-Identifier: GPL-3.0-or-later
#include "TwipsBox.h"

#include "Twips.h"


TwipsBox::TwipsBox(QWidget *control, float left, float top, float width, float height)
    : m_control(control)
    , m_left(left)
    , m_top(top)
    , m_width(width)
    , m_height(height)
{
    place();
}

void TwipsBox::setLeft(float left)
{
    m_left = left;
    place();
}

void TwipsBox::setTop(float top)
{
    m_top = top;
    place();
}

bool TwipsBox::setWidth(float width)
{
    if (width < 0)
        return false;
    m_width = width;
    place();
    return true;
}

bool TwipsBox::setHeight(float height)
{
    if (height < 0)
        return false;
    m_height = height;
    place();
    return true;
}

void TwipsBox::fitToText()
{
    if (!m_control)
        return;
    const QSize needed = m_control->sizeHint();
    m_width = float(Twips::fromPx(needed.width()));
    m_height = float(Twips::fromPx(needed.height()));
    place();
}

void TwipsBox::place()
{
    if (!m_control)
        return;
    // Both edges are rounded on their own, so neighbouring controls that
    // share an edge in twips share it in pixels too.
    const int x = Twips::px(m_left);
    const int y = Twips::px(m_top);
    const int right = Twips::px(double(m_left) + double(m_width));
    const int bottom = Twips::px(double(m_top) + double(m_height));
    m_control->setGeometry(x, y, qMax(0, right - x), qMax(0, bottom - y));
}
