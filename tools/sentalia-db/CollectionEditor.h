// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"
#include "store/TextRules.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QuoteStore;

// Adds, changes and removes records the way the program keeps its topic
// list: a topic shows in that list once for each of its records with Index
// 1. Each change is one transaction; on any failure the collection stays as
// it was.
//
// - add: the new-quote dialog's rules. A topic not yet in the topic list is
//   stored upper-cased with Index 1; a listed topic as given, Index unset.
//   An empty author becomes "Anónimo"; a blank quotation is refused, and so
//   is one longer than MaxQuoteLength characters.
// - add and edit store a topic without the blanks and line breaks around
//   it (with them it would be a topic of its own that no --tema selects),
//   and refuse a blank one.
// - edit: a topic that still has records keeps the Index 1 records it had
//   (if the edited record was its only one, the topic's first remaining
//   record takes it), and a topic that the edit names and the topic list
//   does not show is upper-cased and gets the edited record as its Index 1.
// - remove: when a topic's last Index 1 record goes, its first remaining
//   record takes Index 1, so the topic list never loses a topic that still
//   has quotations.
class CollectionEditor {
public:
    static constexpr int MaxQuoteLength = TextRules::MaxQuoteLength;

    enum class Outcome { Done, Refused, Failed };

    struct Change {
        std::optional<QString> autor;
        std::optional<QString> frace;
        std::optional<QString> tema;
    };

    explicit CollectionEditor(QuoteStore &store);

    Outcome add(const QString &autor, const QString &frace, const QString &tema, QuoteRecord *stored);
    Outcome edit(qint64 id, const Change &change, QuoteRecord *stored);
    Outcome remove(const QList<qint64> &ids);

    // Why the last call was refused (a Spanish sentence) or failed (the
    // engine's text).
    QString lastError() const { return m_error; }
    // What the last call did beyond the record itself, one sentence each:
    // topics created and records that took over a topic's Index 1.
    QStringList notes() const { return m_notes; }

private:
    struct Row {
        qint64 id = 0;
        QString topicKey;
        bool hasTopic = false;
        bool listed = false; // Index 1
    };
    bool readRows(QList<Row> *rows);
    bool checkQuote(const QString &frace);
    bool checkTopic(const QString &tema);
    QString author(const QString &autor) const;
    // Gives Index 1 to the first record of topicKey among rows that is not
    // in skip, when none of those has it; false on an engine failure.
    bool keepTopicListed(const QList<Row> &rows, const QString &topicKey, const QList<qint64> &skip);
    Outcome engineFailure();

    QuoteStore &m_store;
    QString m_error;
    QStringList m_notes;
};
