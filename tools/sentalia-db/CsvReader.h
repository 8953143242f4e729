#pragma once

#include "store/QuoteRecord.h"

#include <QList>
#include <QString>

// Reads quotation CSV (RFC 4180): the header autor,frace,tema, then one
// record per line; fields holding commas, quotes or line breaks are quoted
// and their quotes doubled. Lines end in LF or CRLF; inside quotes every
// character is kept as it stands. Blank lines are ignored.
//
// An empty tema written without quotes stands for a missing topic (NULL);
// written as "" it is empty text.
class CsvReader {
public:
    static bool read(const QString &text, QList<QuoteRecord> *records, QString *error);
};
