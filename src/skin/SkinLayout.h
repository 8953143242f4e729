// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// Where the frame pieces of one skinned window go. Sizes left at 0 take the
// placed size of the piece's role (corner pieces 240 x 615 or 240 x 315,
// border strips 45 x 2100, close picture 480 x 480, icon slot 375 x 375).
// All values in twips.
struct SkinLayout {
    enum class Role {
        CornerTopLeft,
        TitleStrip,
        CornerTopRight,
        BorderLeft,
        BorderRight,
        CornerBottomLeft,
        BottomStrip,
        CornerBottomRight,
        Backdrop,
        ClosePicture,
        IconSlot,
    };

    struct Piece {
        QString name;
        Role role;
        int left;
        int top;
        int width = 0;
        int height = 0;
    };

    int clientWidth;
    int clientHeight;
    QList<Piece> pieces;
};
