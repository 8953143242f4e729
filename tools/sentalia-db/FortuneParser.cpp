#include "FortuneParser.h"

#include "store/TextRules.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

int indentColumns(QStringView line)
{
    int columns = 0;
    for (QChar ch : line) {
        if (ch == QLatin1Char(' '))
            ++columns;
        else if (ch == QLatin1Char('\t'))
            columns = (columns / 8 + 1) * 8;
        else
            break;
    }
    return columns;
}

bool isBlank(const QString &line)
{
    return line.trimmed().isEmpty();
}

QString trimmedRight(const QString &line)
{
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace())
        --end;
    return line.left(end);
}

QString trimmedLeft(const QString &line)
{
    qsizetype start = 0;
    while (start < line.size() && line.at(start).isSpace())
        ++start;
    return line.mid(start);
}

bool isDash(QChar ch)
{
    return ch == QLatin1Char('-') || ch == QChar(0x2013) || ch == QChar(0x2014);
}

bool startsWithDash(const QString &text)
{
    return !text.isEmpty() && isDash(text.at(0));
}

// A line that opens an attribution: "--" anywhere, or an indented dash.
bool opensAttribution(const QString &line)
{
    const QString text = trimmedLeft(line);
    if (text.startsWith(QLatin1String("--")))
        return true;
    return indentColumns(line) > 0 && startsWithDash(text);
}

// Words that end in a period without ending the name.
bool isInitials(const QString &word)
{
    static const QRegularExpression initials(QStringLiteral("^(\\p{L}\\.)+$"));
    return initials.match(word).hasMatch();
}

bool isTitle(const QString &word)
{
    static const QStringList titles = {
        QStringLiteral("Dr"),   QStringLiteral("Dra"),  QStringLiteral("Sr"),   QStringLiteral("Sra"),
        QStringLiteral("Srta"), QStringLiteral("Sto"),  QStringLiteral("Sta"),  QStringLiteral("St"),
        QStringLiteral("Fr"),   QStringLiteral("Gral"), QStringLiteral("Ing"),  QStringLiteral("Lic"),
        QStringLiteral("Prof"), QStringLiteral("Mons"), QStringLiteral("Mr"),   QStringLiteral("Mrs"),
        QStringLiteral("Ms"),   QStringLiteral("Mme"),  QStringLiteral("Pbro"), QStringLiteral("Dña"),
        QStringLiteral("Hno"),  QStringLiteral("Da"),
    };
    return titles.contains(word);
}

} // namespace

QString FortuneParser::anonymous()
{
    return QStringLiteral("Anónimo");
}

QList<QuoteRecord> FortuneParser::parse(const QString &text, const QString &tema, const QString &autor)
{
    QList<QuoteRecord> records;
    QStringList lines;
    const auto flush = [&] {
        QuoteRecord record;
        if (parseRecord(lines, tema, autor, &record))
            records << record;
        lines.clear();
    };
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // "%" with trailing blanks separates too: fortunes-es has a few.
        if (line.startsWith(QLatin1Char('%')) && line.mid(1).trimmed().isEmpty())
            flush();
        else
            lines << line.toString();
    }
    flush();
    return records;
}

bool FortuneParser::parseRecord(QStringList lines, const QString &tema, const QString &autor, QuoteRecord *record)
{
    while (!lines.isEmpty() && isBlank(lines.constLast()))
        lines.removeLast();
    while (!lines.isEmpty() && isBlank(lines.constFirst()))
        lines.removeFirst();
    if (lines.isEmpty())
        return false;

    // The trailing run of indented (or "--") lines.
    qsizetype run = lines.size();
    while (run > 0) {
        const QString &line = lines.at(run - 1);
        if (isBlank(line) || (indentColumns(line) == 0 && !trimmedLeft(line).startsWith(QLatin1String("--"))))
            break;
        --run;
    }
    qsizetype start = -1;
    for (qsizetype i = run; i < lines.size(); ++i) {
        if (opensAttribution(lines.at(i))) {
            start = i;
            break;
        }
    }
    // A block that is only indented needs some text above it.
    if (start < 0 && run > 0 && run < lines.size() && indentColumns(lines.at(run)) >= 8) {
        const QString first = lines.at(run).trimmed();
        if (first.at(0).isUpper())
            start = run;
    }

    QString name;
    QStringList body = lines;
    if (start >= 0) {
        QStringList attribution;
        for (qsizetype i = start; i < lines.size(); ++i)
            attribution << lines.at(i).trimmed();
        name = authorName(attribution.join(QLatin1Char(' ')));
        body = lines.mid(0, start);
    } else {
        // "Bromeo luego existo. -- Groucho Marx --"
        static const QRegularExpression inlineAttribution(
            QStringLiteral("\\s--\\s*([^-\\s](?:(?!--).)*?)\\s*--\\.?\\s*$"));
        const QRegularExpressionMatch match = inlineAttribution.match(body.constLast());
        if (match.hasMatch()) {
            const QString before = body.constLast().left(match.capturedStart());
            if (!isBlank(before)) {
                name = authorName(match.captured(1));
                body.last() = before;
            }
        }
    }
    if (name.isEmpty())
        name = autor.isEmpty() ? anonymous() : autor;

    record->autor = name;
    record->frace = joinBody(body);
    record->tema = tema;
    record->temaIsNull = false;
    record->hasIndex = false;
    record->index = 0;
    return true;
}

QString FortuneParser::joinBody(const QStringList &lines)
{
    QString text;
    bool paragraphBreak = false;
    for (const QString &raw : lines) {
        const QString line = trimmedRight(raw);
        if (line.isEmpty()) {
            paragraphBreak = !text.isEmpty();
            continue;
        }
        const QString bare = trimmedLeft(line);
        const bool keepsIndent = indentColumns(line) >= 2;
        const QString piece = keepsIndent ? line : bare;
        if (text.isEmpty())
            text = piece;
        else if (paragraphBreak)
            text += QLatin1String("\n\n") + piece;
        else if (keepsIndent || startsWithDash(bare))
            text += QLatin1Char('\n') + piece;
        else
            text += QLatin1Char(' ') + piece;
        paragraphBreak = false;
    }
    return text;
}

QString FortuneParser::authorName(const QString &attribution)
{
    QString text = attribution.simplified();
    while (!text.isEmpty() && isDash(text.at(0)))
        text.remove(0, 1);
    // A closing "--" as in "-- Groucho Marx --".
    static const QRegularExpression closing(QStringLiteral("\\s*[-\\x{2013}\\x{2014}]{2,}\\.?$"));
    text.remove(closing);
    text = text.trimmed();

    // The name ends before a parenthesis, a comma or a semicolon...
    static const QRegularExpression stop(QStringLiteral("\\s\\(|[,;]"));
    const QRegularExpressionMatch match = stop.match(text);
    if (match.hasMatch())
        text.truncate(match.capturedStart());

    // ...or with the period that closes a word.
    QStringList name;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word.endsWith(QLatin1Char('.'))) {
            QString core = word;
            while (core.endsWith(QLatin1Char('.')))
                core.chop(1);
            if (core.isEmpty())
                break;
            if (isInitials(word) || isTitle(core)) {
                name << word;
                continue;
            }
            name << core;
            break;
        }
        name << word;
    }
    return name.join(QLatin1Char(' ')).trimmed();
}

QString FortuneParser::topicForFile(const QString &path)
{
    const QString fileName = QFileInfo(path).fileName();
    const qsizetype dot = fileName.indexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? fileName.left(dot) : fileName;
    return TextRules::upperTopic(base);
}
