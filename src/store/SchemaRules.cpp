// SPDX-License-Identifier: GPL-3.0-or-later
#include "SchemaRules.h"

namespace {

struct Token {
    QString text;  // upper-cased for words
    bool word = false;
};

// Words, quoted names and single punctuation characters; comments and
// string literals are skipped (a literal is kept as one non-word token).
QList<Token> tokenize(const QString &sql)
{
    QList<Token> tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            while (i < n && sql.at(i) != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            qsizetype j = i + 1;
            QString text;
            while (j < n) {
                if (sql.at(j) == close) {
                    // A doubled quote is the quote itself.
                    if (close != u']' && j + 1 < n && sql.at(j + 1) == close) {
                        text += close;
                        j += 2;
                        continue;
                    }
                    break;
                }
                text += sql.at(j++);
            }
            // A quoted name reads as a word; a string literal does not.
            tokens.append({c == u'\'' ? QString() : text.toUpper(), c != u'\''});
            i = j + 1;
        } else if (c.isLetterOrNumber() || c == u'_' || c == u'$') {
            qsizetype j = i;
            while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == u'_' || sql.at(j) == u'$'))
                ++j;
            tokens.append({sql.mid(i, j - i).toUpper(), true});
            i = j;
        } else {
            tokens.append({QString(c), false});
            ++i;
        }
    }
    return tokens;
}

bool isWord(const QList<Token> &tokens, qsizetype i, const char *word)
{
    return i >= 0 && i < tokens.size() && tokens.at(i).word && tokens.at(i).text == QLatin1String(word);
}

// The constraint a conflict clause at position at belongs to: the nearest
// constraint keyword before it within the same definition.
QString constraintBefore(const QList<Token> &tokens, qsizetype from, qsizetype at)
{
    for (qsizetype i = at - 1; i >= from; --i) {
        if (isWord(tokens, i, "UNIQUE") || isWord(tokens, i, "CHECK"))
            return tokens.at(i).text;
        if (isWord(tokens, i, "KEY") && isWord(tokens, i - 1, "PRIMARY"))
            return QStringLiteral("PRIMARY KEY");
        if (isWord(tokens, i, "NULL") && isWord(tokens, i - 1, "NOT"))
            return QStringLiteral("NOT NULL");
    }
    return {};
}

bool isTableConstraint(const Token &first)
{
    static const char *const keywords[] = {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"};
    for (const char *keyword : keywords) {
        if (first.word && first.text == QLatin1String(keyword))
            return true;
    }
    return false;
}

QString conflictEffect(const QString &action)
{
    return action == QLatin1String("REPLACE") ? QStringLiteral("borraría la frase que ya está")
                                              : QStringLiteral("dejaría sin guardar la frase nueva sin decirlo");
}

} // namespace

QString SchemaRules::affinity(const QString &declaredType)
{
    const QString type = declaredType.toUpper();
    if (type.contains(QLatin1String("INT")))
        return QStringLiteral("INTEGER");
    if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
        || type.contains(QLatin1String("TEXT")))
        return QStringLiteral("TEXT");
    if (type.contains(QLatin1String("BLOB")) || type.trimmed().isEmpty())
        return QStringLiteral("BLOB");
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA"))
        || type.contains(QLatin1String("DOUB")))
        return QStringLiteral("REAL");
    return QStringLiteral("NUMERIC");
}

QStringList SchemaRules::writeHazards(const QString &createSql, const QList<Column> &columns)
{
    QStringList found;
    const QList<Token> tokens = tokenize(createSql);

    // One column or table constraint definition: tokens [start, end).
    const auto definition = [&](qsizetype start, qsizetype end) {
        if (start >= end)
            return;
        const QString owner = isTableConstraint(tokens.at(start))
            ? QStringLiteral("la tabla")
            : QStringLiteral("la columna %1").arg(tokens.at(start).text.toLower());
        for (qsizetype k = start; k + 2 < end; ++k) {
            if (!isWord(tokens, k, "ON") || !isWord(tokens, k + 1, "CONFLICT"))
                continue;
            const QString action = tokens.at(k + 2).text;
            if (action != QLatin1String("REPLACE") && action != QLatin1String("IGNORE"))
                continue;
            const QString constraint = constraintBefore(tokens, start, k);
            found << QStringLiteral("%1 tiene %2ON CONFLICT %3 (una frase repetida %4)")
                         .arg(owner, constraint.isEmpty() ? QString() : constraint + QLatin1Char(' '), action,
                              conflictEffect(action));
        }
    };

    // The definitions between the outer parentheses, split at the commas
    // that are not nested.
    qsizetype close = tokens.size();
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens.at(i);
        if (t.word)
            continue;
        if (t.text == QLatin1String("(")) {
            if (++depth == 1)
                start = i + 1;
        } else if (t.text == QLatin1String(")")) {
            if (--depth == 0) {
                definition(start, i);
                close = i;
                break;
            }
        } else if (t.text == QLatin1String(",") && depth == 1) {
            definition(start, i);
            start = i + 1;
        }
    }
    for (qsizetype i = close; i + 1 < tokens.size(); ++i) {
        if (isWord(tokens, i, "WITHOUT") && isWord(tokens, i + 1, "ROWID"))
            found << QStringLiteral("la tabla es WITHOUT ROWID (sus frases no tienen un número fijo)");
    }

    for (const Column &column : columns) {
        const QString name = column.name.toLower();
        if (name != QLatin1String("autor") && name != QLatin1String("frace") && name != QLatin1String("tema"))
            continue;
        const QString kind = affinity(column.declaredType);
        if (kind == QLatin1String("INTEGER") || kind == QLatin1String("REAL") || kind == QLatin1String("NUMERIC"))
            found << QStringLiteral("la columna %1 es de tipo %2 (un texto como «1.50» se guardaría como 1.5)")
                         .arg(name, column.declaredType);
        const QString collation = column.collation.toUpper();
        if (!collation.isEmpty() && collation != QLatin1String("BINARY") && collation != QLatin1String("NOCASE"))
            found << QStringLiteral("la columna %1 compara con COLLATE %2").arg(name, column.collation);
    }
    return found;
}
