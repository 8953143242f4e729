// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"

#include <QString>

class SourceFile;

// Reads a list of quotations, one per line (import --una-por-linea): each
// line that is not blank is one quotation, blanks around it trimmed; a
// line that is only "%" separates nothing and is passed over. Every
// record gets the topic and the author given (the importer fills in
// "Anónimo" for an empty one).
class LineListReader {
public:
    LineListReader(SourceFile &source, const QString &tema, const QString &autor);

    // The next record and its line; false at the end (or when the source
    // fails to read: see its error()).
    bool next(QuoteRecord *record, qint64 *line);
    // Whether that record's line was cut by the source: it holds no text.
    bool overLong() const { return m_overLong; }

private:
    SourceFile &m_source;
    QString m_tema;
    QString m_autor;
    qint64 m_line = 0;
    bool m_overLong = false;
};
