// SPDX-License-Identifier: GPL-3.0-or-later
#include "FortuneWriter.h"

#include "FortuneParser.h"

#include <QList>
#include <QStringList>

namespace {

constexpr QChar Mark = QLatin1Char('\t');

// A line the parser reads as it stands wherever it is (what comes before
// and after it aside): nothing at its end or start that it trims.
bool readsAsItStands(const QString &line)
{
    if (line.back().isSpace() || line.startsWith(QLatin1Char('\\')))
        return false;
    const int indent = FortuneParser::indentColumns(line);
    return indent >= 2 || (indent == 0 && !line.front().isSpace());
}

// Right after another line the parser keeps the line on its own only when
// it is indented or starts a dialogue.
bool keepsOwnLine(const QString &line)
{
    const int indent = FortuneParser::indentColumns(line);
    return indent >= 2 || (indent == 0 && FortuneParser::isDash(line.front()));
}

QString text(const QStringList &lines, const QList<bool> &marked, const QList<bool> &literal)
{
    QString out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (literal.at(i))
            out += QLatin1Char('\\');
        out += lines.at(i);
        if (marked.at(i))
            out += Mark;
        out += QLatin1Char('\n');
    }
    return out;
}

bool readsBack(const QString &written, const QuoteRecord &record, const QString &autor)
{
    const QList<QuoteRecord> read = FortuneParser::parse(written, QString());
    return read.size() == 1 && read.constFirst().frace == record.frace && read.constFirst().autor == autor;
}

} // namespace

QString FortuneWriter::record(const QuoteRecord &record)
{
    const QStringList lines = record.frace.split(QLatin1Char('\n'));
    QList<bool> marked(lines.size(), false);
    QList<bool> literal(lines.size(), false);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.isEmpty()) {
            // One empty line between two lines is a paragraph break; any
            // other is kept by a lone tab.
            marked[i] = i == 0 || i + 1 == lines.size() || lines.at(i - 1).isEmpty();
        } else if (FortuneParser::isSeparator(line) || line.front() == QChar(0xFEFF)) {
            // A byte-order mark at the very start of a file is dropped on
            // reading, and "%" with blanks is a separator even with a tab.
            if (line == QLatin1String("%"))
                marked[i] = true;
            else
                literal[i] = true;
        } else {
            marked[i] = !readsAsItStands(line);
        }
    }
    // A line the parser would join to the one above gets its own line.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines.at(i).isEmpty() || lines.at(i - 1).isEmpty() || marked.at(i) || marked.at(i - 1))
            continue;
        if (literal.at(i - 1) || literal.at(i))
            marked[i] = !literal.at(i);
        else if (!keepsOwnLine(lines.at(i)))
            marked[i - 1] = true;
    }

    QString autor = record.autor;
    for (QChar &ch : autor) {
        if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r') || ch == QLatin1Char('\t'))
            ch = QLatin1Char(' ');
    }
    if (autor.trimmed().isEmpty())
        autor = FortuneParser::anonymous();

    const QString body = text(lines, marked, literal);
    const QString attribution = QLatin1String("\t\t-- ") + autor;
    QString written = body + attribution + QLatin1String("\n%\n");
    if (readsBack(written, record, autor))
        return written;
    written = body + attribution + Mark + QLatin1String("\n%\n");
    if (readsBack(written, record, autor))
        return written;
    // Not reached with any text seen so far: every line as it stands.
    return text(lines, QList<bool>(lines.size(), false), QList<bool>(lines.size(), true)) + attribution + Mark
        + QLatin1String("\n%\n");
}
