// SPDX-License-Identifier: GPL-3.0-or-later
#include "Wording.h"

QString Wording::count(qint64 n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1Char(' ') + agree(n, one, many);
}

QString Wording::agree(qint64 n, const char *one, const char *many)
{
    return QString::fromUtf8(n == 1 ? one : many);
}
