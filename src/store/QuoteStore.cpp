// SPDX-License-Identifier: GPL-3.0-or-later
// QuoteStore's opening and creating of a collection, and what its failures
// mean: the engine's and the system's errors sorted into kinds, and the
// watch over the file that tells when it went away under the store. The
// queries and edits are in QuoteStoreQueries.cpp.
#include "QuoteStore.h"

#include "FailureText.h"
#include "FilePlacement.h"
#include "Interruption.h"
#include "SchemaRules.h"
#include "SqliteGlue.h"

#include <QDir>
#include <QFile>

#include <sqlcipher/sqlite3.h>

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Bytes of a file name as the path part of a file: URI.
QByteArray uriPath(const QByteArray &path)
{
    QByteArray absolute = path;
    if (!absolute.startsWith('/'))
        absolute = QFile::encodeName(QDir::currentPath()) + '/' + path;
    return absolute.toPercentEncoding("/");
}

// Whether the folder that holds the file at this byte path takes new files.
bool folderWritable(const QByteArray &path)
{
    return ::access(FilePlacement::folderOf(path).constData(), W_OK) == 0;
}

qint64 nanoseconds(const timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// Whether the file carries the immutable attribute (chattr +i), which
// refuses every write, even the owner's and root's.
bool immutableFile(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    int flags = 0;
    const bool immutable = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_IMMUTABLE_FL);
    ::close(fd);
    return immutable;
}

} // namespace

QString QuoteStore::databasePath(const QString &programFolder)
{
    return QDir::toNativeSeparators(programFolder) + QDir::separator() + QLatin1String(FileName);
}

QuoteStore::Failure QuoteStore::failureOfErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return Failure::FolderReadOnly;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return Failure::DiskFull;
    case ENOENT:
    case ENOTDIR:
        return Failure::Missing;
    default:
        return Failure::Other;
    }
}

// What the engine's last error means for the user. The key is proven when
// the store opens, so a page the engine cannot read afterwards is damage.
// The operating system's error number tells a full disk (or a spent quota,
// or a file-size limit) from other input/output errors; a journal that
// cannot be created beside an open collection means the folder refuses
// new files.
QuoteStore::Failure QuoteStore::classify(sqlite3 *db, const QByteArray &path)
{
    const int rc = sqlite3_extended_errcode(db) & 0xff;
    int mainErrno = 0;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_LAST_ERRNO, &mainErrno);
    const int systemErrno = sqlite3_system_errno(db);
    const Failure system = failureOfErrno(systemErrno);
    switch (rc) {
    case SQLITE_FULL:
        return Failure::DiskFull;
    case SQLITE_IOERR:
        return system == Failure::DiskFull || failureOfErrno(mainErrno) == Failure::DiskFull
            ? Failure::DiskFull
            : Failure::Other;
    case SQLITE_CANTOPEN:
        if (!folderWritable(path) || system == Failure::FolderReadOnly)
            return Failure::FolderReadOnly;
        return Failure::Other;
    case SQLITE_READONLY:
        return folderWritable(path) ? Failure::ReadOnly : Failure::FolderReadOnly;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return Failure::Damaged;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Failure::InUse;
    case SQLITE_INTERRUPT:
        return Failure::Interrupted;
    default:
        return Failure::Other;
    }
}

QuoteStore::QuoteStore(sqlite3 *db, const QByteArray &path)
    : m_db(db)
    , m_nativePath(path)
    , m_path(QFile::decodeName(path))
{
}

QuoteStore::~QuoteStore()
{
    sqlite3_close_v2(m_db);
}

QuoteStore::OpenResult QuoteStore::fail(sqlite3 *db, Failure failure, const QString &reason)
{
    if (db)
        sqlite3_close_v2(db);
    OpenResult result;
    result.failure = failure;
    result.reason = reason;
    return result;
}

QuoteStore::Failure QuoteStore::checkForeignSchema(sqlite3 *db, QString *reason)
{
    // The key is public, so anyone can make a file whose tabla1 is a view,
    // or carries triggers that delete or rewrite what is inserted.
    int rc = SQLITE_OK;
    const SqliteGlue::Statement stmt = SqliteGlue::prepare(
        db,
        "SELECT type, name FROM sqlite_master WHERE (type IN ('view', 'table') AND name = 'tabla1' COLLATE NOCASE) "
        "OR (type = 'trigger' AND tbl_name = 'tabla1' COLLATE NOCASE) ORDER BY rowid",
        &rc);
    if (rc != SQLITE_OK) {
        *reason = SqliteGlue::engineMessage(db, rc);
        return rc == SQLITE_CORRUPT ? Failure::Damaged : Failure::Other;
    }
    bool view = false;
    QStringList triggers;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        const QString type = SqliteGlue::columnText(stmt.get(), 0);
        if (type == QLatin1String("view"))
            view = true;
        else if (type == QLatin1String("trigger"))
            triggers << SqliteGlue::columnText(stmt.get(), 1);
    }
    if (rc != SQLITE_DONE) {
        *reason = SqliteGlue::engineMessage(db, rc);
        return rc == SQLITE_CORRUPT ? Failure::Damaged : Failure::Other;
    }
    if (view) {
        *reason = QStringLiteral("tabla1 es una vista, no una tabla");
        return Failure::ForeignSchema;
    }
    if (!triggers.isEmpty()) {
        *reason = QStringLiteral("tabla1 tiene disparadores (%1) que cambiarían las frases por su cuenta")
                      .arg(triggers.join(QStringLiteral(", ")));
        return Failure::ForeignSchema;
    }
    return Failure::None;
}

QuoteStore::Failure QuoteStore::checkSchema(sqlite3 *db, QString *reason, QStringList *hazards)
{
    const Failure foreign = checkForeignSchema(db, reason);
    if (foreign != Failure::None)
        return foreign;
    int rc = SQLITE_OK;
    const SqliteGlue::Statement stmt = SqliteGlue::prepare(db, "PRAGMA table_info(tabla1)", &rc);
    if (rc != SQLITE_OK) {
        *reason = SqliteGlue::engineMessage(db, rc);
        return Failure::Other;
    }
    QList<SchemaRules::Column> columns;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
        columns.append({SqliteGlue::columnText(stmt.get(), 1), SqliteGlue::columnText(stmt.get(), 2), QString()});
    if (rc != SQLITE_DONE) {
        *reason = SqliteGlue::engineMessage(db, rc);
        return rc == SQLITE_CORRUPT ? Failure::Damaged : Failure::Other;
    }
    if (columns.isEmpty()) {
        *reason = QStringLiteral("la tabla tabla1 no existe");
        return Failure::MissingTable;
    }
    QStringList names;
    for (SchemaRules::Column &column : columns) {
        names << column.name.toLower();
        const QByteArray name = column.name.toUtf8();
        const char *collation = nullptr;
        if (sqlite3_table_column_metadata(db, "main", "tabla1", name.constData(), nullptr, &collation, nullptr,
                                          nullptr, nullptr)
                == SQLITE_OK
            && collation)
            column.collation = QString::fromUtf8(collation);
    }
    QStringList missing;
    for (const char *name : {"autor", "frace", "tema", "Index"}) {
        if (!names.contains(QString::fromLatin1(name).toLower()))
            missing << QString::fromLatin1(name);
    }
    if (!missing.isEmpty()) {
        *reason = QStringLiteral("a tabla1 le faltan columnas: %1").arg(missing.join(QStringLiteral(", ")));
        return Failure::MissingColumn;
    }

    const SqliteGlue::Statement definition = SqliteGlue::prepare(
        db, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'tabla1' COLLATE NOCASE", &rc);
    if (rc != SQLITE_OK || sqlite3_step(definition.get()) != SQLITE_ROW) {
        *reason = SqliteGlue::engineMessage(db, sqlite3_errcode(db));
        return Failure::Other;
    }
    *hazards = SchemaRules::writeHazards(SqliteGlue::columnText(definition.get(), 0), columns);
    return Failure::None;
}

QuoteStore::OpenResult QuoteStore::checkPath(const QByteArray &path)
{
    const auto refuse = [](Failure failure, const QString &reason, int error) {
        OpenResult result = fail(nullptr, failure, reason);
        result.systemError = error;
        return result;
    };
    struct stat info;
    if (::stat(path.constData(), &info) == 0) {
        if (S_ISREG(info.st_mode))
            return {};
        return S_ISDIR(info.st_mode) ? refuse(Failure::Unreachable, FailureText::systemReason(EISDIR), EISDIR)
                                     : refuse(Failure::Unreachable, QStringLiteral("no es un archivo normal"), 0);
    }
    const int error = errno;
    struct stat link;
    if (error == ENOENT && ::lstat(path.constData(), &link) == 0 && S_ISLNK(link.st_mode))
        return refuse(Failure::Unreachable, QStringLiteral("es un enlace a un archivo que no existe"), error);
    if (error == ENOENT)
        return refuse(Failure::Missing, QStringLiteral("no existe el archivo %1").arg(QFile::decodeName(path)), error);
    return refuse(Failure::Unreachable, FailureText::systemReason(error), error);
}

QuoteStore::OpenResult QuoteStore::refuseFirstRead(sqlite3 *db, int rc, const QByteArray &path)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return fail(db, Failure::InUse, QStringLiteral("la base de datos está en uso por otro programa"));
    case SQLITE_NOTADB:
        return fail(db, Failure::WrongKey, QStringLiteral("clave incorrecta o el archivo no es una base de datos"));
    case SQLITE_CORRUPT:
        return fail(db, Failure::Damaged, QStringLiteral("el archivo está dañado"));
    default:
        return fail(db, classify(db, path), SqliteGlue::engineMessage(db, rc));
    }
}

QuoteStore::OpenResult QuoteStore::open(const QString &path, const QByteArray &key)
{
    return openPath(QFile::encodeName(path), key);
}

QuoteStore::OpenResult QuoteStore::openPath(const QByteArray &path, const QByteArray &key)
{
    if (key.isEmpty())
        return fail(nullptr, Failure::BadKey, QStringLiteral("la clave está vacía"));
    if (OpenResult refused = checkPath(path); refused.failure != Failure::None)
        return refused;

    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        return fail(db, Failure::Other, SqliteGlue::engineMessage(db, rc));
    if (sqlite3_db_readonly(db, "main") == 1)
        return fail(db, Failure::ReadOnly, QStringLiteral("el archivo es de solo lectura"));

    rc = sqlite3_key(db, key.constData(), int(key.size()));
    if (rc != SQLITE_OK)
        return fail(db, Failure::Other, SqliteGlue::engineMessage(db, rc));

    // Keep every lock once taken, for the whole life of the connection.
    rc = sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return fail(db, Failure::Other, SqliteGlue::engineMessage(db, rc));

    // Reading the schema proves the key. A file locked by someone else
    // answers BUSY whatever the key, so that is tested first.
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return refuseFirstRead(db, rc, path);
    // A read-only file only shows up once something is read.
    if (sqlite3_db_readonly(db, "main") == 1)
        return fail(db, Failure::ReadOnly, QStringLiteral("el archivo es de solo lectura"));

    QString reason;
    QStringList hazards;
    const Failure schema = checkSchema(db, &reason, &hazards);
    if (schema != Failure::None)
        return fail(db, schema, reason);
    // Writes into such a table could delete or drop records while saying
    // they were saved; only reading is safe.
    if (!hazards.isEmpty())
        return fail(db, Failure::ForeignSchema, hazards.join(QStringLiteral("; ")));

    if (sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK
        || sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail(db, classify(db, path), SqliteGlue::engineMessage(db, sqlite3_errcode(db)));

    // An empty exclusive transaction takes the exclusive lock, and the
    // exclusive locking mode keeps it until the connection closes.
    rc = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return fail(db, Failure::InUse, QStringLiteral("la base de datos está en uso por otro programa"));
    if (rc != SQLITE_OK)
        return fail(db, classify(db, path), SqliteGlue::engineMessage(db, rc));
    rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return fail(db, classify(db, path), SqliteGlue::engineMessage(db, rc));

    if (!SqliteGlue::registerFunctions(db))
        return fail(db, Failure::Other, SqliteGlue::engineMessage(db, sqlite3_errcode(db)));

    OpenResult result;
    result.store.reset(new QuoteStore(db, path));
    result.store->recordIdentity();
    return result;
}

QuoteStore::OpenResult QuoteStore::openForReading(const QByteArray &path, const QByteArray &key)
{
    if (key.isEmpty())
        return fail(nullptr, Failure::BadKey, QStringLiteral("la clave está vacía"));
    if (OpenResult refused = checkPath(path); refused.failure != Failure::None)
        return refused;

    // Opens, keys and reads the schema inside a read transaction, which
    // keeps the shared lock (and, in WAL mode, the snapshot) until close.
    bool immutable = false;
    const auto attempt = [&](sqlite3 **db) {
        const QByteArray name = immutable ? QByteArrayLiteral("file:") + uriPath(path) + "?immutable=1" : path;
        const int flags = SQLITE_OPEN_READONLY | (immutable ? SQLITE_OPEN_URI : 0);
        int rc = sqlite3_open_v2(name.constData(), db, flags, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_key(*db, key.constData(), int(key.size()));
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(*db, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        return rc;
    };

    sqlite3 *db = nullptr;
    int rc = attempt(&db);
    if ((rc & 0xff) == SQLITE_CANTOPEN) {
        // A WAL collection needs its -shm beside it; in a folder nobody may
        // write, with no -shm, no writer can be at work, so the file can be
        // read as it stands, unless its -wal holds changes the main file
        // lacks: reading without them would silently miss records.
        struct stat shm;
        struct stat wal;
        const bool noShm = ::stat((path + "-shm").constData(), &shm) != 0;
        const bool walPending = ::stat((path + "-wal").constData(), &wal) == 0 && wal.st_size > 0;
        if (noShm && !folderWritable(path)) {
            if (walPending)
                return fail(db, Failure::OwnerMustOpen,
                            QStringLiteral("el archivo está en modo WAL con cambios pendientes en %1-wal")
                                .arg(QFile::decodeName(path)));
            sqlite3_close_v2(db);
            db = nullptr;
            immutable = true;
            rc = attempt(&db);
        }
    }
    if ((rc & 0xff) == SQLITE_READONLY && ::access(path.constData(), W_OK) == 0 && folderWritable(path)) {
        // A journal left by an interrupted write: only a writer may roll it
        // back, and reading without that would see a half-made change.
        // Where the user may write, the rollback is done as the next writer
        // would do it, which restores the last saved state.
        sqlite3_close_v2(db);
        db = nullptr;
        sqlite3 *writer = nullptr;
        if (sqlite3_open_v2(path.constData(), &writer, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
            && sqlite3_key(writer, key.constData(), int(key.size())) == SQLITE_OK)
            sqlite3_exec(writer, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        sqlite3_close_v2(writer);
        rc = attempt(&db);
    }
    if ((rc & 0xff) == SQLITE_READONLY)
        return fail(db, Failure::NeedsRecovery, SqliteGlue::engineMessage(db, rc));
    if (rc != SQLITE_OK)
        return refuseFirstRead(db, rc, path);

    QString reason;
    QStringList hazards;
    const Failure schema = checkSchema(db, &reason, &hazards);
    if (schema != Failure::None)
        return fail(db, schema, reason);
    if (!SqliteGlue::registerFunctions(db))
        return fail(db, Failure::Other, SqliteGlue::engineMessage(db, sqlite3_errcode(db)));

    OpenResult result;
    result.store.reset(new QuoteStore(db, path));
    result.store->m_schemaWarnings = hazards;
    return result;
}

QuoteStore::OpenResult QuoteStore::create(const QString &path, const QByteArray &key)
{
    return createPath(QFile::encodeName(path), key);
}

QuoteStore::OpenResult QuoteStore::createPath(const QByteArray &path, const QByteArray &key)
{
    if (key.isEmpty())
        return fail(nullptr, Failure::BadKey, QStringLiteral("la clave está vacía"));
    const QByteArray &finalPath = path;
    struct stat info;
    if (::lstat(finalPath.constData(), &info) == 0)
        return fail(nullptr, Failure::AlreadyExists, QStringLiteral("el archivo %1 ya existe").arg(QFile::decodeName(path)));

    // The collection is built and keyed under a temporary name beside its
    // place, and linked there only if nothing has appeared meanwhile: a
    // file that turns up in between is never opened, let alone removed.
    // Only what this call made is ever deleted.
    QByteArray temporary;
    QString reason;
    const int fd = FilePlacement::createTemporaryBeside(finalPath, &temporary, &reason);
    if (fd < 0)
        return fail(nullptr, failureOfErrno(FilePlacement::lastError()), reason);
    const auto discard = [&] {
        ::close(fd);
        ::unlink(temporary.constData());
        ::unlink((temporary + "-journal").constData());
    };

    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(temporary.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_key(db, key.constData(), int(key.size()));
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db,
                          "PRAGMA journal_mode=DELETE;"
                          "PRAGMA synchronous=FULL;"
                          "CREATE TABLE tabla1 (autor TEXT, frace TEXT, tema TEXT, \"Index\" INTEGER);",
                          nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        reason = SqliteGlue::engineMessage(db, rc);
        const Failure failure = classify(db, path);
        sqlite3_close_v2(db);
        discard();
        return fail(nullptr, failure, reason);
    }
    rc = sqlite3_close_v2(db);
    if (rc != SQLITE_OK || !FilePlacement::syncFile(fd, temporary, &reason)) {
        if (rc != SQLITE_OK)
            reason = QString::fromUtf8(sqlite3_errstr(rc));
        discard();
        return fail(nullptr, failureOfErrno(errno) == Failure::DiskFull ? Failure::DiskFull : Failure::Other, reason);
    }
    ::close(fd);
    bool exists = false;
    if (!FilePlacement::placeNoReplace(temporary, finalPath, &reason, &exists)) {
        const Failure failure = exists ? Failure::AlreadyExists : Failure::Other;
        ::unlink(temporary.constData());
        return fail(nullptr, failure, exists ? QStringLiteral("el archivo %1 ya existe").arg(QFile::decodeName(path)) : reason);
    }
    return openPath(path, key);
}

bool QuoteStore::setError(const QString &context)
{
    m_lastError = context + QStringLiteral(": ") + SqliteGlue::engineMessage(m_db, sqlite3_errcode(m_db));
    m_lastFailure = classify(m_db, m_nativePath);
    // A cause the file's state shows replaces the engine's guess, never a
    // precise finding such as a full disk.
    const bool vague = m_lastFailure == Failure::Other || m_lastFailure == Failure::Damaged
        || m_lastFailure == Failure::ReadOnly || m_lastFailure == Failure::FolderReadOnly;
    const Failure cause = vague ? explainError(sqlite3_extended_errcode(m_db), sqlite3_system_errno(m_db)) : Failure::None;
    if (cause != Failure::None)
        m_lastFailure = cause;
    // A write of our own that failed and was rolled back may have touched
    // the file; what it left is ours, not another program's.
    if (m_identity.writing && sqlite3_get_autocommit(m_db) && fileChange() == Failure::ChangedByOther)
        recordIdentity();
    return false;
}

void QuoteStore::clearError()
{
    m_lastError.clear();
    m_lastFailure = Failure::None;
}

bool QuoteStore::interrupted()
{
    if (!Interruption::requested())
        return false;
    m_lastFailure = Failure::Interrupted;
    m_lastError = FailureText::engineReason(SQLITE_INTERRUPT);
    return true;
}

void QuoteStore::recordIdentity()
{
    m_identity = Identity();
    struct stat info;
    struct stat folder;
    if (::stat(m_nativePath.constData(), &info) != 0
        || ::stat(FilePlacement::folderOf(m_nativePath).constData(), &folder) != 0)
        return;
    m_identity.known = true;
    m_identity.device = info.st_dev;
    m_identity.inode = info.st_ino;
    m_identity.size = info.st_size;
    m_identity.modified = nanoseconds(info.st_mtim);
    m_identity.changed = nanoseconds(info.st_ctim);
    m_identity.links = info.st_nlink;
    m_identity.folderDevice = folder.st_dev;
    m_identity.folderInode = folder.st_ino;
}

QuoteStore::Failure QuoteStore::fileChange() const
{
    if (!m_identity.known)
        return Failure::None;
    struct stat folder;
    if (::stat(FilePlacement::folderOf(m_nativePath).constData(), &folder) != 0
        || folder.st_dev != m_identity.folderDevice || folder.st_ino != m_identity.folderInode)
        return Failure::FolderChanged;
    // The engine's own look: the open file no longer has this name.
    int moved = 0;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &moved);
    struct stat info;
    if (moved || ::stat(m_nativePath.constData(), &info) != 0 || info.st_dev != m_identity.device
        || info.st_ino != m_identity.inode || info.st_nlink == 0)
        return Failure::Vanished;
    // Inside a transaction of this store's own the engine may already
    // have written pages; only between transactions is any change to
    // the content someone else's. A change of permissions or attributes
    // alone (the change time) is not a change to the content.
    if (sqlite3_get_autocommit(m_db)
        && (info.st_size != m_identity.size || nanoseconds(info.st_mtim) != m_identity.modified))
        return Failure::ChangedByOther;
    return Failure::None;
}

bool QuoteStore::fileStillOurs()
{
    const Failure change = fileChange();
    if (change == Failure::None) {
        m_identity.writing = true;
        return true;
    }
    m_lastFailure = change;
    m_lastError = change == Failure::FolderChanged ? QStringLiteral("the folder of the file was renamed or moved")
                : change == Failure::Vanished      ? QStringLiteral("the file was deleted or replaced")
                                                   : QStringLiteral("the file was written by another program");
    return false;
}

bool QuoteStore::confirmWrite()
{
    if (!sqlite3_get_autocommit(m_db))
        return true;
    // The content changed by this very write; the name must still lead
    // to the file written, or the record is not in the collection.
    const Identity previous = m_identity;
    recordIdentity();
    if (!m_identity.known || m_identity.device != previous.device || m_identity.inode != previous.inode
        || m_identity.folderDevice != previous.folderDevice || m_identity.folderInode != previous.folderInode) {
        struct stat folder;
        const bool folderSame = ::stat(FilePlacement::folderOf(m_nativePath).constData(), &folder) == 0
            && folder.st_dev == previous.folderDevice && folder.st_ino == previous.folderInode;
        m_identity = previous;
        m_lastFailure = folderSame ? Failure::Vanished : Failure::FolderChanged;
        m_lastError = QStringLiteral("the file was deleted or replaced while it was written");
        return false;
    }
    return true;
}

QuoteStore::Failure QuoteStore::explainError(int resultCode, int systemErrno) const
{
    switch (resultCode & 0xff) {
    case SQLITE_IOERR:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
        break;
    default:
        return Failure::None;
    }
    // A write that failed half-way may have changed the file itself.
    const Failure change = fileChange();
    if (change != Failure::None && !(change == Failure::ChangedByOther && m_identity.writing))
        return change;
    struct stat journal;
    if (::stat((m_nativePath + "-journal").constData(), &journal) == 0 && !S_ISREG(journal.st_mode))
        return Failure::JournalBlocked;
    if ((resultCode & 0xff) != SQLITE_CORRUPT && (systemErrno == EPERM || systemErrno == EACCES || systemErrno == 0)
        && immutableFile(m_nativePath))
        return Failure::Immutable;
    return Failure::None;
}
