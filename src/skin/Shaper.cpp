// SPDX-License-Identifier: GPL-3.0-or-later
#include "Shaper.h"

#include <QBitmap>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace {

QBitmap roundedMask(const QSize &size, int ellipse)
{
    QBitmap mask(size);
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRect(QPoint(0, 0), size), ellipse / 2.0, ellipse / 2.0);
    return mask;
}

class ShapeKeeper : public QObject {
public:
    ShapeKeeper(QWidget *window, int ellipse)
        : QObject(window)
        , m_ellipse(ellipse)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize) {
            auto *window = static_cast<QWidget *>(watched);
            window->setMask(roundedMask(window->size(), m_ellipse));
        }
        return false;
    }

    int m_ellipse;
};

} // namespace

void Shaper::shape(QWidget *window, int ellipse)
{
    // ShapeKeeper has no meta-object of its own, so findChild() would take
    // any child for one; look for it by its real type instead.
    ShapeKeeper *keeper = nullptr;
    for (QObject *child : window->children()) {
        if ((keeper = dynamic_cast<ShapeKeeper *>(child)))
            break;
    }
    if (!keeper) {
        keeper = new ShapeKeeper(window, ellipse);
        window->installEventFilter(keeper);
    }
    keeper->m_ellipse = ellipse;
    window->setMask(roundedMask(window->size(), ellipse));
}
