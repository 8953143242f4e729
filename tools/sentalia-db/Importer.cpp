// SPDX-License-Identifier: GPL-3.0-or-later
#include "Importer.h"

#include "store/QuoteStore.h"
#include "store/TextRules.h"

namespace {

// Topics are compared as the program compares them: "vida" is the topic
// VIDA. So a record that a first import stored under a new topic, in
// capitals, is found again when the same file is imported once more.
size_t recordHash(const QuoteRecord &record)
{
    return qHashMulti(0x5e17a11a, record.autor, record.frace, TextRules::topicKey(record.tema), record.temaIsNull);
}

// NULL and empty text count as the same here: the program shows both alike.
bool sameRecord(const QuoteRecord &a, const QuoteRecord &b)
{
    return a.autor == b.autor && a.frace == b.frace && a.temaIsNull == b.temaIsNull
        && (a.tema == b.tema || TextRules::topicKey(a.tema) == TextRules::topicKey(b.tema));
}

// Records are stored, and compared, in composed form (NFC): a copy made
// with decomposed accents is the same record.
QuoteRecord composedRecord(QuoteRecord record)
{
    record.autor = TextRules::composed(record.autor);
    record.frace = TextRules::composed(record.frace);
    record.tema = TextRules::composed(record.tema);
    return record;
}

bool opensTopic(const QuoteRecord &record)
{
    return !record.temaIsNull && !record.tema.trimmed().isEmpty();
}

} // namespace

Importer::Importer(QuoteStore &store)
    : m_store(store)
{
}

bool Importer::fail()
{
    m_error = m_store.lastError();
    m_failure = m_store.lastFailure();
    return false;
}

bool Importer::begin()
{
    m_summary = Summary();
    m_rows.clear();
    m_listed.clear();
    m_lastId = 0;
    const bool read = m_store.forEachRecord([&](const QuoteRecord &record) {
        m_rows.insert(recordHash(composedRecord(record)), record.id);
        m_lastId = qMax(m_lastId, record.id);
        if (opensTopic(record) && record.hasIndex && record.index == 1)
            m_listed.insert(TextRules::topicKey(record.tema));
    });
    if (!read)
        return fail();
    startSource();
    return m_store.begin() || fail();
}

void Importer::startSource()
{
    m_lastIdBefore = m_lastId;
    m_listedBefore = m_listed;
}

bool Importer::present(const QuoteRecord &record, size_t hash, bool onlyBefore, bool *found)
{
    *found = false;
    for (auto it = m_rows.constFind(hash); it != m_rows.cend() && it.key() == hash; ++it) {
        if (onlyBefore && it.value() > m_lastIdBefore)
            continue;
        QuoteRecord stored;
        bool exists = false;
        if (!m_store.record(it.value(), &stored, &exists))
            return fail();
        if (exists && sameRecord(composedRecord(stored), record)) {
            *found = true;
            return true;
        }
    }
    return true;
}

bool Importer::add(const QuoteRecord &given, Origin origin)
{
    QuoteRecord record = composedRecord(given);
    if (!record.temaIsNull)
        record.tema = record.tema.trimmed();
    const QString topic = opensTopic(record) ? TextRules::topicKey(record.tema) : QString();
    if (origin == Origin::NewMaterial) {
        record.hasIndex = !topic.isEmpty() && !m_listed.contains(topic);
        record.index = record.hasIndex ? 1 : 0;
        if (record.hasIndex)
            record.tema = TextRules::upperTopic(record.tema);
    } else if (record.hasIndex && record.index == 1 && m_listedBefore.contains(topic)) {
        record.hasIndex = false;
        record.index = 0;
    }
    const size_t hash = recordHash(record);
    bool found = false;
    if (!present(record, hash, origin == Origin::ExactCopy, &found)) {
        rollback();
        return false;
    }
    if (found) {
        ++m_summary.skipped;
        return true;
    }
    if (!m_store.insertRecord(record)) {
        fail();
        rollback();
        return false;
    }
    m_lastId = qMax(m_lastId, m_store.lastInsertId());
    m_rows.insert(hash, m_store.lastInsertId());
    if (record.hasIndex && record.index == 1 && !topic.isEmpty()) {
        if (!m_listed.contains(topic))
            ++m_summary.topicsCreated;
        m_listed.insert(topic);
    }
    ++m_summary.added;
    return true;
}

bool Importer::commit()
{
    if (m_store.commit())
        return true;
    fail();
    rollback();
    return false;
}

void Importer::rollback()
{
    m_store.rollback();
}

bool Importer::run(const QList<QuoteRecord> &records, Summary *summary, const Progress &progress)
{
    if (!begin())
        return false;
    const qint64 total = records.size();
    for (qint64 i = 0; i < total; ++i) {
        if (!add(records.at(i)))
            return false;
        if (progress && ((i + 1) % 500 == 0 || i + 1 == total))
            progress(i + 1, total);
    }
    if (!commit())
        return false;
    *summary = m_summary;
    return true;
}
