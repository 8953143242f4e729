#include "CsvReader.h"

#include "SourceFile.h"

namespace {

struct Field {
    QString value;
    bool quoted = false;
};

class Scanner {
public:
    explicit Scanner(const QString &text)
        : m_text(text)
    {
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    int line() const { return m_line; }

    // One record; false with *error set on malformed input.
    bool next(QList<Field> *fields, QString *error)
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
            if (ch == QLatin1Char(',')) {
                ++m_pos;
                continue;
            }
            // readField stops only at a comma, a line end or the end.
            if (ch == QLatin1Char('\r'))
                ++m_pos;
            ++m_pos;
            ++m_line;
            return true;
        }
    }

private:
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
            if (ch == QLatin1Char(',') || isLineEnd(m_pos))
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
        const int openedAt = m_line;
        ++m_pos; // opening quote
        QString value;
        for (;;) {
            const qsizetype quote = m_text.indexOf(QLatin1Char('"'), m_pos);
            if (quote < 0) {
                *error = QStringLiteral("línea %1: comillas sin cerrar").arg(openedAt);
                return false;
            }
            const QStringView part = QStringView(m_text).mid(m_pos, quote - m_pos);
            m_line += int(part.count(QLatin1Char('\n')));
            value += part;
            m_pos = quote + 1;
            if (!atEnd() && m_text.at(m_pos) == QLatin1Char('"')) {
                value += QLatin1Char('"');
                ++m_pos;
                continue;
            }
            break;
        }
        if (!atEnd() && m_text.at(m_pos) != QLatin1Char(',') && !isLineEnd(m_pos)) {
            *error = QStringLiteral("línea %1: texto después de las comillas de cierre").arg(m_line);
            return false;
        }
        field->value = value;
        field->quoted = true;
        return true;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
};

bool isBlankLine(const QList<Field> &fields)
{
    return fields.size() == 1 && !fields.at(0).quoted && fields.at(0).value.isEmpty();
}

} // namespace

bool CsvReader::read(const QString &text, QList<QuoteRecord> *records, QString *error)
{
    Scanner scanner(text);
    QList<Field> fields;
    if (!scanner.next(&fields, error))
        return false;
    QStringList header;
    for (const Field &field : std::as_const(fields))
        header << field.value;
    if (header.join(QLatin1Char(',')) != QLatin1String(SourceFile::CsvHeader)) {
        *error = QStringLiteral("la primera línea debe ser %1").arg(QLatin1String(SourceFile::CsvHeader));
        return false;
    }

    QList<QuoteRecord> found;
    while (!scanner.atEnd()) {
        const int line = scanner.line();
        if (!scanner.next(&fields, error))
            return false;
        if (isBlankLine(fields))
            continue;
        if (fields.size() != 3) {
            *error = QStringLiteral("línea %1: se esperaban 3 campos (autor, frace, tema) y hay %2")
                         .arg(line)
                         .arg(fields.size());
            return false;
        }
        QuoteRecord record;
        record.autor = fields.at(0).value;
        record.frace = fields.at(1).value;
        record.tema = fields.at(2).value;
        record.temaIsNull = record.tema.isEmpty() && !fields.at(2).quoted;
        found << record;
    }
    *records = found;
    return true;
}
