// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordListing.h"

#include "TerminalText.h"

#include "CsvWriter.h"

#include <QIODevice>

namespace {

// Characters held before they are written: about 64 KiB of UTF-8 for
// Spanish text.
constexpr qsizetype FlushAt = 48 * 1024;

const char *const Columns[] = {"numero", "autor", "tema", "frase"};

QString header(QChar separator)
{
    QString line;
    for (const char *column : Columns) {
        if (!line.isEmpty())
            line += separator;
        line += QLatin1String(column);
    }
    return line + QLatin1Char('\n');
}

} // namespace

bool RecordListing::parseFormat(const QString &name, Format *format)
{
    if (name == QLatin1String("texto"))
        *format = Format::Text;
    else if (name == QLatin1String("tsv"))
        *format = Format::Tsv;
    else if (name == QLatin1String("csv"))
        *format = Format::Csv;
    else if (name == QLatin1String("json"))
        *format = Format::Json;
    else
        return false;
    return true;
}

RecordListing::RecordListing(Format format, QIODevice *out)
    : m_format(format)
    , m_out(out)
{
    if (m_format == Format::Tsv)
        m_text = header(QLatin1Char('\t'));
    else if (m_format == Format::Csv)
        m_text = header(QLatin1Char(','));
    else if (m_format == Format::Json)
        m_text = QStringLiteral("[");
}

void RecordListing::add(const QuoteRecord &record)
{
    const QString number = QString::number(record.id);
    switch (m_format) {
    case Format::Text:
        m_text += QStringLiteral("Frase %1 · %2\n").arg(number, record.temaIsNull ? QStringLiteral("(sin tema)") : record.tema);
        m_text += record.frace;
        m_text += QLatin1String("\n\t\t-- ");
        m_text += record.autor;
        m_text += QLatin1String("\n\n");
        break;
    case Format::Tsv:
        m_text += number + QLatin1Char('\t') + tsvField(record.autor) + QLatin1Char('\t')
            + (record.temaIsNull ? QStringLiteral("\\N") : tsvField(record.tema)) + QLatin1Char('\t')
            + tsvField(record.frace) + QLatin1Char('\n');
        break;
    case Format::Csv:
        m_text += number + QLatin1Char(',') + CsvWriter::field(record.autor) + QLatin1Char(',')
            + CsvWriter::field(record.tema, record.temaIsNull) + QLatin1Char(',') + CsvWriter::field(record.frace)
            + QLatin1Char('\n');
        break;
    case Format::Json:
        m_text += QLatin1String(m_count == 0 ? "\n  {" : ",\n  {");
        m_text += QStringLiteral("\"numero\": %1, \"autor\": %2, \"tema\": %3, \"frase\": %4}")
                      .arg(number, jsonString(record.autor),
                           record.temaIsNull ? QStringLiteral("null") : jsonString(record.tema),
                           jsonString(record.frace));
        break;
    }
    ++m_count;
    // Only between records, so no character is ever cut in two.
    if (m_text.size() >= FlushAt)
        flush();
}

void RecordListing::flush()
{
    if (!m_failed && !m_text.isEmpty()) {
        // The plain listing is for the terminal; the other formats are files.
        const QByteArray bytes = m_format == Format::Text ? TerminalText::encode(m_text) : m_text.toUtf8();
        m_failed = m_out->write(bytes) != bytes.size();
    }
    // The capacity stays for the next piece.
    m_text.resize(0);
}

bool RecordListing::finish()
{
    if (m_format == Format::Json)
        m_text += QLatin1String(m_count == 0 ? "]\n" : "\n]\n");
    flush();
    return !m_failed;
}

QString RecordListing::tsvField(const QString &value)
{
    QString field;
    field.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            field += QLatin1String("\\\\");
            break;
        case '\t':
            field += QLatin1String("\\t");
            break;
        case '\r':
            field += QLatin1String("\\r");
            break;
        case '\n':
            field += QLatin1String("\\n");
            break;
        default:
            field += c;
        }
    }
    return field;
}

QString RecordListing::jsonString(const QString &value)
{
    QString text = QStringLiteral("\"");
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u == '"')
            text += QLatin1String("\\\"");
        else if (u == '\\')
            text += QLatin1String("\\\\");
        else if (u == '\n')
            text += QLatin1String("\\n");
        else if (u == '\r')
            text += QLatin1String("\\r");
        else if (u == '\t')
            text += QLatin1String("\\t");
        else if (u < 0x20 || u == 0x2028 || u == 0x2029)
            text += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text + QLatin1Char('"');
}
