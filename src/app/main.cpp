#include "AppSetup.h"
#include "Forms.h"
#include "Module1.h"

#include "store/QuoteStore.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppSetup::configure(app);
    // The program ends only through the farewell, never because a window
    // happened to be the last one closed.
    QApplication::setQuitOnLastWindowClosed(false);
    Module1::endOnSignals();
    Module1::Main();
    const int status = QApplication::exec();
    Forms::destroyAll();
    Module1::db.reset();
    return status;
}
