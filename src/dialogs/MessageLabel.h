// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// The message dialog's text label. It keeps the message exactly as given,
// and shows every carriage return in it as a line break, which a plain
// label would draw as a blank.
class MessageLabel : public QLabel {
    Q_OBJECT
public:
    explicit MessageLabel(QWidget *parent = nullptr);

    void setMessage(const QString &message);
    // The message as it was given, carriage returns included.
    QString message() const { return m_message; }

private:
    QString m_message;
};
