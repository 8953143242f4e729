// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SkinLayout.h"

#include <QDialog>

#include <initializer_list>

class PictureLabel;

// A borderless dialog that draws its own frame from the shared pieces:
// not in the taskbar, centred when shown, white, fixed in size and place.
// The constructor lays the pieces out (backdrop lowest, frame pieces above
// it, close picture and icon slot above those); the subclass then adds its
// texts and, last, its input controls, so they stack as the designs say.
class SkinnedDialog : public QDialog {
    Q_OBJECT
public:
    explicit SkinnedDialog(const SkinLayout &layout, QWidget *parent = nullptr);

    // A frame piece by its control name ("Image7", "imgico"...).
    PictureLabel *piece(const QString &name) const;
    PictureLabel *closePicture() const { return m_close; }
    PictureLabel *iconSlot() const { return m_icon; }

    void setVisible(bool visible) override;

protected:

    // The load steps every skinned dialog shares.
    void shape(int ellipse);
    void showIcon(const QString &iconResource);
    static void cream(std::initializer_list<QWidget *> controls);

private:
    PictureLabel *m_close = nullptr;
    PictureLabel *m_icon = nullptr;
};
