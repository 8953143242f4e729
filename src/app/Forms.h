// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
namespace Forms {

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
