#pragma once

#include "store/QuoteRecord.h"

#include <QList>
#include <QString>

#include <functional>

class QuoteStore;

// Adds records to a collection in one transaction: either all of them are
// stored or, on any failure, none (the file stays as it was).
//
// A record exactly like one already present (same text, author and topic)
// is skipped. The first record of a topic that the topic list does not show
// yet (no record of that topic with Index 1; topics compared as the program
// compares them) gets Index 1, the others none.
class Importer {
public:
    struct Summary {
        qint64 added = 0;
        qint64 skipped = 0;
        qint64 topicsCreated = 0;
    };
    // Called now and then with the records handled so far.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    explicit Importer(QuoteStore &store);

    bool run(const QList<QuoteRecord> &records, Summary *summary, const Progress &progress = {});
    QString lastError() const { return m_error; }

private:
    QuoteStore &m_store;
    QString m_error;
};
