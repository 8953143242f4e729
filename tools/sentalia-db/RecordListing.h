#pragma once

#include "store/QuoteRecord.h"

#include <QByteArray>
#include <QString>

// The output of list and search, built in memory before anything is written,
// so that a failure halfway prints nothing. Every record carries its number
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

    explicit RecordListing(Format format);

    void add(const QuoteRecord &record);
    qint64 count() const { return m_count; }
    // The whole output, UTF-8; an empty listing is empty in texto, a
    // header alone in tsv and csv, and [] in json.
    QByteArray finish();

    static QString tsvField(const QString &value);
    static QString jsonString(const QString &value);

private:
    Format m_format;
    QString m_text;
    qint64 m_count = 0;
};
