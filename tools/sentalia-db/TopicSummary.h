// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QuoteStore;

// Every distinct topic of a collection, as the program tells topics apart
// (case ignored, accents kept), with its number of records, in the order of
// the program's topic lists. Each topic is named as its first record with
// Index 1 spells it, or, when it has none, as its first record does.
class TopicSummary {
public:
    struct Topic {
        QString name;
        qint64 records = 0;
        qint64 listed = 0; // records with Index 1: how often the topic list shows it
    };

    bool read(QuoteStore &store);
    QString lastError() const { return m_error; }

    const QList<Topic> &topics() const { return m_topics; }
    qint64 withoutTopic() const { return m_withoutTopic; }

    // The human-readable table the tool prints.
    QString text() const;

private:
    QList<Topic> m_topics;
    qint64 m_withoutTopic = 0;
    QString m_error;
};
