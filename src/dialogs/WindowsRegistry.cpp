// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowsRegistry.h"

#ifdef Q_OS_WIN

#include <windows.h>

namespace {

// The predefined roots are 32-bit values that Windows sign-extends into
// handles (HKEY_LOCAL_MACHINE is ((HKEY)(ULONG_PTR)((LONG)0x80000002))).
HKEY rootHandle(quint32 root)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

} // namespace

bool WindowsRegistry::openKey(quint32 root, const QByteArray &path, quint32 access, Key *key)
{
    HKEY opened = nullptr;
    const LONG rc = RegOpenKeyExA(rootHandle(root), path.constData(), 0, static_cast<REGSAM>(access), &opened);
    if (rc != ERROR_SUCCESS) {
        *key = 0;
        return false;
    }
    *key = reinterpret_cast<Key>(opened);
    return true;
}

bool WindowsRegistry::queryValue(Key key, const QByteArray &name, quint32 *type, char *buffer, quint32 *size)
{
    DWORD valueType = 0;
    DWORD bytes = *size;
    const LONG rc = RegQueryValueExA(reinterpret_cast<HKEY>(key), name.constData(), nullptr, &valueType,
                                     reinterpret_cast<LPBYTE>(buffer), &bytes);
    *type = valueType;
    *size = bytes;
    return rc == ERROR_SUCCESS;
}

void WindowsRegistry::closeKey(Key key)
{
    RegCloseKey(reinterpret_cast<HKEY>(key));
}

#endif
