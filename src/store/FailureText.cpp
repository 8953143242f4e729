// SPDX-License-Identifier: GPL-3.0-or-later
#include "FailureText.h"

#include <QDir>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

#include <cerrno>
#include <cstring>

QString FailureText::systemReason(int error)
{
    static const struct {
        int error;
        const char *phrase;
    } phrases[] = {
        {ENOENT, "no existe"},
        {EACCES, "no hay permiso"},
        {EPERM, "el sistema no permite la operación"},
        {ENOSPC, "no queda espacio en el disco"},
        {EDQUOT, "se acabó el espacio permitido (la cuota)"},
        {EFBIG, "el archivo pasaría del tamaño permitido"},
        {EROFS, "el disco es de solo lectura"},
        {ENAMETOOLONG, "el nombre es demasiado largo"},
        {ELOOP, "los enlaces simbólicos del camino forman un círculo"},
        {ENOTDIR, "una parte del camino es un archivo, no una carpeta"},
        {EISDIR, "es una carpeta, no un archivo"},
        {EBUSY, "está ocupado"},
        {EXDEV, "está en otro sistema de archivos"},
        {EIO, "error de lectura o escritura en el disco"},
        {EMFILE, "hay demasiados archivos abiertos"},
        {ENFILE, "hay demasiados archivos abiertos en el sistema"},
        {EINVAL, "el sistema de archivos no admite la operación"},
        {EEXIST, "ya existe"},
        {EPIPE, "la salida se cerró"},
        {EINTR, "se interrumpió"},
        {ENOMEM, "no hay memoria suficiente"},
        {EOPNOTSUPP, "el sistema de archivos no admite la operación"},
        {ENOSYS, "el sistema no admite la operación"},
        {EMLINK, "el archivo tiene demasiados enlaces"},
        {ETXTBSY, "está en uso"},
        {EAGAIN, "el recurso no está disponible por ahora"},
    };
    for (const auto &entry : phrases) {
        if (entry.error == error)
            return QString::fromUtf8(entry.phrase);
    }
    return QString::fromLocal8Bit(std::strerror(error));
}

QString FailureText::engineReason(int resultCode)
{
    static const struct {
        int code;
        const char *phrase;
    } phrases[] = {
        {SQLITE_ERROR, "la base de datos rechazó la orden"},
        {SQLITE_PERM, "acceso denegado"},
        {SQLITE_ABORT, "se canceló la operación"},
        {SQLITE_BUSY, "la base de datos está en uso"},
        {SQLITE_LOCKED, "la tabla está bloqueada"},
        {SQLITE_NOMEM, "no hay memoria suficiente"},
        {SQLITE_READONLY, "la base de datos es de solo lectura"},
        {SQLITE_INTERRUPT, "se interrumpió"},
        {SQLITE_IOERR, "error de lectura o escritura en el disco"},
        {SQLITE_CORRUPT, "la base de datos está dañada"},
        {SQLITE_FULL, "la base de datos o el disco están llenos"},
        {SQLITE_CANTOPEN, "no se pudo abrir el archivo"},
        {SQLITE_PROTOCOL, "fallo en el bloqueo del archivo"},
        {SQLITE_SCHEMA, "la estructura de la base de datos cambió"},
        {SQLITE_TOOBIG, "el texto o el dato es demasiado grande"},
        {SQLITE_CONSTRAINT, "una regla de la tabla rechazó el cambio"},
        {SQLITE_MISMATCH, "un dato no es del tipo de su columna"},
        {SQLITE_MISUSE, "uso incorrecto de la base de datos"},
        {SQLITE_NOLFS, "el archivo es demasiado grande para este sistema"},
        {SQLITE_AUTH, "no autorizado"},
        {SQLITE_RANGE, "parámetro fuera de rango"},
        {SQLITE_NOTADB, "no es una base de datos, o la clave no es la suya"},
    };
    for (const auto &entry : phrases) {
        if (entry.code == (resultCode & 0xff))
            return QString::fromUtf8(entry.phrase);
    }
    return QStringLiteral("error %1 de la base de datos").arg(resultCode);
}

QString FailureText::sentence(QuoteStore::Failure failure, const QString &path, const QString &detail)
{
    using Failure = QuoteStore::Failure;
    const QString file = QDir::toNativeSeparators(path);
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    switch (failure) {
    case Failure::None:
        return {};
    case Failure::Missing:
        return QStringLiteral("No se encuentra el archivo de frases %1.").arg(file);
    case Failure::InUse:
        return QStringLiteral("El archivo de frases %1 está en uso por otro programa (otra copia de Sentalia o "
                              "sentalia-db). Ciérrelo y vuelva a intentarlo.")
            .arg(file);
    case Failure::WrongKey:
        return QStringLiteral("%1 no es un archivo de frases de Sentalia, o está cifrado con otra clave.").arg(file);
    case Failure::ReadOnly:
        return QStringLiteral("El archivo de frases %1 es de solo lectura: no se puede escribir en él.").arg(file);
    case Failure::FolderReadOnly:
        return QStringLiteral("La carpeta %1 no permite escribir, y sin eso no se pueden guardar cambios en el "
                              "archivo de frases. Pida permiso de escritura en ella.")
            .arg(folder);
    case Failure::DiskFull:
        return QStringLiteral("No queda espacio en el disco donde está %1 (o se acabó el espacio permitido). "
                              "Libere espacio y vuelva a intentarlo.")
            .arg(file);
    case Failure::MissingTable:
        return QStringLiteral("El archivo %1 no tiene la tabla de frases (tabla1).").arg(file);
    case Failure::MissingColumn:
        return QStringLiteral("A la tabla de frases del archivo %1 le faltan columnas.").arg(file);
    case Failure::ForeignSchema:
        return QStringLiteral("La tabla de frases del archivo %1 no es como la de Sentalia: %2. No se escribe en "
                              "ella, y el archivo queda como está.")
            .arg(file, detail.isEmpty() ? QStringLiteral("es una vista, o tiene disparadores o reglas que "
                                                         "cambiarían las frases por su cuenta")
                                        : detail);
    case Failure::Unreachable:
        return detail.isEmpty() ? QStringLiteral("No se puede llegar al archivo de frases %1.").arg(file)
                                : QStringLiteral("No se puede llegar al archivo de frases %1: %2.").arg(file, detail);
    case Failure::NeedsRecovery:
        return QStringLiteral("El archivo de frases %1 quedó a medio escribir (hay un diario %1-journal pendiente). "
                              "Ábralo una vez con Sentalia o con una orden que escriba, por quien pueda escribir en "
                              "él, y se completará la reparación.")
            .arg(file);
    case Failure::OwnerMustOpen:
        return QStringLiteral("El archivo de frases %1 tiene cambios pendientes en %1-wal, y su carpeta no permite "
                              "escribir: su dueño debe abrirlo una vez para que se puedan leer.")
            .arg(file);
    case Failure::Interrupted:
        return QStringLiteral("Se interrumpió el trabajo con el archivo de frases %1; quedó como estaba.").arg(file);
    case Failure::Damaged:
        return QStringLiteral("El archivo de frases %1 está dañado. Restáurelo desde una copia de seguridad.").arg(file);
    case Failure::AlreadyExists:
        return QStringLiteral("Ya existe un archivo %1, y no se sobrescribe.").arg(file);
    case Failure::BadKey:
        return QStringLiteral("La clave está vacía: el archivo de frases %1 quedaría sin cifrar.").arg(file);
    case Failure::Vanished:
        return QStringLiteral("El archivo de frases %1 fue borrado o reemplazado mientras Sentalia lo usaba: no se "
                              "escribió nada en él. Cierre Sentalia y vuelva a abrirlo.")
            .arg(file);
    case Failure::ChangedByOther:
        return QStringLiteral("Otro programa escribió en el archivo de frases %1 mientras Sentalia lo usaba, y "
                              "puede haberlo dañado: no se escribió nada más en él. Cierre Sentalia; si después no "
                              "abre, restáurelo desde una copia de seguridad.")
            .arg(file);
    case Failure::FolderChanged:
        return QStringLiteral("La carpeta %1 del archivo de frases cambió de nombre o de lugar mientras Sentalia lo "
                              "usaba: no se escribió nada en él. Cierre Sentalia y vuelva a abrirlo.")
            .arg(folder);
    case Failure::Immutable:
        return QStringLiteral("El archivo de frases %1 está marcado como inmutable: nadie puede escribir en él. "
                              "Quite esa marca (chattr -i) y vuelva a intentarlo.")
            .arg(file);
    case Failure::JournalBlocked:
        return QStringLiteral("En el lugar del diario del archivo de frases, %1-journal, hay una carpeta u otra cosa "
                              "que no es un archivo, y sin diario no se pueden guardar cambios. Quítela y vuelva a "
                              "intentarlo.")
            .arg(file);
    case Failure::Other:
        break;
    }
    return QStringLiteral("No se pudo usar el archivo de frases %1.").arg(file);
}
