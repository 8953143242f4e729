// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class QuoteStore;

// A private copy of one of the fixture collections, as frase.mdb in a fresh
// temporary folder that disappears with the object.
class Fixture {
public:
    explicit Fixture(const QString &name = QStringLiteral("quotes.mdb"));

    QString folder() const { return m_dir.path(); }
    QString path() const;
    std::unique_ptr<QuoteStore> open() const;

    static QByteArray readFile(const QString &path);
    // Makes an encrypted collection (key "qolvent") at PATH from SQL, for
    // the odd tables no fixture holds: ones that refuse or fail to read.
    static bool makeCollection(const QString &path, const char *sql);
    static QString fixturePath(const QString &name);

private:
    QTemporaryDir m_dir;
};
