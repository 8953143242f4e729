// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notice.h"

#include "NoticeAccessible.h"

Notice::Notice(QWidget *parent)
    : QWidget(parent)
{
    NoticeAccessible::install();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 1, 1);
    hide();
}

void Notice::announce(const QString &text)
{
    m_text = text;
    // Shown afresh each time: the same text twice is heard twice.
    hide();
    show();
}
