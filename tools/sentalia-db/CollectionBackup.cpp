#include "CollectionBackup.h"

#include "PathName.h"

#include "store/FailureText.h"
#include "store/QuoteStore.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Why a file could not be made in the copy's folder, in a sentence, with
// the system's own words as a detail.
QString folderError(const QByteArray &folder, int error)
{
    QString sentence;
    if (error == EACCES || error == EPERM || error == EROFS)
        sentence = QStringLiteral("La carpeta %1 no permite escribir.");
    else if (error == ENOSPC || error == EDQUOT)
        sentence = QStringLiteral("No queda espacio en el disco de la carpeta %1.");
    else if (error == ENOENT || error == ENOTDIR)
        sentence = QStringLiteral("No existe la carpeta %1.");
    else
        sentence = QStringLiteral("No se pudo escribir en la carpeta %1.");
    return sentence.arg(PathName::display(folder)) + QStringLiteral(" Detalle: ")
        + QString::fromLocal8Bit(std::strerror(error));
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

bool syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

QString storeError(QuoteStore::Failure failure, const QString &path, const QString &reason)
{
    return FailureText::sentence(failure, path) + QStringLiteral(" Detalle: ") + reason;
}

} // namespace

CollectionBackup::CollectionBackup(QuoteStore &store)
    : m_store(store)
{
}

CollectionBackup::Outcome CollectionBackup::copyTo(const QByteArray &destination)
{
    struct stat info;
    if (::lstat(destination.constData(), &info) == 0) {
        m_error = QStringLiteral("%1 ya existe; no se sobrescribe").arg(PathName::display(destination));
        return Outcome::Exists;
    }
    QuoteStore::Counts counts;
    if (!m_store.counts(&counts)) {
        m_error = storeError(m_store.lastFailure(), m_store.path(), m_store.lastError());
        return Outcome::Failed;
    }

    QByteArray temp = destination + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        m_error = folderError(folderOf(destination), errno);
        return Outcome::Failed;
    }
    ::close(fd);
    const auto failed = [&](const QString &reason) {
        ::unlink(temp.constData());
        ::unlink((temp + "-journal").constData());
        m_error = reason;
        return Outcome::Failed;
    };

    if (!m_store.backupTo(temp))
        return failed(storeError(m_store.lastFailure(), PathName::display(destination), m_store.lastError()));
    {
        QuoteStore::OpenResult copy = QuoteStore::openPath(temp);
        if (!copy)
            return failed(storeError(copy.failure, PathName::display(destination), copy.reason));
        QStringList problems;
        QuoteStore::Counts copied;
        if (!copy.store->integrityCheck(&problems) || !copy.store->counts(&copied))
            return failed(storeError(copy.store->lastFailure(), PathName::display(destination),
                                     copy.store->lastError()));
        if (!problems.isEmpty())
            return failed(QStringLiteral("la copia está dañada: %1").arg(problems.join(QStringLiteral("; "))));
        if (copied.records != counts.records)
            return failed(QStringLiteral("la copia tiene %1 frases y el original %2").arg(copied.records).arg(counts.records));
    }
    // The copy is complete and flushed by the engine; a hard link puts it
    // in place only if the name is still free.
    if (::link(temp.constData(), destination.constData()) != 0) {
        const int error = errno;
        if (error == EEXIST) {
            failed(QString());
            m_error = QStringLiteral("%1 ya existe; no se sobrescribe").arg(PathName::display(destination));
            return Outcome::Exists;
        }
        return failed(folderError(folderOf(destination), error));
    }
    ::unlink(temp.constData());
    syncFolder(folderOf(destination));
    m_records = counts.records;
    return Outcome::Done;
}
