// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"

#include <QString>

class QuoteStore;
class RecordFilter;

// Picks one record at random, every candidate as likely as any other.
// Without a filter it draws row ids between the lowest and the highest and
// reads the one drawn, drawing again on a gap left by a deleted record, so
// a large collection is never read whole; after many gaps in a row it falls
// back to a pass over the table. With a filter it makes one pass, keeping
// each match with the right chance (reservoir sampling).
class RandomPicker {
public:
    explicit RandomPicker(QuoteStore &store);

    // false on an engine failure (lastError()); otherwise *found tells
    // whether there was anything to pick.
    bool pick(const RecordFilter &filter, QuoteRecord *out, bool *found);
    QString lastError() const { return m_error; }
    // Draws made by the last pick() without a filter (for the tests).
    int draws() const { return m_draws; }

    static constexpr int MaxDraws = 64;

private:
    bool pickByScan(const RecordFilter &filter, QuoteRecord *out, bool *found);

    QuoteStore &m_store;
    QString m_error;
    int m_draws = 0;
};
