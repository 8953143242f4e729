#include "DbTool.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Straight from argv: QCoreApplication::arguments() has already decoded
    // the bytes as UTF-8, which loses file names in any other encoding.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    return DbTool().run(arguments);
}
