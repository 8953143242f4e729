// SPDX-License-Identifier: GPL-3.0-or-later
#include "CollectionEditor.h"

#include "store/QuoteStore.h"
#include "store/TextRules.h"

#include <QSet>

namespace {

QString noSuchRecord(qint64 id)
{
    return QStringLiteral("no hay ninguna frase con el número %1").arg(id);
}

} // namespace

CollectionEditor::CollectionEditor(QuoteStore &store)
    : m_store(store)
{
}

CollectionEditor::Outcome CollectionEditor::engineFailure()
{
    m_error = m_store.lastError();
    m_store.rollback();
    m_notes.clear();
    return Outcome::Failed;
}

QString CollectionEditor::author(const QString &autor) const
{
    return TextRules::authorOrAnonymous(autor);
}

bool CollectionEditor::checkQuote(const QString &frace)
{
    if (frace.trimmed().isEmpty()) {
        m_error = QStringLiteral("No se puede guardar una frase en blanco.");
        return false;
    }
    const qsizetype length = TextRules::characterCount(frace);
    if (length > MaxQuoteLength) {
        m_error = QStringLiteral("La frase tiene %1 caracteres; caben %2 como mucho.").arg(length).arg(MaxQuoteLength);
        return false;
    }
    return true;
}

bool CollectionEditor::checkTopic(const QString &tema)
{
    if (tema.isEmpty()) {
        m_error = QStringLiteral("El tema no puede quedar en blanco.");
        return false;
    }
    return true;
}

bool CollectionEditor::readRows(QList<Row> *rows)
{
    rows->clear();
    return m_store.forEachRecord([&](const QuoteRecord &record) {
        Row row;
        row.id = record.id;
        row.hasTopic = !record.temaIsNull;
        if (row.hasTopic)
            row.topicKey = TextRules::topicKey(record.tema);
        row.listed = record.hasIndex && record.index == 1;
        rows->append(row);
    });
}

bool CollectionEditor::keepTopicListed(const QList<Row> &rows, const QString &topicKey, const QList<qint64> &skip)
{
    const QSet<qint64> gone(skip.cbegin(), skip.cend());
    const Row *heir = nullptr;
    for (const Row &row : rows) {
        if (!row.hasTopic || row.topicKey != topicKey || gone.contains(row.id))
            continue;
        if (row.listed)
            return true; // the topic keeps another listed record
        if (!heir)
            heir = &row;
    }
    if (!heir)
        return true; // no record of the topic is left
    QuoteRecord record;
    bool found = false;
    if (!m_store.record(heir->id, &record, &found))
        return false;
    record.hasIndex = true;
    record.index = 1;
    if (!m_store.updateRecord(record))
        return false;
    m_notes << QStringLiteral("La frase %1 pasa a tener Index 1: el tema %2 sigue en la lista de temas.")
                   .arg(record.id)
                   .arg(record.tema);
    return true;
}

CollectionEditor::Outcome CollectionEditor::add(const QString &autor, const QString &frace, const QString &given,
                                                QuoteRecord *stored)
{
    m_notes.clear();
    const QString tema = given.trimmed();
    if (!checkQuote(frace) || !checkTopic(tema))
        return Outcome::Refused;
    QStringList listed;
    if (!m_store.topicList(&listed))
        return engineFailure();
    const QString key = TextRules::topicKey(tema);
    bool newTopic = true;
    for (const QString &topic : std::as_const(listed))
        newTopic = newTopic && TextRules::topicKey(topic) != key;

    if (!m_store.begin() || !m_store.insert(author(autor), frace, tema, newTopic))
        return engineFailure();
    bool found = false;
    if (!m_store.record(m_store.lastInsertId(), stored, &found) || !m_store.commit())
        return engineFailure();
    if (newTopic)
        m_notes << QStringLiteral("Tema nuevo: %1 (esta frase tiene su Index 1).").arg(stored->tema);
    return Outcome::Done;
}

CollectionEditor::Outcome CollectionEditor::edit(qint64 id, const Change &change, QuoteRecord *stored)
{
    m_notes.clear();
    const std::optional<QString> tema = change.tema ? std::optional<QString>(change.tema->trimmed()) : std::nullopt;
    if ((change.frace && !checkQuote(*change.frace)) || (tema && !checkTopic(*tema)))
        return Outcome::Refused;
    if (!m_store.begin())
        return engineFailure();
    QuoteRecord old;
    bool found = false;
    if (!m_store.record(id, &old, &found))
        return engineFailure();
    if (!found) {
        m_store.rollback();
        m_error = noSuchRecord(id);
        return Outcome::Refused;
    }
    QuoteRecord updated = old;
    if (change.autor) {
        updated.autor = author(*change.autor);
        updated.autorIsNull = false;
    }
    if (change.frace) {
        updated.frace = *change.frace;
        updated.fraceIsNull = false;
    }
    const bool wasListed = old.hasIndex && old.index == 1;
    if (tema) {
        const QString newKey = TextRules::topicKey(*tema);
        const QString oldKey = old.temaIsNull ? QString() : TextRules::topicKey(old.tema);
        updated.temaIsNull = false;
        if (!old.temaIsNull && oldKey == newKey) {
            updated.tema = *tema; // the same topic, spelt as given
        } else {
            QList<Row> rows;
            if (!readRows(&rows))
                return engineFailure();
            bool listedElsewhere = false;
            for (const Row &row : std::as_const(rows))
                listedElsewhere = listedElsewhere || (row.id != id && row.listed && row.topicKey == newKey);
            if (listedElsewhere) {
                updated.tema = *tema;
                if (wasListed)
                    updated.hasIndex = false;
            } else {
                updated.tema = TextRules::upperTopic(*tema);
                updated.hasIndex = true;
                updated.index = 1;
                m_notes << QStringLiteral("Tema nuevo: %1 (esta frase tiene su Index 1).").arg(updated.tema);
            }
            if (wasListed && !old.temaIsNull && !keepTopicListed(rows, oldKey, {id}))
                return engineFailure();
        }
    }
    if (!m_store.updateRecord(updated) || !m_store.commit())
        return engineFailure();
    *stored = updated;
    return Outcome::Done;
}

CollectionEditor::Outcome CollectionEditor::remove(const QList<qint64> &ids)
{
    m_notes.clear();
    if (!m_store.begin())
        return engineFailure();
    QList<Row> rows;
    if (!readRows(&rows))
        return engineFailure();
    QSet<qint64> present;
    for (const Row &row : std::as_const(rows))
        present.insert(row.id);
    QStringList missing;
    QList<qint64> gone;
    for (qint64 id : ids) {
        if (!present.contains(id))
            missing << QString::number(id);
        else if (!gone.contains(id))
            gone << id;
    }
    if (!missing.isEmpty()) {
        m_store.rollback();
        m_error = missing.size() == 1 ? noSuchRecord(missing.first().toLongLong())
                                      : QStringLiteral("no hay frases con los números %1").arg(missing.join(QStringLiteral(", ")));
        return Outcome::Refused;
    }
    // Topics that lose a listed record, in table order.
    QStringList touched;
    const QSet<qint64> goneSet(gone.cbegin(), gone.cend());
    for (const Row &row : std::as_const(rows)) {
        if (row.listed && row.hasTopic && goneSet.contains(row.id) && !touched.contains(row.topicKey))
            touched << row.topicKey;
    }
    for (qint64 id : std::as_const(gone)) {
        if (!m_store.deleteRecord(id))
            return engineFailure();
    }
    for (const QString &key : std::as_const(touched)) {
        if (!keepTopicListed(rows, key, gone))
            return engineFailure();
    }
    if (!m_store.commit())
        return engineFailure();
    return Outcome::Done;
}
