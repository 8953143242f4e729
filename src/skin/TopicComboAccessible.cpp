// SPDX-License-Identifier: GPL-3.0-or-later
#include "TopicComboAccessible.h"

#include "TopicCombo.h"
#include "AccessibleContainer.h"

#include <QAbstractItemView>
#include <QLineEdit>

namespace {

QAccessibleInterface *factory(const QString &key, QObject *object)
{
    if (key == QLatin1String("TopicCombo") && object->metaObject() == &TopicCombo::staticMetaObject)
        return new TopicComboAccessible(static_cast<TopicCombo *>(object));
    return nullptr;
}

} // namespace

TopicComboAccessible::TopicComboAccessible(TopicCombo *combo)
    : QAccessibleWidget(combo, QAccessible::ComboBox)
{
}

void TopicComboAccessible::install()
{
    AccessibleContainer::installOnce(factory);
}

TopicCombo *TopicComboAccessible::combo() const
{
    return static_cast<TopicCombo *>(widget());
}

QString TopicComboAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value || (t == QAccessible::Name && combo()->accessibleName().isEmpty()))
        return combo()->currentText();
    return QAccessibleWidget::text(t);
}

QAccessible::State TopicComboAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.expandable = true;
    state.expanded = combo()->view()->isVisible();
    state.hasPopup = true;
    return state;
}

QList<QWidget *> TopicComboAccessible::parts() const
{
    return {combo()->view(), combo()->lineEdit()};
}

int TopicComboAccessible::childCount() const
{
    return int(parts().size());
}

QAccessibleInterface *TopicComboAccessible::child(int index) const
{
    const QList<QWidget *> all = parts();
    return index >= 0 && index < all.size() ? QAccessible::queryAccessibleInterface(all.at(index)) : nullptr;
}

int TopicComboAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return child ? int(parts().indexOf(qobject_cast<QWidget *>(child->object()))) : -1;
}

QAccessibleInterface *TopicComboAccessible::childAt(int x, int y) const
{
    QWidget *edit = combo()->lineEdit();
    if (edit->isVisible() && QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y))
        return QAccessible::queryAccessibleInterface(edit);
    return nullptr;
}

QStringList TopicComboAccessible::actionNames() const
{
    return {showMenuAction(), pressAction()};
}

void TopicComboAccessible::doAction(const QString &actionName)
{
    if (actionName != showMenuAction() && actionName != pressAction())
        return QAccessibleWidget::doAction(actionName);
    if (combo()->view()->isVisible())
        combo()->hidePopup();
    else
        combo()->showPopup();
}

QStringList TopicComboAccessible::keyBindingsForAction(const QString &) const
{
    return {};
}
