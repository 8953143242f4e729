// SPDX-License-Identifier: GPL-3.0-or-later
#include "MemoryRegistry.h"

#include <cstring>

QByteArray MemoryRegistry::keyId(quint32 root, const QByteArray &path)
{
    return QByteArray::number(root, 16) + '\\' + path.toLower();
}

void MemoryRegistry::addKey(quint32 root, const QByteArray &path, quint32 allowed)
{
    KeyData &key = m_keys[keyId(root, path)];
    key.path = path;
    key.allowed = allowed;
}

void MemoryRegistry::setValue(quint32 root, const QByteArray &path, const QByteArray &name, quint32 type,
                              const QByteArray &data)
{
    KeyData &key = m_keys[keyId(root, path)];
    key.path = path;
    key.values.insert(name.toLower(), {type, data});
}

void MemoryRegistry::setString(quint32 root, const QByteArray &path, const QByteArray &name, const QByteArray &text)
{
    QByteArray data = text;
    data.append('\0');
    setValue(root, path, name, TypeString, data);
}

void MemoryRegistry::setDword(quint32 root, const QByteArray &path, const QByteArray &name, quint32 number)
{
    QByteArray data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[i] = char((number >> (8 * i)) & 0xFF);
    setValue(root, path, name, TypeDword, data);
}

bool MemoryRegistry::openKey(quint32 root, const QByteArray &path, quint32 access, Key *key)
{
    m_requested.append(path);
    m_access.append(access);
    *key = 0;
    const auto found = m_keys.constFind(keyId(root, path));
    if (found == m_keys.constEnd() || (access & ~found->allowed) != 0)
        return false;
    *key = m_nextHandle++;
    m_open.insert(*key, found.key());
    return true;
}

bool MemoryRegistry::queryValue(Key key, const QByteArray &name, quint32 *type, char *buffer, quint32 *size)
{
    const auto open = m_open.constFind(key);
    if (open == m_open.constEnd())
        return false;
    const KeyData &data = m_keys[*open];
    m_queries.append({data.path, name});
    const auto value = data.values.constFind(name.toLower());
    if (value == data.values.constEnd())
        return false;
    *type = value->type;
    const quint32 needed = quint32(value->data.size());
    if (needed > *size) {
        *size = needed;
        return false;
    }
    std::memcpy(buffer, value->data.constData(), needed);
    *size = needed;
    return true;
}

void MemoryRegistry::closeKey(Key key)
{
    m_open.remove(key);
}
