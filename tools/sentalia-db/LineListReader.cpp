// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineListReader.h"

#include "SourceFile.h"

LineListReader::LineListReader(SourceFile &source, const QString &tema, const QString &autor)
    : m_source(source)
    , m_tema(tema)
    , m_autor(autor)
{
}

bool LineListReader::next(QuoteRecord *record, qint64 *line)
{
    QString raw;
    while (m_source.readLine(&raw)) {
        ++m_line;
        const QStringView text = QStringView(raw).trimmed();
        if (text.isEmpty() || text == QLatin1String("%"))
            continue;
        m_overLong = m_source.lineCut();
        *record = QuoteRecord();
        record->autor = m_autor;
        record->frace = m_overLong ? QString() : text.toString();
        record->tema = m_tema;
        *line = m_line;
        return true;
    }
    return false;
}
