// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QIODevice;
class QuoteStore;

// Writes a collection in UTF-8, in table order, in a form the importer reads
// back: CSV keeps every record exactly (text, author, topic, Index, NULLs);
// CsvExcel is the same CSV for spreadsheets, with a byte-order mark (without
// it they take the file for their local 8-bit set) and CR LF line ends;
// the fortune form keeps text and author (see FortuneWriter), and the topic
// is given by the file's name (or --tema) when it is imported again, so it
// is written one topic at a time when a topic is chosen.
class Exporter {
public:
    enum class Format { Csv, CsvExcel, Fortune };

    Exporter(QuoteStore &store, Format format);

    // Only the records of this topic (compared as the program compares
    // topics); all records when empty.
    void setTopic(const QString &tema) { m_topic = tema; }

    bool run(QIODevice *out);
    qint64 written() const { return m_written; }
    // Records left out of a fortune file because their quotation is empty.
    qint64 skippedEmpty() const { return m_skippedEmpty; }
    QString lastError() const { return m_error; }

private:
    QuoteStore &m_store;
    Format m_format;
    QString m_topic;
    qint64 m_written = 0;
    qint64 m_skippedEmpty = 0;
    QString m_error;
};
