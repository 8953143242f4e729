// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class QWidget;

// What assistive tools (screen readers) see of a window or a panel that
// holds controls they should not meet: the grey shadow of a title, which
// would have every title read twice, and the frame pieces that only draw
// the skin. Such children are left out of the tree; everything else is
// as Qt gives it.
class AccessibleContainer : public QAccessibleWidget {
public:
    AccessibleContainer(QWidget *widget, QAccessible::Role role);

    // Leaves the widget out of what assistive tools see of its parent.
    static void hide(QWidget *widget);
    static bool isHidden(const QObject *object);
    // Whether a shown sibling in front of the widget covers it wholly and
    // takes its clicks: a sighted user can neither see nor click it, and
    // assistive tools do not meet it either.
    static bool isCovered(const QWidget *widget);

    // Makes the program's own accessible classes known to Qt; called by the
    // skin's controls before any of them can be asked for.
    static void install();
    // Installs a factory of accessible classes once, however many controls
    // ask for it.
    static void installOnce(QAccessible::InterfaceFactory factory);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

private:
    QList<QWidget *> shownChildren() const;
};
