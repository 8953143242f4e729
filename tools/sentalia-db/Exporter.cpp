// SPDX-License-Identifier: GPL-3.0-or-later
#include "Exporter.h"

#include "CsvWriter.h"
#include "FortuneWriter.h"

#include "store/Interruption.h"
#include "store/QuoteStore.h"
#include "store/TextRules.h"

#include <QIODevice>

Exporter::Exporter(QuoteStore &store, Format format)
    : m_store(store)
    , m_format(format)
{
}

bool Exporter::run(QIODevice *out)
{
    m_written = 0;
    m_skippedEmpty = 0;
    QByteArray buffer;
    bool writeFailed = false;
    const auto flush = [&] {
        if (!writeFailed && !buffer.isEmpty() && out->write(buffer) != buffer.size())
            writeFailed = true;
        buffer.clear();
    };
    const QString topicKey = m_topic.isEmpty() ? QString() : TextRules::topicKey(m_topic);

    const bool csv = m_format != Format::Fortune;
    const CsvWriter::LineEnd lineEnd = m_format == Format::CsvExcel ? CsvWriter::LineEnd::CrLf : CsvWriter::LineEnd::Lf;
    if (m_format == Format::CsvExcel)
        buffer += "\xEF\xBB\xBF";
    if (csv)
        buffer += CsvWriter::header(lineEnd).toUtf8();
    const bool read = m_store.forEachRecord([&](const QuoteRecord &record) {
        // The caller sees the interruption and stops; the rest is skipped.
        if (Interruption::requested())
            return;
        if (!topicKey.isEmpty() && (record.temaIsNull || TextRules::topicKey(record.tema) != topicKey))
            return;
        if (m_format == Format::Fortune && record.frace.trimmed().isEmpty()) {
            ++m_skippedEmpty;
            return;
        }
        buffer += (csv ? CsvWriter::record(record, lineEnd) : FortuneWriter::record(record)).toUtf8();
        ++m_written;
        if (buffer.size() >= 64 * 1024)
            flush();
    });
    flush();
    if (!read) {
        m_error = m_store.lastError();
        return false;
    }
    if (writeFailed) {
        m_error = QStringLiteral("no se pudo escribir la salida: %1").arg(out->errorString());
        return false;
    }
    return true;
}
