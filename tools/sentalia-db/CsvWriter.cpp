#include "CsvWriter.h"

#include "SourceFile.h"

QString CsvWriter::header()
{
    return QLatin1String(SourceFile::CsvHeaderWithIndex) + QLatin1Char('\n');
}

QString CsvWriter::record(const QuoteRecord &record)
{
    QString index;
    if (record.hasIndex)
        index = record.indexText.isNull() ? QString::number(record.index) : field(record.indexText);
    return field(record.autor, record.autorIsNull) + QLatin1Char(',') + field(record.frace, record.fraceIsNull)
        + QLatin1Char(',') + field(record.tema, record.temaIsNull) + QLatin1Char(',') + index + QLatin1Char('\n');
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
