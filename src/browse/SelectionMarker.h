// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

// A rectangle outline drawn over other controls, transparent inside and to
// the mouse. Its place is kept in twips, exactly as given, so that code can
// compare it with the places of the controls it frames.
class SelectionMarker : public QWidget {
    Q_OBJECT
public:
    SelectionMarker(QWidget *parent, const QColor &colour, int borderPixels);

    void setTwipsGeometry(int left, int top, int width, int height);
    void moveTwips(int left, int top);
    int leftTwips() const { return m_left; }
    int topTwips() const { return m_top; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour;
    int m_border;
    int m_left = 0;
    int m_top = 0;
};
