// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoRegistry.h"

bool NoRegistry::openKey(quint32, const QByteArray &, quint32, Key *key)
{
    *key = 0;
    return false;
}

bool NoRegistry::queryValue(Key, const QByteArray &, quint32 *, char *, quint32 *)
{
    return false;
}

void NoRegistry::closeKey(Key)
{
}
