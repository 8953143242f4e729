#include "FortuneWriter.h"

#include "FortuneParser.h"

#include <QStringList>

namespace {

// A line the parser keeps as it is, wherever it stands: no blank at its
// end, and nothing that reads as an escape, a separator or an attribution.
bool safe(const QString &line)
{
    // A byte-order mark at the very start of a file is dropped on reading.
    if (line.isEmpty() || line.back().isSpace() || line.startsWith(QLatin1Char('\\')) || line == QLatin1String("%")
        || line.startsWith(QChar(0xFEFF)))
        return false;
    const QString text = line.trimmed();
    if (text.startsWith(QLatin1String("--")))
        return false;
    return !(FortuneParser::indentColumns(line) > 0 && FortuneParser::isDash(text.at(0)));
}

// After a blank line the parser starts a paragraph with the line as it is,
// provided it is not indented by a single column (which it would trim).
bool opensParagraph(const QString &line)
{
    const int indent = FortuneParser::indentColumns(line);
    return safe(line) && (indent == 0 || indent >= 2);
}

// Right after another line the parser keeps the line on its own only when
// it is indented or starts a dialogue.
bool keepsOwnLine(const QString &line)
{
    const int indent = FortuneParser::indentColumns(line);
    return safe(line) && (indent >= 2 || (indent == 0 && FortuneParser::isDash(line.at(0))));
}

} // namespace

QString FortuneWriter::record(const QuoteRecord &record)
{
    QString text;
    const QStringList lines = record.frace.split(QLatin1Char('\n'));
    bool blankWrittenPlain = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        bool plain = false;
        if (line.isEmpty())
            plain = i > 0 && !lines.at(i - 1).isEmpty() && i + 1 < lines.size() && opensParagraph(lines.at(i + 1));
        else if (i == 0 || (lines.at(i - 1).isEmpty() && blankWrittenPlain))
            plain = opensParagraph(line);
        else
            plain = keepsOwnLine(line);
        blankWrittenPlain = line.isEmpty() && plain;
        if (!plain)
            text += QLatin1Char('\\');
        text += line;
        text += QLatin1Char('\n');
    }
    QString autor = record.autor.simplified();
    if (autor.isEmpty())
        autor = FortuneParser::anonymous();
    text += QLatin1String("\t\t-- ");
    if (FortuneParser::authorName(autor) != autor || autor.startsWith(QLatin1Char('\\')))
        text += QLatin1Char('\\');
    text += autor + QLatin1Char('\n');
    text += QLatin1String("%\n");
    return text;
}
