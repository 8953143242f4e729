// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SkinLayout.h"

// The frame of every skinned dialog, piece by piece.
class SkinLayouts {
public:
    static const SkinLayout &frmver();
    static const SkinLayout &frmnuevo();
    static const SkinLayout &frmsalir();
    static const SkinLayout &user();
    static const SkinLayout &frmAbout();
    static const SkinLayout &frmtemas();
};
