// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class QuoteStore;

// Copies an open collection to a new file: into a temporary file beside the
// destination (mode 0600), through the engine's online backup, encrypted
// with the same key; the copy is then opened and checked (integrity and
// number of records) and only then put in place by FilePlacement, as every
// new collection is, never over a file that is already there. A signal
// (Interruption) stops the copy between steps. On any failure nothing is
// left behind.
class CollectionBackup {
public:
    enum class Outcome { Done, Exists, Failed };

    explicit CollectionBackup(QuoteStore &store);

    Outcome copyTo(const QByteArray &destination);
    QString lastError() const { return m_error; }
    qint64 records() const { return m_records; }

private:
    QuoteStore &m_store;
    QString m_error;
    qint64 m_records = 0;
};
