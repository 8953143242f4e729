// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>

// How the collection compares and converts text: the initial an author is
// filed under, topic equality and the upper-casing of new topics, and the
// rules the new-quote window and the companion tool share.
class TextRules {
public:
    // A typed quotation holds at most this many characters, counted as
    // characterCount() counts them.
    static constexpr int MaxQuoteLength = 255;

    // The author of a quotation whose author is empty or blank.
    static QString anonymous();
    static QString authorOrAnonymous(const QString &autor);

    // Characters as a reader counts them: code points, so an emoji outside
    // the basic plane is one.
    static qsizetype characterCount(const QString &text);
    // The longest beginning of text that holds at most the given number of
    // characters (as characterCount() counts them) and ends between two
    // characters as a reader sees them: a letter keeps its combining
    // accents, an emoji both its halves, or they go together.
    static QString leftCharacters(const QString &text, qsizetype characters);
    // Canonical composition (NFC): the one form text is stored and compared
    // in by the tool, so a decomposed "é" (e + U+0301) meets "é".
    static QString composed(const QString &text);
    // Whether text holds a C0 or C1 control character other than the line
    // breaks (LF, CR) and the tab.
    static bool hasControlCharacters(const QString &text);
    // The 24 letters offered for searching by initial, in the order the
    // search dialog tests them: A to Z without Q and X (and never Ñ).
    static const QString &searchLetters();
    static bool isSearchLetter(QChar letter);

    // The plain capital A–Z that an author's name is filed under, or a null
    // QChar when the name begins with anything else (a blank, a digit, a
    // quotation mark, Ñ...). Case and accents are ignored: "ángel" -> 'A'.
    static QChar initialOf(const QString &autor);

    // Key for topic equality: case is ignored with full Unicode rules, and
    // so is the difference between composed and decomposed accents; accents
    // themselves are not (amor == AMOR, niñez == NIÑEZ, amor != ámor).
    static QString topicKey(const QString &tema);

    // Topics are stored and searched in capitals (Unicode upper-casing).
    static QString upperTopic(const QString &tema);

    // Key for searching words in a text: case and accents are ignored
    // (Á, á, à and a meet; so do ü and u, ç and c), but ñ stays a letter of
    // its own. A decomposed ñ (n and a combining tilde) meets the composed
    // one; other combining marks are dropped. Text B contains word A when
    // searchKey(B) contains searchKey(A).
    static QString searchKey(const QString &text);
};
