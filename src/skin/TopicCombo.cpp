// SPDX-License-Identifier: GPL-3.0-or-later
#include "TopicCombo.h"

#include "TopicComboAccessible.h"

#include "Skin.h"
#include "store/TopicOrder.h"

#include <QEvent>
#include <QLineEdit>

TopicCombo::TopicCombo(const QString &designText, QWidget *parent)
    : QComboBox(parent)
    , m_designText(designText)
{
    TopicComboAccessible::install();
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setEditText(m_designText);
    Skin::paintPopup(this);
}

void TopicCombo::changeEvent(QEvent *event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        Skin::paintPopup(this);
}

void TopicCombo::setTopics(const QStringList &topics)
{
    clear();
    addItems(sorted(topics));
    setCurrentIndex(-1);
    setEditText(m_designText);
}

QStringList TopicCombo::topics() const
{
    QStringList list;
    list.reserve(count());
    for (int i = 0; i < count(); ++i)
        list << itemText(i);
    return list;
}

QStringList TopicCombo::sorted(QStringList topics)
{
    return TopicOrder::sorted(std::move(topics));
}
