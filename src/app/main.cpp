// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppSetup.h"
#include "FormBuilders.h"
#include "Forms.h"
#include "Module1.h"
#include "Module1Main.h"
#include "PlatformChoice.h"

#include "store/QuoteStore.h"

#include <QApplication>

#include <malloc.h>

int main(int argc, char *argv[])
{
    // Every thread that allocates (the display connection's reader, the
    // accessibility and session buses, ...) would otherwise reserve an
    // allocation arena of its own, 64 MiB of address space each, most of
    // the idle program's reservation. One thread does the work here; one
    // arena serves them all.
    mallopt(M_ARENA_MAX, 1);
    const bool platformChosen = PlatformChoice::apply(argc, argv);
    QApplication app(argc, argv);
    if (platformChosen)
        PlatformChoice::undo();
    AppSetup::configure(app);
    // The program ends only through the farewell, never because a window
    // happened to be the last one closed.
    QApplication::setQuitOnLastWindowClosed(false);
    FormBuilders::install();
    Module1::endOnSignals();
    Module1::Main();
    const int status = QApplication::exec();
    Forms::destroyAll();
    Module1::db.reset();
    return status;
}
