// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

// A notice for screen readers only: announce() makes it show with the
// given text, and screen readers speak a notification that shows, wherever
// the focus is. It draws nothing, takes no clicks and no focus, and
// covers a single pixel, so a sighted user never meets it.
class Notice : public QWidget {
    Q_OBJECT
public:
    explicit Notice(QWidget *parent);

    void announce(const QString &text);
    QString text() const { return m_text; }

private:
    QString m_text;
};
