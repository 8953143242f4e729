// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LineIndex.h"

#include <QString>

class RichTextView;

// The text of a listing, built once: per quotation its text, a carriage
// return, the author between double hyphens, and two more carriage
// returns. Only carriage returns are used, never line feeds. The count is
// wide enough for any collection. Its line index grows with it, so the
// view that shows it need not read the text again.
class Listing {
public:
    void add(const QString &frace, const QString &autor);
    void reserve(qsizetype characters) { m_text.reserve(characters); }
    // Builds in the memory of a text no longer needed (the listing that
    // gave way), sparing the system a fresh allocation of the same size.
    void reuse(QString buffer);
    // Hands the text built so far (room for growth given back) and its
    // lines to the view, which keeps them without a copy; the listing is
    // left empty.
    void moveInto(RichTextView *view);

    const QString &text() const { return m_text; }
    qint64 count() const { return m_count; }

    static QString block(const QString &frace, const QString &autor);

private:
    QString m_text;
    LineIndex m_lines;
    qint64 m_count = 0;
};
