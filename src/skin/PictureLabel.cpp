// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureLabel.h"

#include "AccessibleContainer.h"

#include <QAccessible>
#include <QIcon>
#include <QMouseEvent>

PictureLabel::PictureLabel(QWidget *parent)
    : QLabel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    AccessibleContainer::install();
}

void PictureLabel::setChecked(bool checked)
{
    if (checked == m_checked)
        return;
    m_checked = checked;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void PictureLabel::setPicture(const QString &resource, bool stretch)
{
    m_source = resource;
    QPixmap pixmap;
    if (resource.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive)) {
        // Stretched, the icon image nearest to the control's size; otherwise
        // the icon at its own size.
        const QIcon icon(resource);
        const QSize want = size().isValid() && !size().isEmpty() ? size() : QSize(32, 32);
        pixmap = stretch ? icon.pixmap(icon.actualSize(want)) : iconImage(icon);
    } else {
        pixmap = QPixmap(resource);
    }
    setPicturePixmap(pixmap, stretch);
}

void PictureLabel::setPicturePixmap(const QPixmap &pixmap, bool stretch)
{
    setScaledContents(stretch);
    if (!stretch)
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setPixmap(pixmap);
}

QPixmap PictureLabel::iconImage(const QIcon &icon)
{
    return icon.pixmap(QSize(32, 32));
}

void PictureLabel::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void PictureLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool second = m_secondPress && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton)
        m_secondPress = false;
    if (!second && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        click();
    event->accept();
}

void PictureLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_secondPress = true;
    emit pressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void PictureLabel::mouseMoveEvent(QMouseEvent *event)
{
    emit pointerMoved();
    QLabel::mouseMoveEvent(event);
}
