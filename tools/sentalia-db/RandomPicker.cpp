// SPDX-License-Identifier: GPL-3.0-or-later
#include "RandomPicker.h"

#include "RecordFilter.h"

#include "store/QuoteStore.h"

#include <QRandomGenerator>

RandomPicker::RandomPicker(QuoteStore &store)
    : m_store(store)
{
}

bool RandomPicker::pick(const RecordFilter &filter, QuoteRecord *out, bool *found)
{
    m_draws = 0;
    *found = false;
    if (!filter.isEmpty())
        return pickByScan(filter, out, found);

    qint64 lowest = 0;
    qint64 highest = 0;
    if (!m_store.rowIdRange(&lowest, &highest)) {
        m_error = m_store.lastError();
        return false;
    }
    if (lowest == 0 && highest == 0) {
        // Either an empty table or one record numbered 0: the scan knows.
        return pickByScan(filter, out, found);
    }
    QRandomGenerator *random = QRandomGenerator::global();
    while (m_draws < MaxDraws) {
        ++m_draws;
        const qint64 id = lowest + qint64(random->bounded(quint64(highest - lowest) + 1));
        if (!m_store.record(id, out, found)) {
            m_error = m_store.lastError();
            return false;
        }
        if (*found)
            return true;
    }
    return pickByScan(filter, out, found);
}

bool RandomPicker::pickByScan(const RecordFilter &filter, QuoteRecord *out, bool *found)
{
    QRandomGenerator *random = QRandomGenerator::global();
    quint64 seen = 0;
    const bool read = m_store.forEachRecord([&](const QuoteRecord &record) {
        if (!filter.matches(record))
            return;
        ++seen;
        if (random->bounded(seen) == 0)
            *out = record;
    });
    if (!read) {
        m_error = m_store.lastError();
        return false;
    }
    *found = seen > 0;
    return true;
}
