// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

// The system registry as the about box reads it: the three calls of the
// ANSI registry interface, one for one. The about box keeps its own rules
// for the buffer and the value types; an implementation only opens, reads
// and closes.
//
// Windows has the real registry (WindowsRegistry). Other systems have none
// (NoRegistry: every key fails to open). Tests install a MemoryRegistry.
class Registry {
public:
    using Key = quintptr;

    // Predefined roots, as their 32-bit handle values.
    static constexpr quint32 ClassesRoot = 0x80000000u;
    static constexpr quint32 CurrentUser = 0x80000001u;
    static constexpr quint32 LocalMachine = 0x80000002u;
    static constexpr quint32 Users = 0x80000003u;

    // Access rights.
    static constexpr quint32 QueryValue = 0x0001;
    static constexpr quint32 SetValue = 0x0002;
    static constexpr quint32 CreateSubKey = 0x0004;
    static constexpr quint32 EnumerateSubKeys = 0x0008;
    static constexpr quint32 Notify = 0x0010;
    static constexpr quint32 CreateLink = 0x0020;
    static constexpr quint32 ReadControl = 0x20000;

    // Value types.
    static constexpr quint32 TypeNone = 0;
    static constexpr quint32 TypeString = 1;       // REG_SZ
    static constexpr quint32 TypeExpandString = 2; // REG_EXPAND_SZ
    static constexpr quint32 TypeBinary = 3;       // REG_BINARY
    static constexpr quint32 TypeDword = 4;        // REG_DWORD
    static constexpr quint32 TypeMultiString = 7;  // REG_MULTI_SZ

    virtual ~Registry() = default;

    // RegOpenKeyExA: opens path below root with the given rights.
    virtual bool openKey(quint32 root, const QByteArray &path, quint32 access, Key *key) = 0;
    // RegQueryValueExA: copies the value's bytes into buffer, which holds
    // *size bytes, and sets *type and *size (the bytes written). A value
    // larger than the buffer fails and sets *size to the size it needs.
    virtual bool queryValue(Key key, const QByteArray &name, quint32 *type, char *buffer, quint32 *size) = 0;
    // RegCloseKey.
    virtual void closeKey(Key key) = 0;

    // The registry of this system, or the one a test installed.
    static Registry &current();
    // Installs a registry (not owned); nullptr returns to the system's.
    static void setCurrent(Registry *registry);
};
