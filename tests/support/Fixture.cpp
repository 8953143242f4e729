// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fixture.h"

#include "store/QuoteStore.h"

#include <QFile>

#include <sqlcipher/sqlite3.h>
#include <QTest>

Fixture::Fixture(const QString &name)
{
    const QString target = path();
    if (!QFile::copy(fixturePath(name), target))
        qFatal("cannot copy fixture %s", qPrintable(name));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

QString Fixture::path() const
{
    return m_dir.filePath(QStringLiteral("frase.mdb"));
}

std::unique_ptr<QuoteStore> Fixture::open() const
{
    QuoteStore::OpenResult opened = QuoteStore::open(path());
    if (!opened)
        qWarning("fixture did not open: %s", qPrintable(opened.reason));
    return std::move(opened.store);
}

QByteArray Fixture::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString Fixture::fixturePath(const QString &name)
{
    return QStringLiteral(SENTALIA_FIXTURES "/") + name;
}

bool Fixture::makeCollection(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
            == SQLITE_OK
        && sqlite3_key(db, "qolvent", 7) == SQLITE_OK
        && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(db);
    return ok;
}
