#include "TextRules.h"

const QString &TextRules::searchLetters()
{
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPRSTUVWYZ");
    return letters;
}

bool TextRules::isSearchLetter(QChar letter)
{
    return !letter.isNull() && searchLetters().contains(letter);
}

QChar TextRules::initialOf(const QString &autor)
{
    if (autor.isEmpty())
        return {};
    QChar first = autor.at(0);
    // Ñ is a letter of its own in Spanish, not an N with a mark.
    if (first == QChar(0x00D1) || first == QChar(0x00F1))
        return {};
    // Strip accents: follow the canonical decomposition down to its base.
    while (first.decompositionTag() == QChar::Canonical) {
        const QString parts = first.decomposition();
        if (parts.isEmpty() || parts.at(0) == first)
            break;
        first = parts.at(0);
    }
    const QChar upper = first.toUpper();
    if (upper.unicode() >= 'A' && upper.unicode() <= 'Z')
        return upper;
    return {};
}

QString TextRules::topicKey(const QString &tema)
{
    // Upper-casing first applies the full mappings (ß -> SS); folding the
    // result then makes every case variant meet.
    return tema.toUpper().toCaseFolded();
}

QString TextRules::upperTopic(const QString &tema)
{
    return tema.toUpper();
}
