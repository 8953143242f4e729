// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

#include "store/QuoteStore.h"

// Adds records to a collection in one transaction: either all of them are
// stored or, on any failure, none (the file stays as it was). Records come
// one at a time, so a large import never holds its sources in memory; what
// the importer keeps per record is a hash and a row id.
//
// A topic is stored without the blanks and line breaks around it: with
// them it would be a topic of its own that no --tema selects.
//
// New material (fortune files, three-column CSV): a record exactly like one
// already present (same text, author and topic, topics compared as the
// program compares them), or one added earlier in the same import, is
// skipped. The first record of a topic that the topic list
// does not show yet (no record of that topic with Index 1; topics compared
// as the program compares them) gets Index 1 and is stored in capitals, as
// the program stores a new topic; the others as given, with no Index.
//
// An exact copy (the four-column CSV that export writes): records keep
// their Index and their topic as written, and repeated records within the
// copy are all kept; only records already in the collection before the
// copy's source began are skipped, and a topic listed by then gets no
// second Index 1.
//
// Several sources in one import are handled as if each were imported by a
// command of its own, one after the other: startSource() marks where each
// one begins.
class Importer {
public:
    enum class Origin { NewMaterial, ExactCopy };

    struct Summary {
        qint64 added = 0;
        qint64 skipped = 0;
        qint64 topicsCreated = 0;
    };
    // Called now and then with the records handled so far.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    explicit Importer(QuoteStore &store);

    // Reads what the collection holds and opens the transaction.
    bool begin();
    // What the collection holds now is what an exact copy from here on
    // is compared with.
    void startSource();
    bool add(const QuoteRecord &record, Origin origin = Origin::NewMaterial);
    bool commit();
    // Undoes everything since begin().
    void rollback();
    Summary summary() const { return m_summary; }

    // begin(), add() for each record, commit().
    bool run(const QList<QuoteRecord> &records, Summary *summary, const Progress &progress = {});
    QString lastError() const { return m_error; }
    QuoteStore::Failure lastFailure() const { return m_failure; }

private:
    bool present(const QuoteRecord &record, size_t hash, bool onlyBefore, bool *found);
    bool fail();

    QuoteStore &m_store;
    QString m_error;
    QuoteStore::Failure m_failure = QuoteStore::Failure::None;
    Summary m_summary;
    // Hash of autor, frace and tema -> row ids of the records that have it.
    QMultiHash<size_t, qint64> m_rows;
    qint64 m_lastId = 0;       // highest row id stored so far
    qint64 m_lastIdBefore = 0; // the highest when the current source began
    QSet<QString> m_listedBefore;
    QSet<QString> m_listed;
};
