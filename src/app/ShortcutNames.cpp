// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShortcutNames.h"

#include <cstring>

QString ShortcutNames::translate(const char *context, const char *sourceText, const char *, int) const
{
    if (context && sourceText && std::strcmp(context, "QShortcut") == 0)
        return QString::fromUtf8(sourceText);
    return {};
}
