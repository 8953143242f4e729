// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextRules.h"

#include <QTextBoundaryFinder>

#include <array>

namespace {

constexpr char16_t SmallEnye = 0x00F1;
constexpr char16_t CapitalEnye = 0x00D1;
constexpr char16_t CombiningTilde = 0x0303;

// One character's search key, or 0 when the character drops out (a
// combining mark). Ñ folds to ñ and nothing else reaches it.
char16_t foldForSearch(char16_t c)
{
    if (c == SmallEnye || c == CapitalEnye)
        return SmallEnye;
    QChar base(c);
    if (base.category() == QChar::Mark_NonSpacing)
        return 0;
    while (base.decompositionTag() == QChar::Canonical) {
        const QString parts = base.decomposition();
        if (parts.isEmpty() || parts.at(0) == base)
            break;
        base = parts.at(0);
    }
    return base.toCaseFolded().unicode();
}

// The keys of the Latin letters and symbols most text is made of, worked
// out once; everything else is folded as it comes.
const std::array<char16_t, 0x0250> &latinKeys()
{
    static const std::array<char16_t, 0x0250> keys = [] {
        std::array<char16_t, 0x0250> table{};
        for (char16_t c = 0; c < table.size(); ++c)
            table[c] = foldForSearch(c);
        return table;
    }();
    return keys;
}

} // namespace

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

QString TextRules::anonymous()
{
    return QStringLiteral("Anónimo");
}

QString TextRules::authorOrAnonymous(const QString &autor)
{
    return autor.trimmed().isEmpty() ? anonymous() : autor;
}

qsizetype TextRules::characterCount(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()))
            ++count;
    }
    return count;
}

QString TextRules::leftCharacters(const QString &text, qsizetype characters)
{
    if (characterCount(text) <= characters)
        return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype kept = 0;
    qsizetype count = 0;
    for (qsizetype next = finder.toNextBoundary(); next > 0; next = finder.toNextBoundary()) {
        count += characterCount(text.mid(kept, next - kept));
        if (count > characters)
            break;
        kept = next;
    }
    return text.left(kept);
}

QString TextRules::composed(const QString &text)
{
    return text.normalized(QString::NormalizationForm_C);
}

bool TextRules::hasControlCharacters(const QString &text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if ((c < 0x20 && c != u'\n' && c != u'\r' && c != u'\t') || c == 0x7f || (c >= 0x80 && c < 0xa0))
            return true;
    }
    return false;
}

QString TextRules::topicKey(const QString &tema)
{
    // Upper-casing first applies the full mappings (ß -> SS); folding the
    // result then makes every case variant meet, and composing both ends
    // makes the decomposed spelling of an accent meet the composed one.
    return tema.normalized(QString::NormalizationForm_C).toUpper().toCaseFolded().normalized(
        QString::NormalizationForm_C);
}

QString TextRules::upperTopic(const QString &tema)
{
    return tema.toUpper();
}

QString TextRules::searchKey(const QString &text)
{
    const auto &latin = latinKeys();
    QString key;
    key.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            key += QChar(c >= 'A' && c <= 'Z' ? char16_t(c + ('a' - 'A')) : c);
            continue;
        }
        if (c == CombiningTilde && key.endsWith(QLatin1Char('n'))) {
            key.back() = QChar(SmallEnye);
            continue;
        }
        // Surrogate halves pass unchanged: no letter outside the basic
        // plane has a plain base that matters here.
        const char16_t folded = c < latin.size() ? latin[c] : (ch.isSurrogate() ? c : foldForSearch(c));
        if (folded)
            key += QChar(folded);
    }
    return key;
}
