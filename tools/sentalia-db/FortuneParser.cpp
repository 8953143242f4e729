// SPDX-License-Identifier: GPL-3.0-or-later
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

// A line in the attribution's form: "--" after optional blanks, or a dash
// after a tab or two blanks or more.
bool hasAttributionForm(const QString &line)
{
    const QString text = trimmedLeft(line);
    return text.startsWith(QLatin1String("--")) || (FortuneParser::indentColumns(line) >= 2 && startsWithDash(text));
}

// A line that opens an attribution: its form, followed by some name (a line
// of dashes is a drawing).
bool opensAttribution(const QString &line)
{
    if (!hasAttributionForm(line))
        return false;
    for (QChar ch : line) {
        if (ch.isLetterOrNumber())
            return true;
    }
    return false;
}

// A line of a dialogue or a list: dashes, then (after blanks) words, not a
// drawing ("-------") or code ("->send", "- (((x)>>3)").
bool isDialogueLine(const QString &line)
{
    const QString text = trimmedLeft(line);
    qsizetype i = 0;
    while (i < text.size() && FortuneParser::isDash(text.at(i)))
        ++i;
    if (i == 0)
        return false;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    if (i == text.size())
        return false;
    const QChar ch = text.at(i);
    return ch.isLetterOrNumber() || QStringView(u"¿¡«\"“'‘").contains(ch);
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
            // "%" and one tab is the exporter's text "%".
            if (!isSeparator(text)) {
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
    // Blank lines around the record go; a lone tab is a marked empty line.
    while (!lines.isEmpty() && isBlank(lines.constLast()) && !endsInMark(lines.constLast()))
        lines.removeLast();
    while (!lines.isEmpty() && isBlank(lines.constFirst()) && !endsInMark(lines.constFirst()))
        lines.removeFirst();
    if (lines.isEmpty())
        return false;

    QString name;
    QString rest;
    QStringList body = lines;
    const QString &last = lines.constLast();
    if (lines.size() > 1 && endsInMark(last) && hasAttributionForm(last)) {
        // Written by the exporter: the author exactly as it stands.
        QStringView text = QStringView(last).chopped(1);
        while (!text.isEmpty() && (text.front() == QLatin1Char(' ') || text.front() == QLatin1Char('\t')))
            text = text.mid(1);
        while (!text.isEmpty() && FortuneParser::isDash(text.front()))
            text = text.mid(1);
        if (text.startsWith(QLatin1Char(' ')))
            text = text.mid(1);
        name = text.toString();
        body.removeLast();
    } else {
        // The trailing run of indented (or "--") lines.
        qsizetype run = lines.size();
        while (run > 0) {
            const QString &line = lines.at(run - 1);
            if (isBlank(line) || isLiteral(line) || endsInMark(line)
                || (FortuneParser::indentColumns(line) == 0 && !trimmedLeft(line).startsWith(QLatin1String("--"))))
                break;
            --run;
        }
        // The last line in it that opens with a dash: a dash line above it
        // ("-- he hates all creative people equally.") is the quotation's.
        qsizetype opener = -1;
        for (qsizetype i = lines.size() - 1; i >= run; --i) {
            if (opensAttribution(lines.at(i))) {
                opener = i;
                break;
            }
        }
        qsizetype start = -1;
        if (opener >= 0) {
            if (isAttributionPlace(lines, opener))
                start = opener;
        } else if (run > 0 && run < lines.size() && FortuneParser::indentColumns(lines.at(run)) >= 8) {
            // A block that is only indented counts when it reads as a name,
            // and needs some text above it.
            QStringList block;
            for (qsizetype i = run; i < lines.size(); ++i)
                block << lines.at(i).trimmed();
            if (readsAsName(block.join(QLatin1Char(' '))))
                start = run;
        }

        if (start >= 0) {
            QStringList attribution;
            for (qsizetype i = start; i < lines.size(); ++i)
                attribution << lines.at(i).trimmed();
            const Attribution parts = splitAttribution(attribution.join(QLatin1Char(' ')));
            if (!parts.name.isEmpty()) {
                name = parts.name;
                rest = parts.rest;
                body = lines.mid(0, start);
            }
        } else if (opener < 0 && !isLiteral(last) && !endsInMark(last)) {
            // "Bromeo luego existo. -- Groucho Marx --"
            static const QRegularExpression inlineAttribution(
                QStringLiteral("\\s--\\s*([^-\\s](?:(?!--).)*?)\\s*--\\.?\\s*$"));
            const QRegularExpressionMatch match = inlineAttribution.match(last);
            if (match.hasMatch()) {
                const QString before = last.left(match.capturedStart());
                const Attribution parts = splitAttribution(match.captured(1));
                if (!isBlank(before) && !parts.name.isEmpty()) {
                    name = parts.name;
                    rest = parts.rest;
                    // Blanks before the dashes are no mark.
                    body.last() = trimmedRight(before);
                }
            }
        }
    }
    if (name.isEmpty())
        name = autor.isEmpty() ? anonymous() : autor;

    *record = QuoteRecord();
    record->autor = name;
    record->frace = joinBody(body);
    if (!rest.isEmpty())
        record->frace += (record->frace.isEmpty() ? QString() : QStringLiteral("\n")) + rest;
    record->tema = tema;
    return true;
}

bool FortuneParser::isAttributionPlace(const QStringList &lines, qsizetype opener)
{
    const int indent = FortuneParser::indentColumns(lines.at(opener));
    for (qsizetype i = opener + 1; i < lines.size(); ++i) {
        if (FortuneParser::indentColumns(lines.at(i)) < indent)
            return false;
    }
    for (qsizetype i = opener - 1; i >= 0; --i) {
        const QString &above = lines.at(i);
        if (isBlank(above))
            continue;
        // One line of a dialogue or a list, like the lines above it.
        return !(isDialogueLine(above) && FortuneParser::indentColumns(above) >= indent);
    }
    return false;
}

QString FortuneParser::joinBody(const QStringList &lines)
{
    QString text;
    bool started = false;
    bool paragraphBreak = false;
    bool lineEnded = false;
    for (const QString &raw : lines) {
        const bool marked = endsInMark(raw);
        if (marked || isLiteral(raw)) {
            if (started)
                text += paragraphBreak ? QLatin1String("\n\n") : QLatin1String("\n");
            text += marked ? QStringView(raw).chopped(1) : QStringView(raw).mid(1);
            started = true;
            paragraphBreak = false;
            lineEnded = marked;
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
        else if (lineEnded || keepsIndent || startsWithDash(bare))
            text += QLatin1Char('\n') + piece;
        else
            text += QLatin1Char(' ') + piece;
        started = true;
        paragraphBreak = false;
        lineEnded = false;
    }
    return text;
}

bool FortuneParser::isLiteral(const QString &line)
{
    return line.startsWith(QLatin1Char('\\')) && !endsInMark(line);
}

bool FortuneParser::endsInMark(QStringView line)
{
    return line.endsWith(QLatin1Char('\t')) && !line.chopped(1).endsWith(QLatin1Char('\t'));
}

bool FortuneParser::isSeparator(QStringView line)
{
    return line.startsWith(QLatin1Char('%')) && line.mid(1).trimmed().isEmpty() && line != QLatin1String("%\t");
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

FortuneParser::Attribution FortuneParser::splitAttribution(const QString &attribution)
{
    QString text = attribution.simplified();
    while (!text.isEmpty() && FortuneParser::isDash(text.at(0)))
        text.remove(0, 1);
    text = text.trimmed();
    // "-- \\Séneca, el joven": written by older exporters, the name as it stands.
    if (text.startsWith(QLatin1Char('\\')))
        return {text.mid(1).trimmed(), QString()};
    // A closing "--" as in "-- Groucho Marx --".
    static const QRegularExpression closing(QStringLiteral("\\s*[-\\x{2013}\\x{2014}]{2,}\\.?$"));
    text.remove(closing);
    text = text.trimmed();

    // ", el joven", ", el Sabio": an epithet is part of the name.
    static const QRegularExpression epithet(
        QStringLiteral("\\G[,;]\\s*(?:el|la|los|las|lo|the|il|le|der|die|das)\\s+[^\\s,;.()]+(?:\\s+[^\\s,;.()]+)?"
                       "(?=$|[.,;]|\\s+\\()"));
    qsizetype cut = text.size();
    qsizetype restFrom = text.size();
    qsizetype pos = 0;
    while (pos < text.size()) {
        if (text.at(pos) == QLatin1Char(' ')) {
            ++pos;
            continue;
        }
        qsizetype end = text.indexOf(QLatin1Char(' '), pos);
        if (end < 0)
            end = text.size();
        const QStringView word = QStringView(text).mid(pos, end - pos);
        // The name ends before a parenthesis...
        if (word.startsWith(QLatin1Char('(')) && pos > 0) {
            cut = restFrom = pos;
            break;
        }
        // ...at a comma or a semicolon...
        qsizetype comma = -1;
        for (qsizetype i = 0; i < word.size(); ++i) {
            if (word.at(i) == QLatin1Char(',') || word.at(i) == QLatin1Char(';')) {
                comma = pos + i;
                break;
            }
        }
        if (comma >= 0) {
            const QRegularExpressionMatch match = epithet.match(text, comma);
            if (match.hasMatch()) {
                pos = match.capturedEnd();
                continue;
            }
            cut = comma;
            restFrom = comma + 1;
            break;
        }
        // ...or with the period that closes a word.
        if (word.endsWith(QLatin1Char('.'))) {
            QStringView core = word;
            while (core.endsWith(QLatin1Char('.')))
                core.chop(1);
            if (core.isEmpty() || (!isInitials(word.toString()) && !isTitle(core.toString()))) {
                cut = pos + core.size();
                restFrom = end;
                break;
            }
        }
        pos = end;
    }
    return {text.left(cut).trimmed(), text.mid(restFrom).trimmed()};
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
