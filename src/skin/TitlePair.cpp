// SPDX-License-Identifier: GPL-3.0-or-later
#include "TitlePair.h"

#include "AccessibleContainer.h"
#include "Twips.h"

#include <QLabel>

namespace {
QLabel *makeLabel(QWidget *parent, const QString &name, QPoint twips, const TitlePair::Style &style,
                  const QColor &colour, int widthTwips, int heightTwips)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(style.font);
    label->setAlignment(style.alignment);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (colour.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
    label->move(Twips::point(twips.x(), twips.y()));
    if (!style.autoSize && widthTwips > 0)
        label->resize(Twips::size(widthTwips, heightTwips));
    return label;
}
} // namespace

TitlePair::TitlePair(QWidget *parent, const QString &frontName, const QString &shadowName, QPoint frontTwips,
                     QPoint shadowTwips, const QString &text, const Style &style, int widthTwips,
                     int heightTwips)
    : QObject(parent)
    , m_autoSize(style.autoSize)
{
    m_shadow = makeLabel(parent, shadowName, shadowTwips, style, style.shadow, widthTwips, heightTwips);
    m_front = makeLabel(parent, frontName, frontTwips, style, style.front, widthTwips, heightTwips);
    m_front->raise();
    AccessibleContainer::hide(m_shadow);
    setText(text);
}

void TitlePair::setText(const QString &text)
{
    m_front->setText(text);
    m_shadow->setText(text);
    if (m_autoSize) {
        m_front->adjustSize();
        m_shadow->adjustSize();
    }
    for (QWidget *widget : std::as_const(m_named))
        if (widget)
            widget->setAccessibleName(text);
}

void TitlePair::names(QWidget *widget)
{
    m_named.append(widget);
    widget->setAccessibleName(text());
}

QString TitlePair::text() const
{
    return m_front->text();
}
