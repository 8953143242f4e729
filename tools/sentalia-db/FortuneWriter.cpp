#include "FortuneWriter.h"

#include <QStringList>

QString FortuneWriter::record(const QuoteRecord &record)
{
    QString text;
    const QStringList lines = record.frace.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        // A line of "%" alone would split the record; indented, it does not.
        const bool separator = line.startsWith(QLatin1Char('%')) && line.mid(1).trimmed().isEmpty();
        text += separator ? QLatin1Char(' ') + line : line;
        text += QLatin1Char('\n');
    }
    const QString autor = record.autor.simplified();
    if (!autor.isEmpty())
        text += QLatin1String("\t\t-- ") + autor + QLatin1Char('\n');
    text += QLatin1String("%\n");
    return text;
}
