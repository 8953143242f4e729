// SPDX-License-Identifier: GPL-3.0-or-later
#include "AccessibleContainer.h"

#include "PictureLabel.h"
#include "PictureLabelAccessible.h"

#include <QDialog>
#include <QSet>
#include <QWidget>

namespace {

const char *const HiddenProperty = "sentaliaAccessibleHidden";

// The widgets with a hidden child, until they go away.
QSet<const QObject *> &hidingParents()
{
    static QSet<const QObject *> parents;
    return parents;
}

QAccessibleInterface *factory(const QString &key, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    // Only a widget whose own class is asked about: while a widget is being
    // destroyed its class reads as a base class, and it gets nothing here.
    const bool own = key == QLatin1String(object->metaObject()->className());
    if (own && key == QLatin1String("PictureLabel"))
        return new PictureLabelAccessible(static_cast<PictureLabel *>(widget));
    // The program's own dialogs (Qt's classes all begin with Q).
    if (own && !key.startsWith(u'Q') && qobject_cast<QDialog *>(object))
        return new AccessibleContainer(widget, QAccessible::Dialog);
    if (hidingParents().contains(object)) {
        if (key == QLatin1String("QWidget"))
            return new AccessibleContainer(widget, QAccessible::Client);
        if (key == QLatin1String("QFrame"))
            return new AccessibleContainer(widget, QAccessible::Border);
    }
    return nullptr;
}

} // namespace

AccessibleContainer::AccessibleContainer(QWidget *widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{
}

void AccessibleContainer::install()
{
    installOnce(factory);
}

void AccessibleContainer::installOnce(QAccessible::InterfaceFactory factory)
{
    static QList<QAccessible::InterfaceFactory> installed;
    if (installed.contains(factory))
        return;
    installed.append(factory);
    QAccessible::installFactory(factory);
}

void AccessibleContainer::hide(QWidget *widget)
{
    install();
    widget->setProperty(HiddenProperty, true);
    QObject *parent = widget->parentWidget();
    if (parent && !hidingParents().contains(parent)) {
        hidingParents().insert(parent);
        QObject::connect(parent, &QObject::destroyed, [parent] { hidingParents().remove(parent); });
    }
}

bool AccessibleContainer::isHidden(const QObject *object)
{
    return object && object->property(HiddenProperty).toBool();
}

bool AccessibleContainer::isCovered(const QWidget *widget)
{
    const QWidget *parent = widget ? widget->parentWidget() : nullptr;
    if (!parent || widget->isWindow())
        return false;
    const QObjectList &siblings = parent->children();
    // Later children are drawn over the earlier ones.
    for (qsizetype i = siblings.indexOf(const_cast<QWidget *>(widget)) + 1; i > 0 && i < siblings.size(); ++i) {
        auto *front = qobject_cast<QWidget *>(siblings.at(i));
        if (!front || front->isWindow() || front->isHidden() || front->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue;
        if (front->geometry().contains(widget->geometry()))
            return true;
    }
    return false;
}

QList<QWidget *> AccessibleContainer::shownChildren() const
{
    // As Qt counts the children of a widget, less the hidden and the
    // covered ones.
    QList<QWidget *> shown;
    for (QObject *object : widget()->children()) {
        auto *child = qobject_cast<QWidget *>(object);
        if (!child || child->isWindow() || isHidden(child) || child->objectName() == QLatin1String("qt_rubberband"))
            continue;
        if (isCovered(child))
            continue;
        if (object->inherits("QFocusFrame") || object->inherits("QMenu"))
            continue;
        shown.append(child);
    }
    return shown;
}

int AccessibleContainer::childCount() const
{
    return int(shownChildren().size());
}

QAccessibleInterface *AccessibleContainer::child(int index) const
{
    const QList<QWidget *> shown = shownChildren();
    if (index < 0 || index >= shown.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(shown.at(index));
}

int AccessibleContainer::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    return int(shownChildren().indexOf(qobject_cast<QWidget *>(child->object())));
}

QAccessibleInterface *AccessibleContainer::childAt(int x, int y) const
{
    // The front-most shown child under the point.
    const QList<QWidget *> shown = shownChildren();
    for (qsizetype i = shown.size() - 1; i >= 0; --i) {
        QAccessibleInterface *child = QAccessible::queryAccessibleInterface(shown.at(i));
        if (child && !child->state().invisible && child->rect().contains(x, y))
            return child;
    }
    return nullptr;
}
