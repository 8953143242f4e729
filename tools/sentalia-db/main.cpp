// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTool.h"

#include "store/Interruption.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Straight from argv: QCoreApplication::arguments() has already decoded
    // the bytes as UTF-8, which loses file names in any other encoding.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    // Ctrl-C, SIGTERM and SIGHUP stop the work through its failure path,
    // which rolls back and removes temporaries; the status is then the
    // signal's own.
    Interruption::install();
    const int code = DbTool().run(arguments);
    if (Interruption::requested())
        Interruption::endBySignal();
    return code;
}
