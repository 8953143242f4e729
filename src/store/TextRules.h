#pragma once

#include <QChar>
#include <QString>

// How the collection compares and converts text: the initial an author is
// filed under, topic equality and the upper-casing of new topics.
class TextRules {
public:
    // The 24 letters offered for searching by initial, in the order the
    // search dialog tests them: A to Z without Q and X (and never Ñ).
    static const QString &searchLetters();
    static bool isSearchLetter(QChar letter);

    // The plain capital A–Z that an author's name is filed under, or a null
    // QChar when the name begins with anything else (a blank, a digit, a
    // quotation mark, Ñ...). Case and accents are ignored: "ángel" -> 'A'.
    static QChar initialOf(const QString &autor);

    // Key for topic equality: case is ignored with full Unicode rules,
    // accents are not (amor == AMOR, niñez == NIÑEZ, amor != ámor).
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
