// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Registry.h"

#ifdef Q_OS_WIN

// The Windows registry through its ANSI calls.
class WindowsRegistry : public Registry {
public:
    bool openKey(quint32 root, const QByteArray &path, quint32 access, Key *key) override;
    bool queryValue(Key key, const QByteArray &name, quint32 *type, char *buffer, quint32 *size) override;
    void closeKey(Key key) override;
};

#endif
