#pragma once

#include "store/QuoteRecord.h"

#include <QString>

// Writes quotation CSV that CsvReader reads back to the same records: the
// header autor,frace,tema, one record per line ending in LF. A field is
// quoted when it holds a comma, a quote, a line break or a blank at either
// end, or when it is empty text; a missing topic (NULL) is an empty,
// unquoted field.
class CsvWriter {
public:
    static QString header();
    static QString record(const QuoteRecord &record);
    static QString field(const QString &value, bool isNull = false);
};
