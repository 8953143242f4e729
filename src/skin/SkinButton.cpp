// SPDX-License-Identifier: GPL-3.0-or-later
#include "SkinButton.h"

#include <QPainter>

SkinButton::SkinButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setAttribute(Qt::WA_Hover, false);
}

void SkinButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &colours = palette();
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QRect area = rect();
    painter.fillRect(area, colours.color(group, QPalette::Button));

    // The border: one pixel; the default button and a pressed one draw it
    // dark, a pressed one also sinks by a second line at the top left.
    const QRect edge = area.adjusted(0, 0, -1, -1);
    const bool down = isDown() || isChecked();
    painter.setPen(colours.color(group, isDefault() || down ? QPalette::Shadow : QPalette::Dark));
    painter.drawRect(edge);
    if (down) {
        painter.setPen(colours.color(group, QPalette::Dark));
        painter.drawLine(edge.left() + 1, edge.top() + 1, edge.right() - 1, edge.top() + 1);
        painter.drawLine(edge.left() + 1, edge.top() + 1, edge.left() + 1, edge.bottom() - 1);
    }

    if (hasFocus()) {
        QPen dotted(colours.color(group, QPalette::ButtonText), 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.drawRect(edge.adjusted(3, 3, -3, -3));
    }

    QRect caption = area.adjusted(4, 2, -4, -2);
    if (down)
        caption.translate(1, 1);
    painter.setFont(font());
    painter.setPen(colours.color(group, QPalette::ButtonText));
    painter.drawText(caption, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}
