#include "ListingPrinter.h"

// Placeholder until printing is built.
bool ListingPrinter::print(const QString &, const QFont &, QString *error)
{
    *error = QStringLiteral("La impresión no está disponible.");
    return false;
}

bool ListingPrinter::printTo(QPrinter &, const QString &, const QFont &, QString *error)
{
    *error = QStringLiteral("La impresión no está disponible.");
    return false;
}
