// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QPoint>
#include <QString>
#include <QWidget>

class QLabel;

// A title drawn twice: the front label and, behind it, a grey copy moved a
// little right and down. Both always carry the same text. Assistive tools
// meet the front label only; a title can also name its window or the box
// it stands for, so that they are announced by it.
class TitlePair : public QObject {
    Q_OBJECT
public:
    struct Style {
        QFont font;
        QColor front;          // invalid: the default text colour
        QColor shadow;
        bool autoSize = true;  // size to the text, or keep the design size
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    };

    // Positions and the design size are in twips.
    TitlePair(QWidget *parent, const QString &frontName, const QString &shadowName, QPoint frontTwips,
              QPoint shadowTwips, const QString &text, const Style &style, int widthTwips = 0,
              int heightTwips = 0);

    void setText(const QString &text);
    QString text() const;

    // The widget's accessible name follows the title's text from now on.
    void names(QWidget *widget);

    QLabel *front() const { return m_front; }
    QLabel *shadow() const { return m_shadow; }

private:
    QLabel *m_front;
    QLabel *m_shadow;
    bool m_autoSize;
    QList<QPointer<QWidget>> m_named;
};
