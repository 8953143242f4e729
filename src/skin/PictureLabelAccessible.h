// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AccessibleContainer.h"

class PictureLabel;

// A picture or label as assistive tools see it: a clickable one is a
// button or a link with a press action that clicks it; any other is a
// picture or a static text. Hidden children (a counter's shadow) are left
// out as in any container of the skin.
class PictureLabelAccessible : public AccessibleContainer {
public:
    explicit PictureLabelAccessible(PictureLabel *label);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    PictureLabel *label() const;
};
