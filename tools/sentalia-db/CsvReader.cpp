// SPDX-License-Identifier: GPL-3.0-or-later
#include "CsvReader.h"

#include "SourceFile.h"

namespace {

struct Field {
    QString value;
    bool quoted = false;
};

// Splits the text of one record into its fields.
class Scanner {
public:
    Scanner(const QString &text, qint64 line, QChar delimiter)
        : m_text(text)
        , m_line(line)
        , m_delimiter(delimiter)
    {
    }

    // False with *error set on malformed input.
    bool fields(QList<Field> *fields, QString *error)
    {
        fields->clear();
        for (;;) {
            Field field;
            if (!readField(&field, error))
                return false;
            fields->append(field);
            if (atEnd())
                return true;
            const QChar ch = m_text.at(m_pos);
            if (ch == m_delimiter) {
                ++m_pos;
                continue;
            }
            // readField stops only at a delimiter, a line end or the end;
            // a record's text ends with its line end.
            return true;
        }
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }

    bool isLineEnd(qsizetype pos) const
    {
        const QChar ch = m_text.at(pos);
        return ch == QLatin1Char('\n')
            || (ch == QLatin1Char('\r') && pos + 1 < m_text.size() && m_text.at(pos + 1) == QLatin1Char('\n'));
    }

    bool readField(Field *field, QString *error)
    {
        if (!atEnd() && m_text.at(m_pos) == QLatin1Char('"'))
            return readQuoted(field, error);
        const qsizetype start = m_pos;
        while (!atEnd()) {
            const QChar ch = m_text.at(m_pos);
            if (ch == m_delimiter || isLineEnd(m_pos))
                break;
            if (ch == QLatin1Char('"')) {
                *error = QStringLiteral("línea %1: comilla dentro de un campo sin comillas").arg(m_line);
                return false;
            }
            if (ch == QLatin1Char('\r')) {
                *error = QStringLiteral("línea %1: retorno de carro suelto fuera de comillas").arg(m_line);
                return false;
            }
            ++m_pos;
        }
        field->value = m_text.mid(start, m_pos - start);
        field->quoted = false;
        return true;
    }

    bool readQuoted(Field *field, QString *error)
    {
        const qint64 openedAt = m_line;
        ++m_pos; // opening quote
        QString value;
        for (;;) {
            const qsizetype quote = m_text.indexOf(QLatin1Char('"'), m_pos);
            if (quote < 0) {
                *error = QStringLiteral("línea %1: comillas sin cerrar").arg(openedAt);
                return false;
            }
            const QStringView part = QStringView(m_text).mid(m_pos, quote - m_pos);
            m_line += part.count(QLatin1Char('\n'));
            value += part;
            m_pos = quote + 1;
            if (!atEnd() && m_text.at(m_pos) == QLatin1Char('"')) {
                value += QLatin1Char('"');
                ++m_pos;
                continue;
            }
            break;
        }
        if (!atEnd() && m_text.at(m_pos) != m_delimiter && !isLineEnd(m_pos)) {
            *error = QStringLiteral("línea %1: texto después de las comillas de cierre").arg(m_line);
            return false;
        }
        // Spreadsheets write the line breaks of a cell as CR LF, older
        // programs as a lone CR; the collection keeps LF, as the program
        // and fortune import do.
        if (value.contains(QLatin1Char('\r'))) {
            value.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            value.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        }
        field->value = value;
        field->quoted = true;
        return true;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    qint64 m_line;
    QChar m_delimiter;
};

bool isBlankLine(const QList<Field> &fields)
{
    return fields.size() == 1 && !fields.at(0).quoted && fields.at(0).value.isEmpty();
}

bool isNull(const Field &field)
{
    return !field.quoted && field.value.isEmpty();
}

} // namespace

CsvReader::CsvReader(SourceFile &source)
    : m_source(source)
{
}

bool CsvReader::nextRecordText(QString *text, QString *error)
{
    text->clear();
    m_recordLines = 0;
    m_overLong = false;
    qint64 quotes = 0;
    QString line;
    while (m_source.readLine(&line)) {
        quotes += line.count(QLatin1Char('"')) + m_source.quotesCut();
        if (line.endsWith(QLatin1Char('\n')))
            ++m_recordLines;
        m_overLong = m_overLong || m_source.lineCut() || text->size() + line.size() > SourceFile::LineLimit;
        if (m_overLong)
            text->clear();
        else
            *text += line;
        if (quotes % 2 == 0)
            return true;
    }
    if (!m_source.error().isEmpty()) {
        *error = m_source.error();
        return false;
    }
    return !text->isEmpty() || m_overLong;
}

bool CsvReader::isHeader(QStringView line, QChar *delimiter, bool *hasIndex)
{
    if (line.startsWith(QChar(0xFEFF)))
        line = line.mid(1);
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    const QString text = line.toString();
    for (const QChar candidate : {QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')}) {
        Scanner scanner(text, 1, candidate);
        QList<Field> fields;
        QString ignored;
        if (!scanner.fields(&fields, &ignored))
            continue;
        QStringList names;
        for (const Field &field : std::as_const(fields))
            names << field.value;
        const QString joined = names.join(QLatin1Char(','));
        const bool withIndex = joined == QLatin1String(SourceFile::CsvHeaderWithIndex);
        if (withIndex || joined == QLatin1String(SourceFile::CsvHeader)) {
            if (delimiter)
                *delimiter = candidate;
            if (hasIndex)
                *hasIndex = withIndex;
            return true;
        }
    }
    return false;
}

bool CsvReader::readHeader(QString *error)
{
    error->clear();
    QString text;
    if (!nextRecordText(&text, error)) {
        if (error->isEmpty())
            *error = QStringLiteral("la primera línea debe ser %1").arg(QLatin1String(SourceFile::CsvHeader));
        return false;
    }
    m_line += m_recordLines;
    if (!isHeader(text, &m_delimiter, &m_hasIndex)) {
        *error = QStringLiteral("la primera línea debe ser %1 (o %2), con comas, puntos y comas o tabuladores "
                                "entre los nombres")
                     .arg(QLatin1String(SourceFile::CsvHeader), QLatin1String(SourceFile::CsvHeaderWithIndex));
        return false;
    }
    return true;
}

bool CsvReader::next(QuoteRecord *record, qint64 *line, QString *error)
{
    error->clear();
    const qsizetype expected = m_hasIndex ? 4 : 3;
    QString text;
    QList<Field> fields;
    for (;;) {
        if (!nextRecordText(&text, error))
            return false;
        const qint64 start = m_line;
        m_line += m_recordLines;
        if (m_overLong) {
            *record = QuoteRecord();
            *line = start;
            return true;
        }
        Scanner scanner(text, start, m_delimiter);
        if (!scanner.fields(&fields, error))
            return false;
        if (isBlankLine(fields))
            continue;
        if (fields.size() != expected) {
            *error = m_hasIndex
                ? QStringLiteral("línea %1: se esperaban 4 campos (autor, frace, tema, Index) y hay %2")
                      .arg(start)
                      .arg(fields.size())
                : QStringLiteral("línea %1: se esperaban 3 campos (autor, frace, tema) y hay %2")
                      .arg(start)
                      .arg(fields.size());
            return false;
        }
        QuoteRecord found;
        found.autor = fields.at(0).value;
        found.frace = fields.at(1).value;
        found.tema = fields.at(2).value;
        found.temaIsNull = isNull(fields.at(2));
        if (m_hasIndex) {
            found.autorIsNull = isNull(fields.at(0));
            found.fraceIsNull = isNull(fields.at(1));
            const QString index = fields.at(3).value.trimmed();
            if (!index.isEmpty()) {
                bool ok = false;
                found.index = index.toLongLong(&ok);
                if (!ok) {
                    *error = QStringLiteral("línea %1: Index debe ser un número entero o quedar vacío, no «%2»")
                                 .arg(start)
                                 .arg(fields.at(3).value);
                    return false;
                }
                found.hasIndex = true;
            }
        }
        *record = found;
        *line = start;
        return true;
    }
}

bool CsvReader::read(const QString &text, QList<QuoteRecord> *records, QString *error)
{
    SourceFile source(text);
    CsvReader reader(source);
    if (!reader.readHeader(error))
        return false;
    QList<QuoteRecord> found;
    QuoteRecord record;
    qint64 line = 0;
    while (reader.next(&record, &line, error))
        found << record;
    if (!error->isEmpty())
        return false;
    *records = found;
    return true;
}
