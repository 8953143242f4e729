// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"

#include <QString>
#include <QStringList>

// Which records list, search and random take.
// - topic: the program's topic equality (case ignored, accents kept); a
//   record without a topic never matches one.
// - author: a piece of the author's name, case and accents ignored, ñ kept
//   apart from n.
// - words: every word must appear, compared the same way, in the author,
//   the quotation or the topic.
// A filter with nothing set takes every record.
class RecordFilter {
public:
    void setTopic(const QString &tema);
    void setAuthor(const QString &autor);
    void setWords(const QStringList &words);

    bool isEmpty() const { return !m_hasTopic && m_author.isEmpty() && m_words.isEmpty(); }
    bool matches(const QuoteRecord &record) const;

private:
    bool m_hasTopic = false;
    QString m_topicKey;
    QString m_author;
    QStringList m_words;
};
