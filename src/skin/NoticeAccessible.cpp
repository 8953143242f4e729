// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoticeAccessible.h"

#include "AccessibleContainer.h"
#include "Notice.h"

namespace {

QAccessibleInterface *factory(const QString &key, QObject *object)
{
    if (key == QLatin1String("Notice") && object->metaObject() == &Notice::staticMetaObject)
        return new NoticeAccessible(static_cast<Notice *>(object));
    return nullptr;
}

} // namespace

NoticeAccessible::NoticeAccessible(Notice *notice)
    : QAccessibleWidget(notice, QAccessible::Notification)
{
}

void NoticeAccessible::install()
{
    AccessibleContainer::installOnce(factory);
}

QAccessible::State NoticeAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.focusable = false;
    state.invisible = !widget()->isVisible();
    state.offscreen = false;
    return state;
}

QString NoticeAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return static_cast<Notice *>(widget())->text();
    return QAccessibleWidget::text(t);
}
