// SPDX-License-Identifier: GPL-3.0-or-later
#include "SelectionMarker.h"

#include "skin/Twips.h"

#include <QPainter>

SelectionMarker::SelectionMarker(QWidget *parent, const QColor &colour, int borderPixels)
    : QWidget(parent)
    , m_colour(colour)
    , m_border(borderPixels)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void SelectionMarker::setTwipsGeometry(int left, int top, int width, int height)
{
    m_left = left;
    m_top = top;
    setGeometry(Twips::rect(left, top, width, height));
}

void SelectionMarker::moveTwips(int left, int top)
{
    m_left = left;
    m_top = top;
    move(Twips::point(left, top));
}

void SelectionMarker::paintEvent(QPaintEvent *)
{
    // The border lies inside the marker's rectangle.
    QPainter painter(this);
    const QRect outer = rect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_colour);
    const int b = qMin(m_border, qMin(outer.width(), outer.height()) / 2);
    painter.drawRect(QRect(outer.left(), outer.top(), outer.width(), b));
    painter.drawRect(QRect(outer.left(), outer.bottom() - b + 1, outer.width(), b));
    painter.drawRect(QRect(outer.left(), outer.top() + b, b, outer.height() - 2 * b));
    painter.drawRect(QRect(outer.right() - b + 1, outer.top() + b, b, outer.height() - 2 * b));
}
