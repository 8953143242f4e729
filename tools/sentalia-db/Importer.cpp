#include "Importer.h"

#include "store/QuoteStore.h"
#include "store/TextRules.h"

#include <QSet>

namespace {

QString recordKey(const QuoteRecord &record)
{
    QString key = record.autor;
    key += QChar(0x1F);
    key += record.frace;
    key += QChar(0x1F);
    if (record.temaIsNull)
        key += QChar(0x0);
    else
        key += QChar(0x1) + record.tema;
    return key;
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

bool Importer::run(const QList<QuoteRecord> &records, Summary *summary, const Progress &progress)
{
    Summary done;
    QSet<QString> present;
    QSet<QString> listedTopics;
    const bool read = m_store.forEachRecord([&](const QuoteRecord &record) {
        present.insert(recordKey(record));
        if (opensTopic(record) && record.hasIndex && record.index == 1)
            listedTopics.insert(TextRules::topicKey(record.tema));
    });
    if (!read) {
        m_error = m_store.lastError();
        return false;
    }

    if (!m_store.begin()) {
        m_error = m_store.lastError();
        return false;
    }
    const qint64 total = records.size();
    for (qint64 i = 0; i < total; ++i) {
        QuoteRecord record = records.at(i);
        record.hasIndex = false;
        record.index = 0;
        const QString key = recordKey(record);
        if (present.contains(key)) {
            ++done.skipped;
        } else {
            if (opensTopic(record)) {
                const QString topic = TextRules::topicKey(record.tema);
                if (!listedTopics.contains(topic)) {
                    record.hasIndex = true;
                    record.index = 1;
                }
            }
            if (!m_store.insertRecord(record)) {
                m_error = m_store.lastError();
                m_store.rollback();
                return false;
            }
            present.insert(key);
            if (record.hasIndex) {
                listedTopics.insert(TextRules::topicKey(record.tema));
                ++done.topicsCreated;
            }
            ++done.added;
        }
        if (progress && ((i + 1) % 500 == 0 || i + 1 == total))
            progress(i + 1, total);
    }
    if (!m_store.commit()) {
        m_error = m_store.lastError();
        m_store.rollback();
        return false;
    }
    *summary = done;
    return true;
}
