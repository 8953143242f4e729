// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class Notice;

// A Notice as screen readers see it: a notification named by its text,
// showing while the notice is shown.
class NoticeAccessible : public QAccessibleWidget {
public:
    explicit NoticeAccessible(Notice *notice);

    // Makes the class known to Qt; every notice calls it when it is built.
    static void install();

    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
};
