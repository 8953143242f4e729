// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The text of a listing, built once: per quotation its text, a carriage
// return, the author between double hyphens, and two more carriage
// returns. Only carriage returns are used, never line feeds. The count is
// wide enough for any collection.
class Listing {
public:
    void add(const QString &frace, const QString &autor);
    void reserve(qsizetype characters) { m_text.reserve(characters); }

    const QString &text() const { return m_text; }
    qint64 count() const { return m_count; }

    static QString block(const QString &frace, const QString &autor);

private:
    QString m_text;
    qint64 m_count = 0;
};
