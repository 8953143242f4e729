// SPDX-License-Identifier: GPL-3.0-or-later
#include "CsvWriter.h"

#include "SourceFile.h"

namespace {

QLatin1StringView lineEnd(CsvWriter::LineEnd end)
{
    return end == CsvWriter::LineEnd::CrLf ? QLatin1StringView("\r\n") : QLatin1StringView("\n");
}

} // namespace

QString CsvWriter::header(LineEnd end)
{
    return QLatin1String(SourceFile::CsvHeaderWithIndex) + lineEnd(end);
}

QString CsvWriter::record(const QuoteRecord &record, LineEnd end)
{
    QString index;
    if (record.hasIndex)
        index = record.indexText.isNull() ? QString::number(record.index) : field(record.indexText);
    return field(record.autor, record.autorIsNull) + QLatin1Char(',') + field(record.frace, record.fraceIsNull)
        + QLatin1Char(',') + field(record.tema, record.temaIsNull) + QLatin1Char(',') + index + lineEnd(end);
}

QString CsvWriter::field(const QString &value, bool isNull)
{
    if (isNull)
        return QString();
    const bool needsQuotes = value.isEmpty() || value.front().isSpace() || value.back().isSpace()
        || value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"'))
        || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
    if (!needsQuotes)
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
