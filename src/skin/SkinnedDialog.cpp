// SPDX-License-Identifier: GPL-3.0-or-later
#include "SkinnedDialog.h"

#include "AccessibleContainer.h"
#include "Artwork.h"
#include "PictureLabel.h"
#include "Shaper.h"
#include "Skin.h"
#include "Twips.h"

#include <QIcon>

namespace {

using Role = SkinLayout::Role;

QSize placedSize(Role role)
{
    switch (role) {
    case Role::CornerTopLeft:
    case Role::CornerTopRight:
        return {240, 615};
    case Role::CornerBottomLeft:
    case Role::CornerBottomRight:
        return {240, 315};
    case Role::BorderLeft:
    case Role::BorderRight:
        return {45, 2100};
    case Role::ClosePicture:
        return {480, 480};
    case Role::IconSlot:
        return {375, 375};
    default:
        return {0, 0};
    }
}

const char *pictureOf(Role role)
{
    switch (role) {
    case Role::CornerTopLeft:
        return Artwork::CornerTopLeft;
    case Role::TitleStrip:
        return Artwork::TitleStrip;
    case Role::CornerTopRight:
        return Artwork::CornerTopRight;
    case Role::BorderLeft:
        return Artwork::BorderLeft;
    case Role::BorderRight:
        return Artwork::BorderRight;
    case Role::CornerBottomLeft:
        return Artwork::CornerBottomLeft;
    case Role::BottomStrip:
        return Artwork::BottomStrip;
    case Role::CornerBottomRight:
        return Artwork::CornerBottomRight;
    case Role::Backdrop:
        return Artwork::Backdrop;
    case Role::ClosePicture:
        return Artwork::ClosePicture;
    case Role::IconSlot:
        return nullptr;
    }
    return nullptr;
}

// Lower numbers lie further back.
int depthOf(Role role)
{
    switch (role) {
    case Role::Backdrop:
        return 0;
    case Role::ClosePicture:
    case Role::IconSlot:
        return 2;
    default:
        return 1;
    }
}

} // namespace

SkinnedDialog::SkinnedDialog(const SkinLayout &layout, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setFixedSize(Twips::size(layout.clientWidth, layout.clientHeight));
    Skin::setPalette(this);
    setAutoFillBackground(true);

    for (int depth = 0; depth <= 2; ++depth) {
        for (const SkinLayout::Piece &part : layout.pieces) {
            if (depthOf(part.role) != depth)
                continue;
            const QSize placed = placedSize(part.role);
            const int width = part.width > 0 ? part.width : placed.width();
            const int height = part.height > 0 ? part.height : placed.height();
            auto *label = new PictureLabel(this);
            label->setObjectName(part.name);
            label->setGeometry(Twips::rect(part.left, part.top, width, height));
            if (const char *picture = pictureOf(part.role))
                label->setPicture(QString::fromLatin1(picture), part.role != Role::ClosePicture);
            if (part.role == Role::ClosePicture) {
                label->setAlignment(Qt::AlignCenter);
                label->setCursor(Qt::ArrowCursor);
                label->setClickable(PictureLabel::Clickable::Button);
                m_close = label;
            } else if (part.role == Role::IconSlot) {
                label->setAlignment(Qt::AlignCenter);
                m_icon = label;
            }
            // The frame and the icon only draw the skin: a screen reader
            // has nothing to say about them.
            if (part.role != Role::ClosePicture)
                AccessibleContainer::hide(label);
        }
    }
}

void SkinnedDialog::setVisible(bool visible)
{
    // Centred by the program: a position the window manager chose itself
    // may not reach Qt, and the combo boxes' lists would then drop open far
    // from their box. The labels are all there by now.
    if (visible && !isVisible()) {
        Skin::centreBeforeShowing(this);
        Skin::alignTextsToTop(this);
    }
    QDialog::setVisible(visible);
}

PictureLabel *SkinnedDialog::piece(const QString &name) const
{
    return findChild<PictureLabel *>(name, Qt::FindDirectChildrenOnly);
}

void SkinnedDialog::shape(int ellipse)
{
    Shaper::shape(this, ellipse);
}

void SkinnedDialog::showIcon(const QString &iconResource)
{
    if (!m_icon)
        return;
    const QIcon icon(iconResource);
    m_icon->setPicturePixmap(PictureLabel::iconImage(icon), false);
}

void SkinnedDialog::cream(std::initializer_list<QWidget *> controls)
{
    for (QWidget *control : controls)
        Skin::setCream(control);
}
