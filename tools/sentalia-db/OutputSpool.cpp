// SPDX-License-Identifier: GPL-3.0-or-later
#include "OutputSpool.h"

#include "store/FailureText.h"

#include "PathName.h"

#include "store/Interruption.h"


#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 Piece = 64 * 1024;

// Why the folder refused, as a user reads it.
QString reason(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("no existe");
    case ENOTDIR:
        return QStringLiteral("no es una carpeta");
    case EACCES:
    case EPERM:
        return QStringLiteral("no tiene permiso para escribir en ella");
    case EROFS:
        return QStringLiteral("está en un medio de solo lectura");
    case ENOSPC:
        return QStringLiteral("no queda espacio en el disco");
    case EDQUOT:
        return QStringLiteral("se llegó al límite de espacio de su usuario");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    case EIO:
        return QStringLiteral("el disco dio un error de lectura o escritura");
    default:
        return FailureText::systemReason(error);
    }
}

} // namespace

OutputSpool::OutputSpool() = default;

OutputSpool::~OutputSpool()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool OutputSpool::create()
{
    // TMPDIR as given, bytes and all: QDir::tempPath() turns a folder that
    // does not exist into an empty name, and a temporary file made from
    // that lands in the root folder.
    m_folder = qgetenv("TMPDIR");
    if (m_folder.isEmpty())
        m_folder = "/tmp";
    m_fd = ::open(m_folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files on this file system: a name, gone at once.
        QByteArray name = m_folder + "/sentalia-db.XXXXXX";
        m_fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (m_fd >= 0) {
            Interruption::track(name);
            Interruption::remove(name);
        }
    }
    if (m_fd < 0) {
        failed("crear un", errno);
        return false;
    }
    return open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

void OutputSpool::failed(const char *what, int error)
{
    m_failure = QStringLiteral("No se pudo %1 archivo temporal en la carpeta %2 (TMPDIR): %3. Detalle: %4")
                    .arg(QLatin1String(what), PathName::display(m_folder), reason(error),
                         QString::fromLocal8Bit(std::strerror(error)));
    setErrorString(m_failure);
}

qint64 OutputSpool::writeData(const char *data, qint64 maxSize)
{
    qint64 done = 0;
    while (done < maxSize) {
        const ssize_t written = ::write(m_fd, data + done, size_t(maxSize - done));
        if (written < 0 && errno == EINTR && !Interruption::requested())
            continue;
        if (written <= 0) {
            failed("escribir el", written < 0 ? errno : ENOSPC);
            return -1;
        }
        done += written;
    }
    return done;
}

qint64 OutputSpool::readData(char *data, qint64 maxSize)
{
    for (;;) {
        const ssize_t got = ::read(m_fd, data, size_t(maxSize));
        if (got >= 0)
            return got;
        if (errno != EINTR || Interruption::requested()) {
            failed("leer el", errno);
            return -1;
        }
    }
}

bool OutputSpool::copyTo(std::FILE *out)
{
    if (::lseek(m_fd, 0, SEEK_SET) != 0) {
        failed("leer el", errno);
        return false;
    }
    std::fflush(out);
    QByteArray piece(Piece, Qt::Uninitialized);
    for (;;) {
        if (Interruption::requested())
            return false;
        const qint64 got = readData(piece.data(), Piece);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        if (std::fwrite(piece.constData(), 1, size_t(got), out) != size_t(got)) {
            // A signal breaks a blocked write too; that is no output failure.
            m_outputFailed = !Interruption::requested();
            return false;
        }
    }
    if (std::fflush(out) != 0 || std::ferror(out)) {
        m_outputFailed = !Interruption::requested();
        return false;
    }
    return true;
}
