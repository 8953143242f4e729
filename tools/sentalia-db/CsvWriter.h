// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"

#include <QString>

// Writes an exact copy of a collection as CSV that CsvReader reads back to
// the same records: the header autor,frace,tema,Index, one record per line
// ending in LF (or in CR LF, for spreadsheets; a line break inside a field
// is LF either way). A field is quoted when it holds a comma, a quote, a
// line break or a blank at either end, or when it is empty text; a NULL
// column is an empty, unquoted field. Index is the stored number, the
// stored text of one that is not a whole number (which the reader then
// refuses), or empty when the record has none.
class CsvWriter {
public:
    enum class LineEnd { Lf, CrLf };

    static QString header(LineEnd end = LineEnd::Lf);
    static QString record(const QuoteRecord &record, LineEnd end = LineEnd::Lf);
    static QString field(const QString &value, bool isNull = false);
};
