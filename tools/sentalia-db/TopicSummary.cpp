// SPDX-License-Identifier: GPL-3.0-or-later
#include "TopicSummary.h"

#include "Wording.h"

#include "store/QuoteStore.h"
#include "store/TextRules.h"
#include "store/TopicOrder.h"

#include <QHash>

bool TopicSummary::read(QuoteStore &store)
{
    struct Seen {
        Topic topic;
        bool namedByListed = false;
    };
    QHash<QString, qsizetype> byKey;
    QList<Seen> seen;
    m_withoutTopic = 0;
    const bool ok = store.forEachRecord([&](const QuoteRecord &record) {
        if (record.temaIsNull) {
            ++m_withoutTopic;
            return;
        }
        const QString key = TextRules::topicKey(record.tema);
        auto at = byKey.constFind(key);
        if (at == byKey.constEnd()) {
            at = byKey.insert(key, seen.size());
            Seen fresh;
            fresh.topic.name = record.tema;
            seen << fresh;
        }
        Seen &entry = seen[*at];
        ++entry.topic.records;
        if (record.hasIndex && record.index == 1) {
            ++entry.topic.listed;
            if (!entry.namedByListed) {
                entry.topic.name = record.tema;
                entry.namedByListed = true;
            }
        }
    });
    if (!ok) {
        m_error = store.lastError();
        return false;
    }
    // Sort the names, then take each topic in that order; two topics may
    // share a name only by spelling, never by key, so names map back.
    QHash<QString, QList<qsizetype>> byName;
    QStringList names;
    for (qsizetype i = 0; i < seen.size(); ++i) {
        names << seen.at(i).topic.name;
        byName[seen.at(i).topic.name] << i;
    }
    m_topics.clear();
    for (const QString &name : TopicOrder::sorted(names)) {
        QList<qsizetype> &indexes = byName[name];
        m_topics << seen.at(indexes.takeFirst()).topic;
    }
    return true;
}

QString TopicSummary::text() const
{
    QString text;
    qint64 unlisted = 0;
    for (const Topic &topic : m_topics) {
        text += QStringLiteral("%1  %2").arg(topic.records, 7).arg(topic.name);
        if (topic.listed == 0) {
            text += QStringLiteral("  [sin Index 1: no sale en la lista de temas]");
            ++unlisted;
        } else if (topic.listed > 1) {
            text += QStringLiteral("  [%1 veces en la lista de temas]").arg(topic.listed);
        }
        text += QLatin1Char('\n');
    }
    if (m_withoutTopic > 0)
        text += QStringLiteral("%1  (sin tema)\n").arg(m_withoutTopic, 7);
    text += Wording::count(m_topics.size(), "tema", "temas");
    if (unlisted > 0)
        text += QStringLiteral(", %1 sin Index 1").arg(unlisted);
    text += QStringLiteral(".\n");
    return text;
}
