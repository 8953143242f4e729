// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class TopicCombo;

// The topic box as screen readers see it: a combo box named by the caption
// or title that asks for it (Qt's own combo boxes on Linux take their text
// as their name), whose value is the topic shown, with its list and its
// edit field as children and an action that opens or closes the list.
class TopicComboAccessible : public QAccessibleWidget {
public:
    explicit TopicComboAccessible(TopicCombo *combo);

    // Makes the class known to Qt; the combo calls it when it is built.
    static void install();

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    TopicCombo *combo() const;
    QList<QWidget *> parts() const;
};
