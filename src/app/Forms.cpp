// SPDX-License-Identifier: GPL-3.0-or-later
#include "Forms.h"

namespace Forms {

namespace {
Builders g_builders;
WindowObject<MdiInicio> g_mdiinicio;
WindowObject<Frm> g_frm;
WindowObject<FrmSplash> g_frmSplash;
WindowObject<FrmVer> g_frmver;
WindowObject<FrmNuevo> g_frmnuevo;
WindowObject<FrmAbout> g_frmAbout;
WindowObject<FrmTemas> g_frmtemas;
WindowObject<User> g_user;
WindowObject<FrmSalir> g_frmsalir;
} // namespace

#define SENTALIA_FORM(Type, name)                                                                  \
    Type *name() { return g_##name.get(g_builders.name); }                                         \
    Type *name##Loaded() { return g_##name.loaded(); }

SENTALIA_FORM(MdiInicio, mdiinicio)
SENTALIA_FORM(Frm, frm)
SENTALIA_FORM(FrmSplash, frmSplash)
SENTALIA_FORM(FrmVer, frmver)
SENTALIA_FORM(FrmNuevo, frmnuevo)
SENTALIA_FORM(FrmAbout, frmAbout)
SENTALIA_FORM(FrmTemas, frmtemas)
SENTALIA_FORM(User, user)
SENTALIA_FORM(FrmSalir, frmsalir)

#undef SENTALIA_FORM

void install(const Builders &builders)
{
    g_builders = builders;
}

void destroyAll()
{
    // Dialogs first, the results window before the main window that holds it.
    g_frmsalir.destroy();
    g_user.destroy();
    g_frmSplash.destroy();
    g_frmver.destroy();
    g_frmnuevo.destroy();
    g_frmAbout.destroy();
    g_frmtemas.destroy();
    g_frm.destroy();
    g_mdiinicio.destroy();
}

} // namespace Forms
