// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/Registry.h"

#include <QHash>
#include <QList>
#include <QSet>

// A registry held in memory, for tests: keys and values are set up in
// advance, and every open, query and close is recorded. Key paths and value
// names ignore case, as on Windows.
class MemoryRegistry : public Registry {
public:
    struct Query {
        QByteArray key;
        QByteArray value;
    };

    // A key that opens only with rights inside `allowed`.
    void addKey(quint32 root, const QByteArray &path, quint32 allowed = 0xFFFFFFFFu);
    // Raw bytes of any type; the key is added if needed.
    void setValue(quint32 root, const QByteArray &path, const QByteArray &name, quint32 type, const QByteArray &data);
    // A REG_SZ value written with its terminating NUL, as Windows stores it.
    void setString(quint32 root, const QByteArray &path, const QByteArray &name, const QByteArray &text);
    // A REG_DWORD value, little-endian.
    void setDword(quint32 root, const QByteArray &path, const QByteArray &name, quint32 number);

    int openKeys() const { return int(m_open.size()); }
    QList<Query> queries() const { return m_queries; }
    // Every key asked for, opened or not, and the rights asked each time.
    QList<QByteArray> keysRequested() const { return m_requested; }
    QList<quint32> accessRequested() const { return m_access; }

    bool openKey(quint32 root, const QByteArray &path, quint32 access, Key *key) override;
    bool queryValue(Key key, const QByteArray &name, quint32 *type, char *buffer, quint32 *size) override;
    void closeKey(Key key) override;

private:
    struct Value {
        quint32 type;
        QByteArray data;
    };
    struct KeyData {
        QByteArray path;
        quint32 allowed = 0xFFFFFFFFu;
        QHash<QByteArray, Value> values;
    };

    static QByteArray keyId(quint32 root, const QByteArray &path);

    QHash<QByteArray, KeyData> m_keys;
    QHash<Key, QByteArray> m_open;
    Key m_nextHandle = 0x100;
    QList<Query> m_queries;
    QList<QByteArray> m_requested;
    QList<quint32> m_access;
};
