// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WindowObject.h"

class MdiInicio;
class Frm;
class FrmSplash;
class FrmVer;
class FrmNuevo;
class FrmAbout;
class FrmTemas;
class User;
class FrmSalir;

// The nine windows of the program, one object each. Calling the accessor
// is a reference: it builds the window if it does not exist (which runs its
// load step) and hands it back. The ...Loaded() forms never build.
//
// The windows reach each other through these accessors, so they know the
// other windows by name only. What builds each one is installed once by
// the program's composition root (FormBuilders), which alone depends on
// every window class.
namespace Forms {

struct Builders {
    WindowObject<MdiInicio>::Builder mdiinicio = nullptr;
    WindowObject<Frm>::Builder frm = nullptr;
    WindowObject<FrmSplash>::Builder frmSplash = nullptr;
    WindowObject<FrmVer>::Builder frmver = nullptr;
    WindowObject<FrmNuevo>::Builder frmnuevo = nullptr;
    WindowObject<FrmAbout>::Builder frmAbout = nullptr;
    WindowObject<FrmTemas>::Builder frmtemas = nullptr;
    WindowObject<User>::Builder user = nullptr;
    WindowObject<FrmSalir>::Builder frmsalir = nullptr;
};
void install(const Builders &builders);

MdiInicio *mdiinicio();
Frm *frm();
FrmSplash *frmSplash();
FrmVer *frmver();
FrmNuevo *frmnuevo();
FrmAbout *frmAbout();
FrmTemas *frmtemas();
User *user();
FrmSalir *frmsalir();

MdiInicio *mdiinicioLoaded();
Frm *frmLoaded();
FrmSplash *frmSplashLoaded();
FrmVer *frmverLoaded();
FrmNuevo *frmnuevoLoaded();
FrmAbout *frmAboutLoaded();
FrmTemas *frmtemasLoaded();
User *userLoaded();
FrmSalir *frmsalirLoaded();

// Destroys every window (end of the program, and between tests).
void destroyAll();

} // namespace Forms
