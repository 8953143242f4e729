// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// The designs' graphical button: flat in its background colour (cream on
// the skinned windows), a thin border, the caption centred with its access
// key underlined, and a dotted mark inside the border while it has the
// focus. Pressed, the border sinks and the caption moves a pixel. It looks
// the same under every desktop style, since it paints itself.
class SkinButton : public QPushButton {
    Q_OBJECT
public:
    explicit SkinButton(const QString &caption, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
