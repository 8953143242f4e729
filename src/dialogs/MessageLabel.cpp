// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageLabel.h"

MessageLabel::MessageLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void MessageLabel::setMessage(const QString &message)
{
    m_message = message;
    QString shown = message;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setText(shown);
}
