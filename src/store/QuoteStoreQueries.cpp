// SPDX-License-Identifier: GPL-3.0-or-later
// QuoteStore's queries and edits: the searches the windows run, the bulk
// work of the companion tool, the online backup and the checks. Opening,
// creating and telling failures apart are in QuoteStore.cpp.
#include "QuoteStore.h"

#include "Interruption.h"
#include "SqliteGlue.h"
#include "TextRules.h"

#include <sqlcipher/sqlite3.h>

#include <cerrno>

namespace {

// Pages the online backup copies between two looks at Interruption.
constexpr int BackupStepPages = 256;

} // namespace

bool QuoteStore::exec(const char *sql)
{
    clearError();
    // Once a signal asks the process to end, nothing new starts: the
    // caller's failure path rolls back and cleans up.
    if (interrupted())
        return false;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return setError(QString::fromLatin1(sql));
    return true;
}

SqliteGlue::Statement QuoteStore::prepare(const char *sql)
{
    clearError();
    if (interrupted())
        return {};
    int rc = SQLITE_OK;
    SqliteGlue::Statement stmt = SqliteGlue::prepare(m_db, sql, &rc);
    if (rc != SQLITE_OK)
        setError(QStringLiteral("no se pudo preparar la consulta"));
    return stmt;
}

bool QuoteStore::scanRows(sqlite3_stmt *stmt, const RowFn &row)
{
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        row(SqliteGlue::columnText(stmt, 0), SqliteGlue::columnText(stmt, 1));
    if (rc != SQLITE_DONE)
        return setError(QStringLiteral("error al leer las frases"));
    return true;
}

bool QuoteStore::allQuotes(const RowFn &row)
{
    const SqliteGlue::Statement stmt = prepare("SELECT frace, autor FROM tabla1 ORDER BY rowid");
    if (!stmt)
        return false;
    return scanRows(stmt.get(), row);
}

bool QuoteStore::byInitial(QChar letter, const RowFn &row)
{
    if (!TextRules::isSearchLetter(letter))
        return true; // there is no search for Q, X, Ñ or anything else
    const SqliteGlue::Statement stmt =
        prepare("SELECT frace, autor FROM tabla1 WHERE sentalia_initial(autor) = ?1 ORDER BY rowid");
    if (!stmt)
        return false;
    SqliteGlue::bindText(stmt.get(), 1, QString(letter));
    return scanRows(stmt.get(), row);
}

bool QuoteStore::byTopic(const QString &tema, const RowFn &row)
{
    const SqliteGlue::Statement stmt =
        prepare("SELECT frace, autor FROM tabla1 WHERE sentalia_topic_key(tema) = ?1 ORDER BY rowid");
    if (!stmt)
        return false;
    SqliteGlue::bindText(stmt.get(), 1, TextRules::topicKey(tema));
    return scanRows(stmt.get(), row);
}

bool QuoteStore::topicList(QStringList *topics)
{
    const SqliteGlue::Statement stmt =
        prepare("SELECT tema FROM tabla1 WHERE \"Index\" = 1 AND tema IS NOT NULL ORDER BY rowid");
    if (!stmt)
        return false;
    QStringList found;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
        found << SqliteGlue::columnText(stmt.get(), 0);
    if (rc != SQLITE_DONE)
        return setError(QStringLiteral("error al leer los temas"));
    *topics = found;
    return true;
}

bool QuoteStore::insert(const QString &autor, const QString &frace, const QString &tema, bool newTopic)
{
    QuoteRecord record;
    record.autor = autor;
    record.frace = frace;
    record.tema = newTopic ? TextRules::upperTopic(tema) : tema;
    record.hasIndex = newTopic;
    record.index = 1;
    return insertRecord(record);
}

bool QuoteStore::insertRecord(const QuoteRecord &record)
{
    // Without a topic-introducing Index the column is left out, so it
    // keeps whatever default the table declares.
    const char *sql = record.hasIndex
        ? "INSERT INTO tabla1 (autor, frace, tema, \"Index\") VALUES (?1, ?2, ?3, ?4)"
        : "INSERT INTO tabla1 (autor, frace, tema) VALUES (?1, ?2, ?3)";
    const SqliteGlue::Statement stmt = prepare(sql);
    if (!stmt || !fileStillOurs())
        return false;
    SqliteGlue::bindRecord(stmt.get(), record);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        return setError(QStringLiteral("no se pudo guardar la frase"));
    return confirmWrite();
}

bool QuoteStore::begin()
{
    clearError();
    if (!fileStillOurs())
        return false;
    return exec("BEGIN IMMEDIATE");
}

bool QuoteStore::commit()
{
    if (!fileStillOurs())
        return false;
    return exec("COMMIT") && confirmWrite();
}

bool QuoteStore::rollback()
{
    // The failure being undone stays readable.
    if (sqlite3_get_autocommit(m_db))
        return true;
    if (sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr) != SQLITE_OK)
        return setError(QStringLiteral("ROLLBACK"));
    // Pages the transaction wrote are undone; the file's times are ours.
    if (m_identity.writing && fileChange() == Failure::ChangedByOther)
        recordIdentity();
    return true;
}

bool QuoteStore::forEachRecord(const std::function<void(const QuoteRecord &)> &row)
{
    const SqliteGlue::Statement stmt =
        prepare("SELECT autor, frace, tema, \"Index\", rowid FROM tabla1 ORDER BY rowid");
    if (!stmt)
        return false;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
        row(SqliteGlue::readRecord(stmt.get()));
    if (rc != SQLITE_DONE)
        return setError(QStringLiteral("error al leer los registros"));
    return true;
}

bool QuoteStore::record(qint64 id, QuoteRecord *out, bool *found)
{
    const SqliteGlue::Statement stmt =
        prepare("SELECT autor, frace, tema, \"Index\", rowid FROM tabla1 WHERE rowid = ?1");
    if (!stmt)
        return false;
    sqlite3_bind_int64(stmt.get(), 1, id);
    const int rc = sqlite3_step(stmt.get());
    if (rc == SQLITE_ROW) {
        *out = SqliteGlue::readRecord(stmt.get());
        *found = true;
        return true;
    }
    if (rc != SQLITE_DONE)
        return setError(QStringLiteral("error al leer la frase"));
    *found = false;
    return true;
}

bool QuoteStore::rowIdRange(qint64 *lowest, qint64 *highest)
{
    // Each aggregate alone walks one edge of the row-id tree; no count.
    const SqliteGlue::Statement stmt =
        prepare("SELECT coalesce((SELECT min(rowid) FROM tabla1), 0), coalesce((SELECT max(rowid) FROM tabla1), 0)");
    if (!stmt)
        return false;
    if (sqlite3_step(stmt.get()) != SQLITE_ROW)
        return setError(QStringLiteral("error al leer los números de las frases"));
    *lowest = sqlite3_column_int64(stmt.get(), 0);
    *highest = sqlite3_column_int64(stmt.get(), 1);
    return true;
}

bool QuoteStore::updateRecord(const QuoteRecord &record, bool *changed)
{
    const SqliteGlue::Statement stmt =
        prepare("UPDATE tabla1 SET autor = ?1, frace = ?2, tema = ?3, \"Index\" = ?4 WHERE rowid = ?5");
    if (!stmt || !fileStillOurs())
        return false;
    SqliteGlue::bindRecord(stmt.get(), record);
    sqlite3_bind_int64(stmt.get(), 5, record.id);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        return setError(QStringLiteral("no se pudo cambiar la frase"));
    if (changed)
        *changed = sqlite3_changes(m_db) > 0;
    return confirmWrite();
}

bool QuoteStore::deleteRecord(qint64 id, bool *deleted)
{
    const SqliteGlue::Statement stmt = prepare("DELETE FROM tabla1 WHERE rowid = ?1");
    if (!stmt || !fileStillOurs())
        return false;
    sqlite3_bind_int64(stmt.get(), 1, id);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        return setError(QStringLiteral("no se pudo borrar la frase"));
    if (deleted)
        *deleted = sqlite3_changes(m_db) > 0;
    return confirmWrite();
}

qint64 QuoteStore::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

bool QuoteStore::backupTo(const QByteArray &path, const QByteArray &key)
{
    clearError();
    if (key.isEmpty()) {
        m_lastFailure = Failure::BadKey;
        m_lastError = QStringLiteral("la clave está vacía");
        return false;
    }
    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3 *)> target(raw, sqlite3_close_v2);
    if (rc == SQLITE_OK)
        rc = sqlite3_key(target.get(), key.constData(), int(key.size()));
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(target.get(), "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;", nullptr, nullptr,
                          nullptr);
    if (rc != SQLITE_OK) {
        m_lastFailure = classify(target.get(), path);
        m_lastError = SqliteGlue::engineMessage(target.get(), rc);
        return false;
    }
    sqlite3_backup *backup = sqlite3_backup_init(target.get(), "main", m_db, "main");
    if (!backup) {
        m_lastFailure = classify(target.get(), path);
        m_lastError = SqliteGlue::engineMessage(target.get(), SQLITE_ERROR);
        return false;
    }
    // A few pages at a time, so that an interruption stops a long copy
    // between steps. The source stays locked by this connection from step
    // to step; were it changed meanwhile, the engine would start over, so
    // the copy is always one consistent picture of it.
    do
        rc = sqlite3_backup_step(backup, BackupStepPages);
    while (rc == SQLITE_OK && !Interruption::requested());
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE && Interruption::requested()) {
        m_lastFailure = Failure::Interrupted;
        m_lastError = QStringLiteral("interrumpido por la señal %1").arg(Interruption::requested());
        return false;
    }
    if (rc != SQLITE_DONE || finished != SQLITE_OK) {
        m_lastFailure = classify(target.get(), path);
        m_lastError = SqliteGlue::engineMessage(target.get(), rc == SQLITE_DONE ? finished : rc);
        return false;
    }
    rc = sqlite3_close_v2(target.release());
    if (rc != SQLITE_OK) {
        m_lastFailure = failureOfErrno(errno) == Failure::DiskFull ? Failure::DiskFull : Failure::Other;
        m_lastError = QString::fromUtf8(sqlite3_errstr(rc));
        return false;
    }
    return true;
}

bool QuoteStore::counts(Counts *out)
{
    const SqliteGlue::Statement stmt =
        prepare("SELECT count(*), coalesce(sum(\"Index\" = 1), 0), coalesce(sum(tema IS NULL), 0) FROM tabla1");
    if (!stmt)
        return false;
    if (sqlite3_step(stmt.get()) != SQLITE_ROW)
        return setError(QStringLiteral("error al contar los registros"));
    out->records = sqlite3_column_int64(stmt.get(), 0);
    out->topics = sqlite3_column_int64(stmt.get(), 1);
    out->nullTopics = sqlite3_column_int64(stmt.get(), 2);
    return true;
}

bool QuoteStore::integrityCheck(QStringList *problems)
{
    const SqliteGlue::Statement stmt = prepare("PRAGMA integrity_check");
    if (!stmt)
        return false;
    QStringList lines;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
        lines << SqliteGlue::columnText(stmt.get(), 0);
    if (rc != SQLITE_DONE)
        return setError(QStringLiteral("error al comprobar la integridad"));
    if (lines == QStringList{QStringLiteral("ok")})
        lines.clear();
    *problems = lines;
    return true;
}
