// SPDX-License-Identifier: GPL-3.0-or-later
#include "Registry.h"

#include "NoRegistry.h"
#include "WindowsRegistry.h"

namespace {
Registry *g_installed = nullptr;
} // namespace

Registry &Registry::current()
{
    if (g_installed)
        return *g_installed;
#ifdef Q_OS_WIN
    static WindowsRegistry system;
#else
    static NoRegistry system;
#endif
    return system;
}

void Registry::setCurrent(Registry *registry)
{
    g_installed = registry;
}
