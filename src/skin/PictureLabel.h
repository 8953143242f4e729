// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QLabel>

// An image control: shows a picture (stretched to its size when asked) and
// reports clicks, presses and the pointer moving over it. Like the images
// of the designs it has no focus and no background of its own.
//
// A picture or label that acts on a click is made clickable: assistive
// tools then see a button (or a link) named by its tooltip, else by its
// text, whose press action clicks it.
class PictureLabel : public QLabel {
    Q_OBJECT
public:
    enum class Clickable { No, Button, Link };

    explicit PictureLabel(QWidget *parent = nullptr);

    void setClickable(Clickable kind) { m_clickable = kind; }
    Clickable clickable() const { return m_clickable; }
    // What a click of the left button does.
    void click() { emit clicked(); }
    // One of a row of choices (the search dialog's letters): assistive
    // tools hear whether it is the chosen one.
    void setCheckable(bool checkable) { m_checkable = checkable; }
    bool isCheckable() const { return m_checkable; }
    void setChecked(bool checked);
    bool isChecked() const { return m_checked; }

    // A picture that is not stretched keeps its own size, from the top left
    // corner, and the control clips it.
    void setPicture(const QString &resource, bool stretch = true);
    void setPicturePixmap(const QPixmap &pixmap, bool stretch = true);
    // The 32 x 32 image of an icon: its size wherever it is not stretched.
    static QPixmap iconImage(const QIcon &icon);
    QString pictureSource() const { return m_source; }

signals:
    void clicked();
    void pressed(Qt::MouseButton button, const QPoint &globalPos);
    void pointerMoved();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // The second press of a double click: a press, but not a second click.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QString m_source;
    Clickable m_clickable = Clickable::No;
    bool m_checkable = false;
    bool m_checked = false;
    bool m_secondPress = false;
};
