// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"

#include <QString>

class QIODevice;

// The output of list and search, written to a device as the records come
// (DbTool gives it a temporary file, so that a failure halfway prints
// nothing and the collection is free before the output is shown), in
// pieces of about 64 KiB. Every record carries its number
// (the row id, which never changes while the record exists), author, topic
// and quotation.
// - texto: one block per record: "Frase N · TEMA", the quotation as stored,
//   a line "\t\t-- autor", and a blank line;
// - tsv: a header line, then one line per record: numero, autor, tema,
//   frase; tab, CR, LF and backslash written \t, \r, \n, \\; a record
//   without a topic has \N there;
// - csv: the same columns, quoted as the export's CSV (a record without a
//   topic has an empty, unquoted field);
// - json: an array of objects {"numero", "autor", "tema", "frase"}, with
//   null for a missing topic.
class RecordListing {
public:
    enum class Format { Text, Tsv, Csv, Json };

    // "texto", "tsv", "csv" or "json".
    static bool parseFormat(const QString &name, Format *format);

    // The output goes to OUT, in UTF-8.
    RecordListing(Format format, QIODevice *out);

    void add(const QuoteRecord &record);
    qint64 count() const { return m_count; }
    // Writes the end of the output; an empty listing is empty in texto, a
    // header alone in tsv and csv, and [] in json. False when OUT refused
    // any of it (OUT's error string says why); after a refusal nothing more
    // is written.
    bool finish();

    static QString tsvField(const QString &value);
    static QString jsonString(const QString &value);

private:
    void flush();

    Format m_format;
    QIODevice *m_out;
    // What is not written yet.
    QString m_text;
    qint64 m_count = 0;
    bool m_failed = false;
};
