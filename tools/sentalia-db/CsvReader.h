// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"

#include <QList>
#include <QString>

class SourceFile;

// Reads quotation CSV (RFC 4180), one record at a time: a header, then one
// record per line; fields holding the delimiter, quotes or line breaks are
// quoted and their quotes doubled. The delimiter is the one the header is
// written with: a comma, or the semicolon or tab that spreadsheets write
// where the comma is the decimal sign (LibreOffice and Excel in Spanish).
// Lines end in LF or CRLF; inside quotes every character is kept as it
// stands, but for line breaks: CR LF and a lone CR become LF. A byte-order
// mark before the header and blank lines are ignored.
//
// Two headers are read:
//   autor,frace,tema        hand-made lists: an empty tema written without
//                           quotes stands for a missing topic (NULL), written
//                           as "" it is empty text.
//   autor,frace,tema,Index  an exact copy of a collection, as export writes
//                           it: any empty field written without quotes is
//                           NULL, "" is empty text, and Index is a whole
//                           number or empty (NULL). hasIndex tells them apart.
class CsvReader {
public:
    explicit CsvReader(SourceFile &source);

    // Reads the header; false with *error set when it is neither of the two.
    bool readHeader(QString *error);
    bool hasIndex() const { return m_hasIndex; }
    QChar delimiter() const { return m_delimiter; }

    // Whether a line (its line end and a byte-order mark ignored) is one of
    // the two headers, written with one of the three delimiters.
    static bool isHeader(QStringView line, QChar *delimiter = nullptr, bool *hasIndex = nullptr);

    // The next record and the line it starts on. False at the end, with
    // *error empty, or on malformed input, with *error naming the line.
    bool next(QuoteRecord *record, qint64 *line, QString *error);
    // Whether the record last handed out was too long to keep: a line cut
    // by the source, or more text than its fields within the limit can
    // hold. Its text is dropped as it comes, its quotes still counted to
    // find its end; the record handed out holds nothing.
    bool overLong() const { return m_overLong; }

    // A whole text at once; nothing is handed out on failure.
    static bool read(const QString &text, QList<QuoteRecord> *records, QString *error);

private:
    // The text of the next record: lines up to one that leaves no quote open.
    bool nextRecordText(QString *text, QString *error);

    SourceFile &m_source;
    bool m_hasIndex = false;
    QChar m_delimiter = QLatin1Char(',');
    qint64 m_line = 1; // line the next record starts on
    qint64 m_recordLines = 0; // line ends in the text of the last record
    bool m_overLong = false;
};
