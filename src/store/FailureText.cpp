#include "FailureText.h"

#include <QDir>
#include <QFileInfo>

QString FailureText::sentence(QuoteStore::Failure failure, const QString &path)
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
        return QStringLiteral("La tabla de frases del archivo %1 no es como la de Sentalia: es una vista o tiene "
                              "disparadores que cambiarían las frases por su cuenta. No se usa, y el archivo queda "
                              "como está.")
            .arg(file);
    case Failure::Damaged:
        return QStringLiteral("El archivo de frases %1 está dañado. Restáurelo desde una copia de seguridad.").arg(file);
    case Failure::AlreadyExists:
        return QStringLiteral("Ya existe un archivo %1, y no se sobrescribe.").arg(file);
    case Failure::BadKey:
        return QStringLiteral("La clave está vacía: el archivo de frases %1 quedaría sin cifrar.").arg(file);
    case Failure::Interrupted:
        return QStringLiteral("Interrumpido: se dejó el trabajo con %1 sin terminar, y no quedó nada a medias.")
            .arg(file);
    case Failure::Other:
        break;
    }
    return QStringLiteral("No se pudo usar el archivo de frases %1.").arg(file);
}
