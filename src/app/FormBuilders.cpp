// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormBuilders.h"

#include "Forms.h"
#include "browse/Frm.h"
#include "browse/FrmVer.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmSalir.h"
#include "dialogs/FrmSplash.h"
#include "dialogs/FrmTemas.h"
#include "dialogs/User.h"
#include "entry/FrmNuevo.h"
#include "mainwin/MdiInicio.h"

namespace {

template <class W>
typename WindowObject<W>::Built build()
{
    W *window = new W();
    return {window, window};
}

} // namespace

void FormBuilders::install()
{
    Forms::Builders builders;
    builders.mdiinicio = &build<MdiInicio>;
    builders.frm = &build<Frm>;
    builders.frmSplash = &build<FrmSplash>;
    builders.frmver = &build<FrmVer>;
    builders.frmnuevo = &build<FrmNuevo>;
    builders.frmAbout = &build<FrmAbout>;
    builders.frmtemas = &build<FrmTemas>;
    builders.user = &build<User>;
    builders.frmsalir = &build<FrmSalir>;
    Forms::install(builders);
}
