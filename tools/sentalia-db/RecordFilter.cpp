// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordFilter.h"

#include "store/TextRules.h"

void RecordFilter::setTopic(const QString &tema)
{
    m_hasTopic = true;
    m_topicKey = TextRules::topicKey(tema);
}

void RecordFilter::setAuthor(const QString &autor)
{
    m_author = TextRules::searchKey(autor);
}

void RecordFilter::setWords(const QStringList &words)
{
    m_words.clear();
    for (const QString &word : words) {
        const QString key = TextRules::searchKey(word);
        if (!key.isEmpty())
            m_words << key;
    }
}

bool RecordFilter::matches(const QuoteRecord &record) const
{
    if (m_hasTopic && (record.temaIsNull || TextRules::topicKey(record.tema) != m_topicKey))
        return false;
    if (!m_author.isEmpty() && !TextRules::searchKey(record.autor).contains(m_author))
        return false;
    if (m_words.isEmpty())
        return true;
    // The three fields apart, so that no word is found across two of them.
    const QString autor = TextRules::searchKey(record.autor);
    const QString frace = TextRules::searchKey(record.frace);
    const QString tema = record.temaIsNull ? QString() : TextRules::searchKey(record.tema);
    for (const QString &word : m_words) {
        if (!frace.contains(word) && !autor.contains(word) && !tema.contains(word))
            return false;
    }
    return true;
}
