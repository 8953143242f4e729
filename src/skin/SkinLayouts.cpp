// SPDX-License-Identifier: GPL-3.0-or-later
#include "SkinLayouts.h"

using R = SkinLayout::Role;

const SkinLayout &SkinLayouts::frmver()
{
    static const SkinLayout layout{5505, 2970, {
        {"Image1", R::CornerTopLeft, 0, 0},
        {"Image2", R::TitleStrip, 0, 0, 5370, 615},
        {"Image3", R::CornerTopRight, 5250, 0},
        {"Image4", R::BorderLeft, 0, 120},
        {"Image5", R::BorderLeft, 0, 2160},
        {"Image6", R::BorderRight, 5450, 120},
        {"Image7", R::BorderRight, 5450, 2160},
        {"Image8", R::CornerBottomLeft, 0, 2640},
        {"Image9", R::BottomStrip, 0, 2640, 5340, 315},
        {"Image10", R::CornerBottomRight, 5250, 2640},
        {"Image11", R::Backdrop, 120, 720, 5295, 1815},
        {"Image12", R::ClosePicture, 4870, 60},
        {"imgico", R::IconSlot, 120, 60},
    }};
    return layout;
}

const SkinLayout &SkinLayouts::frmnuevo()
{
    static const SkinLayout layout{4380, 4170, {
        {"Image1", R::CornerTopLeft, 0, 0},
        {"Image2", R::TitleStrip, 240, 0, 3930, 615},
        {"Image3", R::CornerTopRight, 4120, 0},
        {"Image5", R::BorderLeft, 0, 600},
        {"Image6", R::BorderLeft, 0, 2160},
        {"Image7", R::BorderRight, 4320, 600},
        {"Image8", R::BorderRight, 4320, 2160},
        {"Image9", R::CornerBottomLeft, 0, 3840},
        {"Image10", R::BottomStrip, 240, 3840, 3900, 315},
        {"Image11", R::CornerBottomRight, 4120, 3840},
        {"Image4", R::Backdrop, 120, 675, 4095, 3165},
        {"Image12", R::ClosePicture, 3720, 60},
        {"imgico", R::IconSlot, 120, 60},
    }};
    return layout;
}

const SkinLayout &SkinLayouts::frmsalir()
{
    static const SkinLayout layout{3915, 2610, {
        {"Image1", R::CornerTopLeft, 0, 0},
        {"Image2", R::TitleStrip, 240, 0, 3450, 615},
        {"Image3", R::CornerTopRight, 3660, 0},
        {"Image8", R::BorderLeft, 0, 600},
        {"Image9", R::BorderRight, 3850, 600},
        {"Image4", R::CornerBottomLeft, 0, 2280},
        {"Image5", R::BottomStrip, 240, 2280, 3420, 315},
        {"Image6", R::CornerBottomRight, 3660, 2280},
        {"Image10", R::Backdrop, 120, 720, 3615, 1500},
        {"Image11", R::ClosePicture, 3300, 60},
        {"imgico", R::IconSlot, 120, 60, 255, 255},
    }};
    return layout;
}

const SkinLayout &SkinLayouts::user()
{
    static const SkinLayout layout{3135, 2325, {
        {"Image1", R::CornerTopLeft, 0, 0},
        {"Image2", R::TitleStrip, 240, 0, 2850, 615},
        {"Image3", R::CornerTopRight, 2880, 0},
        {"Image5", R::BorderLeft, 0, 240},
        {"Image6", R::BorderRight, 3070, 240},
        {"Image7", R::CornerBottomLeft, 0, 2000},
        {"Image8", R::BottomStrip, 240, 1995, 2700, 315},
        {"Image9", R::CornerBottomRight, 2880, 2000},
        {"Image10", R::Backdrop, 120, 720, 2895, 1215},
        {"Image4", R::ClosePicture, 2520, 60},
        {"imgico", R::IconSlot, 120, 60},
    }};
    return layout;
}

const SkinLayout &SkinLayouts::frmAbout()
{
    static const SkinLayout layout{4740, 5130, {
        {"Image2", R::CornerTopLeft, 0, 0},
        {"Image3", R::TitleStrip, 240, 0, 4290, 615},
        {"Image4", R::CornerTopRight, 4483, 0},
        {"Image5", R::BorderLeft, 0, 600},
        {"Image6", R::BorderLeft, 0, 2640, 45, 2220},
        {"Image7", R::BorderRight, 4680, 600},
        {"Image8", R::BorderRight, 4680, 2640, 45, 2220},
        {"Image10", R::CornerBottomLeft, 0, 4800},
        {"Image11", R::BottomStrip, 240, 4800, 4380, 315},
        {"Image12", R::CornerBottomRight, 4483, 4800},
        {"Image9", R::Backdrop, 120, 652, 4455, 4170},
        {"Image13", R::ClosePicture, 4080, 72},
        {"imgico", R::IconSlot, 64, 87},
    }};
    return layout;
}

const SkinLayout &SkinLayouts::frmtemas()
{
    static const SkinLayout layout{7980, 5490, {
        {"Image2", R::CornerTopLeft, 0, 0},
        {"Image4", R::TitleStrip, 240, 0, 7530, 615},
        {"Image3", R::CornerTopRight, 7720, 0},
        {"Image5", R::BorderLeft, 0, 600},
        {"Image6", R::BorderLeft, 0, 2640},
        {"Image13", R::BorderLeft, 0, 4680},
        {"Image7", R::BorderRight, 7920, 600},
        {"Image8", R::BorderRight, 7920, 2640},
        {"Image14", R::BorderRight, 7920, 4680},
        {"Image10", R::CornerBottomLeft, 0, 5160},
        {"Image11", R::BottomStrip, 240, 5160, 7500, 315},
        {"Image12", R::CornerBottomRight, 7720, 5160},
        {"Image1", R::Backdrop, 120, 600, 7710, 4530},
        {"Image9", R::ClosePicture, 7320, 60},
    }};
    return layout;
}
