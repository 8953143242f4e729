// SPDX-License-Identifier: GPL-3.0-or-later
#include "CollectionBackup.h"

#include "PathName.h"
#include "Wording.h"

#include "store/FailureText.h"
#include "store/FilePlacement.h"
#include "store/Interruption.h"
#include "store/QuoteStore.h"

#include <QStringList>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Why the temporary copy could not be made beside the destination, in a
// sentence, with the system's own words as a detail.
QString folderError(const QByteArray &destination, int error, const QString &reason)
{
    const QString folder = PathName::display(FilePlacement::absoluteFolderOf(destination));
    QString sentence;
    if (error == EACCES || error == EPERM || error == EROFS)
        sentence = QStringLiteral("La carpeta %1 no permite escribir.").arg(folder);
    else if (error == ENOSPC || error == EDQUOT)
        sentence = QStringLiteral("No queda espacio en el disco de la carpeta %1.").arg(folder);
    else if (error == ENOENT || error == ENOTDIR)
        sentence = QStringLiteral("No existe la carpeta %1.").arg(folder);
    else if (error == ENAMETOOLONG)
        sentence = QStringLiteral("El nombre %1 es demasiado largo para la carpeta %2.")
                       .arg(PathName::display(destination), folder);
    else
        sentence = QStringLiteral("No se pudo escribir en la carpeta %1.").arg(folder);
    return sentence + QStringLiteral(" Detalle: ") + reason;
}

// Why the finished copy could not take its name. Hard links that the file
// system lacks are not a refusal to write: placement then goes other ways,
// and what is left to say is only what stopped them all.
QString placementError(const QByteArray &destination, int error, const QString &reason)
{
    QString sentence;
    if (error == ENOSPC || error == EDQUOT)
        sentence = QStringLiteral("No queda espacio en el disco de la carpeta %1.")
                       .arg(PathName::display(FilePlacement::absoluteFolderOf(destination)));
    else
        sentence = QStringLiteral("No se pudo dar el nombre %1 a la copia terminada, que se quitó.")
                       .arg(PathName::display(destination));
    return sentence + QStringLiteral(" Detalle: ") + reason;
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

    QByteArray temp;
    QString reason;
    const int fd = FilePlacement::createTemporaryBeside(destination, &temp, &reason);
    if (fd < 0) {
        m_error = folderError(destination, FilePlacement::lastError(), reason);
        return Outcome::Failed;
    }
    ::close(fd);
    // Removed if a signal ends the process before the copy is in place.
    Interruption::track(temp);
    const auto failed = [&](const QString &sentence) {
        Interruption::remove(temp);
        m_error = sentence;
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
            return failed(QStringLiteral("la copia tiene %1 y el original %2")
                              .arg(Wording::count(copied.records, "frase", "frases"))
                              .arg(counts.records));
    }
    // The copy is complete and checked; it takes the destination's name
    // only if that is still free, the same way every new collection does.
    bool exists = false;
    if (!FilePlacement::placeNoReplace(temp, destination, &reason, &exists)) {
        if (exists) {
            failed(QString());
            m_error = QStringLiteral("%1 ya existe; no se sobrescribe").arg(PathName::display(destination));
            return Outcome::Exists;
        }
        return failed(placementError(destination, FilePlacement::lastError(), reason));
    }
    Interruption::release(temp);
    m_records = counts.records;
    return Outcome::Done;
}
