// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "QuoteRecord.h"
#include "SqliteGlue.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// The quotation collection: one SQLCipher file holding the table tabla1
// (autor, frace, tema, Index). A store is opened once, exclusively, and
// keeps the file locked against every other process until it is destroyed.
//
// Nothing here shows anything to the user: every operation reports success
// or failure; lastFailure() says which kind of failure (FailureText turns it
// into a sentence for the user) and lastError() gives the engine's own text
// for diagnostics.
class QuoteStore {
public:
    static constexpr const char *DefaultKey = "qolvent";
    static constexpr const char *FileName = "frase.mdb";

    enum class Failure {
        None,
        Missing,       // no such file
        InUse,         // held by another process (or another store here)
        WrongKey,      // wrong key, or not a database at all
        ReadOnly,      // the file cannot be written
        FolderReadOnly, // the folder does not allow writing: no journal can be made
        DiskFull,      // no room left on the disk (or the user's quota is spent)
        MissingTable,  // no tabla1
        MissingColumn, // tabla1 lacks autor, frace, tema or Index
        ForeignSchema, // tabla1 is a view, has triggers, or clauses that would change records behind our back
        Unreachable,   // the file may exist but cannot be reached (permissions, a link loop, a dangling link)
        NeedsRecovery, // an interrupted write left a journal that only a writer can roll back
        OwnerMustOpen, // a WAL collection with pending changes in a folder the user cannot write
        Interrupted,   // a signal (Ctrl-C, SIGTERM, SIGHUP) stopped the operation
        Damaged,       // the engine reports a corrupt file
        AlreadyExists, // create() found a file in the way
        BadKey,        // an empty key would leave the file unencrypted
        Other,
        Vanished,       // the file at the path was deleted or replaced by another while open
        ChangedByOther, // another program wrote to (or truncated) the open file
        FolderChanged,  // the folder that held the file was renamed or moved away
        Immutable,      // the file is marked immutable: nobody may write it
        JournalBlocked, // something that is not a journal (a folder) sits where the journal goes
    };

    struct OpenResult {
        std::unique_ptr<QuoteStore> store;
        Failure failure = Failure::None;
        QString reason;
        int systemError = 0; // the errno behind the failure, when there is one
        explicit operator bool() const { return store != nullptr; }
    };

    // folder + the platform's separator + "frase.mdb"
    static QString databasePath(const QString &programFolder);

    // Opens an existing collection read-write and takes the exclusive lock.
    // A failed open leaves the file byte for byte as it was.
    static OpenResult open(const QString &path, const QByteArray &key = DefaultKey);
    // The same for a file name given as the bytes the file system holds,
    // which need not be UTF-8.
    static OpenResult openPath(const QByteArray &path, const QByteArray &key = DefaultKey);

    // Opens an existing collection for reading only, whatever the file's
    // permissions: nothing is ever written to it, and the journal mode is
    // left as it is. A read transaction holds the shared lock for the
    // store's life, so the program (which takes the exclusive lock) and
    // writers are refused meanwhile, and a running program refuses this.
    // A WAL collection in a folder the user cannot write, with no -shm, is
    // read as an immutable file (without a lock) when its -wal is absent or
    // empty, and refused (OwnerMustOpen) otherwise. Tables whose clauses
    // would change writes open here; schemaWarnings() names them.
    static OpenResult openForReading(const QByteArray &path, const QByteArray &key = DefaultKey);

    // Creates a new, empty, encrypted collection; never overwrites a file.
    static OpenResult create(const QString &path, const QByteArray &key = DefaultKey);
    static OpenResult createPath(const QByteArray &path, const QByteArray &key = DefaultKey);

    ~QuoteStore();
    QuoteStore(const QuoteStore &) = delete;
    QuoteStore &operator=(const QuoteStore &) = delete;

    // Receives frace and autor of each record, in table order.
    using RowFn = std::function<void(const QString &frace, const QString &autor)>;

    bool allQuotes(const RowFn &row);
    // letter must be one of TextRules::searchLetters(); any other yields nothing.
    bool byInitial(QChar letter, const RowFn &row);
    // The caller passes the topic as it should be searched (upper-cased);
    // the comparison ignores case anyway.
    bool byTopic(const QString &tema, const RowFn &row);
    // One entry per record whose Index is 1 (a topic created twice appears
    // twice), in table order; records with a NULL tema are skipped.
    bool topicList(QStringList *topics);
    // Inserts one record durably. A new topic is stored upper-cased with
    // Index 1; an existing topic is stored as given, Index left unset.
    bool insert(const QString &autor, const QString &frace, const QString &tema, bool newTopic);

    // Bulk work for the companion tool.
    bool begin();
    bool commit();
    bool rollback();
    bool insertRecord(const QuoteRecord &record);
    // Records come with their row id, in table order.
    bool forEachRecord(const std::function<void(const QuoteRecord &)> &row);
    // The record with this row id; *found tells whether there is one.
    bool record(qint64 id, QuoteRecord *out, bool *found);
    // The lowest and highest row ids (both 0 in an empty table).
    bool rowIdRange(qint64 *lowest, qint64 *highest);
    // Writes all four columns of the record with record.id (a missing
    // Index as NULL); *changed tells whether such a record exists.
    bool updateRecord(const QuoteRecord &record, bool *changed = nullptr);
    bool deleteRecord(qint64 id, bool *deleted = nullptr);
    // The row id the last insertRecord() gave its record.
    qint64 lastInsertId() const;

    // A consistent copy of the whole collection, encrypted with key, into
    // the new, empty file at path, through the engine's online backup.
    bool backupTo(const QByteArray &path, const QByteArray &key = DefaultKey);

    struct Counts {
        qint64 records = 0;
        qint64 topics = 0;      // records with Index 1
        qint64 nullTopics = 0;  // records whose tema is NULL
    };
    bool counts(Counts *out);
    // PRAGMA integrity_check; problems receives its findings when not "ok".
    bool integrityCheck(QStringList *problems);

    // The kind of failure of the last operation, None after a success
    // (rollback() keeps the failure it undoes), and the engine's text for it.
    Failure lastFailure() const { return m_lastFailure; }
    QString lastError() const { return m_lastError; }
    QString path() const { return m_path; }
    // What in tabla1 would change writes (see SchemaRules): empty for a
    // store opened for writing, which refuses such a table.
    QStringList schemaWarnings() const { return m_schemaWarnings; }

    // Whether the file at path() is still the one this store opened and
    // last wrote: None when it is, else Vanished, ChangedByOther or
    // FolderChanged. Every write asks this first and refuses when the file
    // went away, and an input/output or corruption error is explained by
    // it when it can be.
    Failure fileChange() const;

private:
    QuoteStore(sqlite3 *db, const QByteArray &path);
    static OpenResult fail(sqlite3 *db, Failure failure, const QString &reason);
    // What a system error number means for the collection: the folder or
    // the disk refuses writing (EACCES, EPERM, EROFS), no room is left
    // (ENOSPC, EDQUOT, EFBIG), a folder on the way is missing (ENOENT,
    // ENOTDIR); Other for anything else. Each caller keeps the kinds its
    // step can meet.
    static Failure failureOfErrno(int error);
    // What the engine's last error on db means for the user.
    static Failure classify(sqlite3 *db, const QByteArray &path);
    static Failure checkSchema(sqlite3 *db, QString *reason, QStringList *hazards);
    // Refuses a path that is not a regular file it can reach (None when it is).
    static OpenResult checkPath(const QByteArray &path);
    // The failure behind the first read of a new connection (the key and
    // the lock are proven there); closes db.
    static OpenResult refuseFirstRead(sqlite3 *db, int rc, const QByteArray &path);
    static Failure checkForeignSchema(sqlite3 *db, QString *reason);

    // Every operation's failure, recorded as its kind and the engine's text.
    bool interrupted();
    bool setError(const QString &context);
    void clearError();
    // How the queries and edits run (QuoteStoreQueries.cpp).
    bool exec(const char *sql);
    // The statement for sql, or none after recording the failure.
    SqliteGlue::Statement prepare(const char *sql);
    bool scanRows(sqlite3_stmt *stmt, const RowFn &row);

    sqlite3 *m_db = nullptr;
    QByteArray m_nativePath;
    QString m_path;
    QString m_lastError;
    Failure m_lastFailure = Failure::None;
    QStringList m_schemaWarnings;

    // The file and its folder as seen after the open and after each commit
    // of this store's own.
    struct Identity {
        bool known = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modified = 0; // nanoseconds
        qint64 changed = 0;  // nanoseconds
        quint64 links = 0;
        quint64 folderDevice = 0;
        quint64 folderInode = 0;
        bool writing = false; // a write of this store's own began since
    };
    Identity m_identity;
    void recordIdentity();
    // Refuses a write when the file went away; records the failure.
    bool fileStillOurs();
    // After a write the engine reported done: the identity of what was
    // written, or the failure when the file is no longer at its path.
    bool confirmWrite();
    // The cause of an engine error that the file's state explains, or None.
    Failure explainError(int resultCode, int systemErrno) const;
};
