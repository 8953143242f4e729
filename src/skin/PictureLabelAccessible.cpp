// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureLabelAccessible.h"

#include "PictureLabel.h"

PictureLabelAccessible::PictureLabelAccessible(PictureLabel *label)
    : AccessibleContainer(label, QAccessible::StaticText)
{
}

PictureLabel *PictureLabelAccessible::label() const
{
    return static_cast<PictureLabel *>(widget());
}

QAccessible::Role PictureLabelAccessible::role() const
{
    switch (label()->clickable()) {
    case PictureLabel::Clickable::Button:
        return QAccessible::Button;
    case PictureLabel::Clickable::Link:
        return QAccessible::Link;
    case PictureLabel::Clickable::No:
        break;
    }
    return label()->text().isEmpty() ? QAccessible::Graphic : QAccessible::StaticText;
}

QAccessible::State PictureLabelAccessible::state() const
{
    QAccessible::State state = AccessibleContainer::state();
    // Under a control that covers it, a picture is not there to be seen.
    if (isCovered(label()))
        state.invisible = true;
    if (label()->clickable() == PictureLabel::Clickable::Link)
        state.linked = true;
    if (label()->isCheckable()) {
        state.checkable = true;
        state.checked = label()->isChecked();
    }
    return state;
}

QString PictureLabelAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        if (!label()->accessibleName().isEmpty())
            return label()->accessibleName();
        // A clickable picture is named by its tooltip, which says what it
        // does; a text by its text; a picture by its tooltip, if any.
        if ((label()->clickable() != PictureLabel::Clickable::No || label()->text().isEmpty())
            && !label()->toolTip().isEmpty())
            return label()->toolTip();
        return label()->text();
    }
    if (t == QAccessible::Description && label()->accessibleDescription().isEmpty()) {
        // The tooltip is the name already when it names the control.
        const QString tip = label()->toolTip();
        return tip == text(QAccessible::Name) ? QString() : tip;
    }
    return AccessibleContainer::text(t);
}

QStringList PictureLabelAccessible::actionNames() const
{
    // A covered picture cannot be clicked: the one in front takes it.
    if (label()->clickable() == PictureLabel::Clickable::No || isCovered(label()))
        return AccessibleContainer::actionNames();
    return {pressAction()};
}

void PictureLabelAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() && label()->clickable() != PictureLabel::Clickable::No
        && label()->isEnabled() && label()->isVisible() && !isCovered(label()))
        // Clicked once the request has been answered, as Qt presses its own
        // buttons: a click that opens a modal dialog must not keep the
        // screen reader waiting for the answer until the dialog closes.
        QMetaObject::invokeMethod(label(), &PictureLabel::click, Qt::QueuedConnection);
    else
        AccessibleContainer::doAction(actionName);
}

QStringList PictureLabelAccessible::keyBindingsForAction(const QString &) const
{
    // Like the pictures themselves, the press has no key.
    return {};
}
