#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPoint>
#include <QString>

class QLabel;
class QWidget;

// A title drawn twice: the front label and, behind it, a grey copy moved a
// little right and down. Both always carry the same text.
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

    QLabel *front() const { return m_front; }
    QLabel *shadow() const { return m_shadow; }

private:
    QLabel *m_front;
    QLabel *m_shadow;
    bool m_autoSize;
};
