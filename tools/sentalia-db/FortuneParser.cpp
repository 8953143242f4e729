#include "FortuneParser.h"

#include "SourceFile.h"

#include "store/TextRules.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

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

bool startsWithDash(const QString &text)
{
    return !text.isEmpty() && FortuneParser::isDash(text.at(0));
}

// A line that opens an attribution: "--" anywhere, or an indented dash,
// followed by some name (a line of dashes is a drawing).
bool opensAttribution(const QString &line)
{
    const QString text = trimmedLeft(line);
    if (!text.startsWith(QLatin1String("--")) && !(FortuneParser::indentColumns(line) > 0 && startsWithDash(text)))
        return false;
    for (QChar ch : text) {
        if (ch.isLetterOrNumber())
            return true;
    }
    return false;
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
    return TextRules::anonymous();
}

FortuneParser::FortuneParser(SourceFile &source, const QString &tema, const QString &autor)
    : m_source(source)
    , m_tema(tema)
    , m_autor(autor)
{
}

bool FortuneParser::next(QuoteRecord *record, qint64 *line)
{
    QStringList lines;
    qint64 firstLine = 0;
    qint64 kept = 0;
    m_overLong = false;
    QString raw;
    for (;;) {
        const bool more = m_source.readLine(&raw);
        if (more) {
            ++m_line;
            QStringView text(raw);
            if (text.endsWith(QLatin1Char('\n')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('\r')))
                text.chop(1);
            // "%" with trailing blanks separates too: fortunes-es has a few.
            if (!(text.startsWith(QLatin1Char('%')) && text.mid(1).trimmed().isEmpty())) {
                if (firstLine == 0 && !isBlank(text.toString()))
                    firstLine = m_line;
                kept += text.trimmed().size();
                m_overLong = m_overLong || m_source.lineCut() || kept > SourceFile::LineLimit;
                if (m_overLong)
                    lines.clear();
                else
                    lines << text.toString();
                continue;
            }
        }
        if (m_overLong) {
            *record = QuoteRecord();
            record->tema = m_tema;
            *line = firstLine;
            return true;
        }
        if (parseRecord(lines, m_tema, m_autor, record)) {
            *line = firstLine;
            return true;
        }
        if (!more)
            return false;
        lines.clear();
        firstLine = 0;
    }
}

QList<QuoteRecord> FortuneParser::parse(const QString &text, const QString &tema, const QString &autor)
{
    SourceFile source(text);
    FortuneParser parser(source, tema, autor);
    QList<QuoteRecord> records;
    QuoteRecord record;
    qint64 line = 0;
    while (parser.next(&record, &line))
        records << record;
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
        if (isBlank(line) || isLiteral(line)
            || (FortuneParser::indentColumns(line) == 0 && !trimmedLeft(line).startsWith(QLatin1String("--"))))
            break;
        --run;
    }
    // The attribution is the last block in it that opens with a dash: a
    // dash line above it ("-- he hates all creative people equally.") is
    // still the quotation's.
    qsizetype start = -1;
    for (qsizetype i = lines.size() - 1; i >= run; --i) {
        if (opensAttribution(lines.at(i))) {
            start = i;
            break;
        }
    }
    // A record that is nothing but a line starting with dashes at the left
    // margin ("-------> No corte aquí") is a quotation, not an author.
    if (start == 0 && FortuneParser::indentColumns(lines.at(0)) == 0)
        start = -1;
    // A block that is only indented counts when it reads as a name, and
    // needs some text above it.
    if (start < 0 && run > 0 && run < lines.size() && FortuneParser::indentColumns(lines.at(run)) >= 8) {
        QStringList block;
        for (qsizetype i = run; i < lines.size(); ++i)
            block << lines.at(i).trimmed();
        if (readsAsName(block.join(QLatin1Char(' '))))
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
    } else if (!isLiteral(body.constLast())) {
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

    *record = QuoteRecord();
    record->autor = name;
    record->frace = joinBody(body);
    record->tema = tema;
    return true;
}

QString FortuneParser::joinBody(const QStringList &lines)
{
    QString text;
    bool started = false;
    bool paragraphBreak = false;
    for (const QString &raw : lines) {
        if (isLiteral(raw)) {
            if (started)
                text += paragraphBreak ? QLatin1String("\n\n") : QLatin1String("\n");
            text += QStringView(raw).mid(1);
            started = true;
            paragraphBreak = false;
            continue;
        }
        const QString line = trimmedRight(raw);
        if (line.isEmpty()) {
            paragraphBreak = started;
            continue;
        }
        const QString bare = trimmedLeft(line);
        const bool keepsIndent = FortuneParser::indentColumns(line) >= 2;
        const QString piece = keepsIndent ? line : bare;
        if (!started)
            text = piece;
        else if (paragraphBreak)
            text += QLatin1String("\n\n") + piece;
        else if (keepsIndent || startsWithDash(bare))
            text += QLatin1Char('\n') + piece;
        else
            text += QLatin1Char(' ') + piece;
        started = true;
        paragraphBreak = false;
    }
    return text;
}

bool FortuneParser::isLiteral(const QString &line)
{
    return line.startsWith(QLatin1Char('\\'));
}

bool FortuneParser::readsAsName(const QString &text)
{
    static const QStringList particles = {
        QStringLiteral("de"),  QStringLiteral("del"), QStringLiteral("la"),  QStringLiteral("las"),
        QStringLiteral("los"), QStringLiteral("el"),  QStringLiteral("y"),   QStringLiteral("e"),
        QStringLiteral("i"),   QStringLiteral("da"),  QStringLiteral("das"), QStringLiteral("do"),
        QStringLiteral("dos"), QStringLiteral("di"),  QStringLiteral("du"),  QStringLiteral("des"),
        QStringLiteral("le"),  QStringLiteral("van"), QStringLiteral("von"), QStringLiteral("der"),
        QStringLiteral("den"), QStringLiteral("ter"), QStringLiteral("zu"),  QStringLiteral("und"),
        QStringLiteral("of"),  QStringLiteral("the"), QStringLiteral("al"),  QStringLiteral("bin"),
        QStringLiteral("ibn"), QStringLiteral("ben"), QStringLiteral("af"),  QStringLiteral("av"),
    };
    static const QRegularExpression stop(QStringLiteral("[,.(]"));
    const qsizetype end = text.indexOf(stop);
    const QStringList words = text.left(end < 0 ? text.size() : end).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || words.size() > 5)
        return false;
    bool capitalised = false;
    for (const QString &word : words) {
        if (particles.contains(word))
            continue;
        // Names are made of letters, with hyphens, apostrophes and the
        // period of an initial; "Progress:" or "[Note" is no name.
        for (QChar ch : word) {
            if (!ch.isLetter() && !ch.isMark() && ch != QLatin1Char('-') && ch != QLatin1Char('\'')
                && ch != QChar(0x2019) && ch != QLatin1Char('.'))
                return false;
        }
        // "d'Ors", "O'Brien": the letter after an apostrophe counts.
        const qsizetype apostrophe = word.indexOf(QLatin1Char('\''));
        const QString core = apostrophe >= 0 && apostrophe <= 2 ? word.mid(apostrophe + 1) : word;
        if (core.isEmpty() || !core.at(0).isUpper())
            return false;
        capitalised = true;
    }
    return capitalised;
}

QString FortuneParser::authorName(const QString &attribution)
{
    QString text = attribution.simplified();
    while (!text.isEmpty() && FortuneParser::isDash(text.at(0)))
        text.remove(0, 1);
    text = text.trimmed();
    // "-- \\Séneca, el joven": written by the exporter, the name as it stands.
    if (text.startsWith(QLatin1Char('\\')))
        return text.mid(1).trimmed();
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

int FortuneParser::indentColumns(QStringView line)
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

bool FortuneParser::isDash(QChar ch)
{
    return ch == QLatin1Char('-') || ch == QChar(0x2013) || ch == QChar(0x2014);
}
