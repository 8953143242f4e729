#include "FilePlacement.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

unsigned g_faults = FilePlacement::None;
thread_local int g_lastError = 0;

QString shown(const QByteArray &path)
{
    return QFile::decodeName(path);
}

bool failWith(QString *reason, const QString &sentence, int error)
{
    g_lastError = error;
    if (reason)
        *reason = sentence + QStringLiteral(": ") + qt_error_string(error);
    return false;
}

// A link() failure that means "this file system has no hard links" rather
// than "you may not".
bool linksUnsupported(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
}

int linkFile(const char *from, const char *to)
{
    if (g_faults & FilePlacement::NoHardLinks) {
        errno = EPERM;
        return -1;
    }
    return ::link(from, to);
}

int renameNoReplace(const char *from, const char *to)
{
    if (g_faults & FilePlacement::NoRenameNoReplace) {
        errno = EINVAL;
        return -1;
    }
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

bool writeAll(int fd, const char *data, ssize_t size)
{
    while (size > 0) {
        if (g_faults & FilePlacement::DiskFull) {
            errno = ENOSPC;
            return false;
        }
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

int FilePlacement::lastError()
{
    return g_lastError;
}

void FilePlacement::injectFaults(unsigned faults)
{
    g_faults = faults;
}

QByteArray FilePlacement::folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

int FilePlacement::createTemporaryBeside(const QByteArray &finalPath, QByteArray *tempPath, QString *reason)
{
    const qsizetype slash = finalPath.lastIndexOf('/');
    const QByteArray name = finalPath.mid(slash + 1);
    QByteArray pattern = finalPath.left(slash + 1) + '.' + name + QByteArrayLiteral(".XXXXXX");
    // mkostemp() makes the file with mode 0600 and never opens one that exists.
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        failWith(reason, QStringLiteral("No se pudo crear un archivo temporal en %1").arg(shown(folderOf(finalPath))),
                 errno);
        return -1;
    }
    *tempPath = pattern;
    return fd;
}

bool FilePlacement::syncFile(int fd, const QByteArray &path, QString *reason)
{
    if (::fsync(fd) == 0)
        return true;
    return failWith(reason, QStringLiteral("No se pudo guardar en disco %1").arg(shown(path)), errno);
}

bool FilePlacement::syncFolder(const QByteArray &folder, QString *reason)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return failWith(reason, QStringLiteral("No se pudo abrir la carpeta %1").arg(shown(folder)), errno);
    const bool synced = syncFile(fd, folder, reason);
    ::close(fd);
    return synced;
}

bool FilePlacement::placeNoReplace(const QByteArray &tempPath, const QByteArray &finalPath, QString *reason,
                                   bool *exists)
{
    if (exists)
        *exists = false;
    const auto refused = [&](int error) {
        if (exists)
            *exists = error == EEXIST;
        return failWith(reason, QStringLiteral("No se pudo poner %1 en su lugar").arg(shown(finalPath)), error);
    };

    if (linkFile(tempPath.constData(), finalPath.constData()) == 0) {
        // The file now has both names; the temporary one goes.
        ::unlink(tempPath.constData());
    } else if (!linksUnsupported(errno)) {
        return refused(errno);
    } else if (renameNoReplace(tempPath.constData(), finalPath.constData()) != 0) {
        return refused(errno);
    }
    // The file is in place either way; a folder that cannot be synced only
    // leaves the new name less certain to survive a power cut.
    QString ignored;
    syncFolder(folderOf(finalPath), &ignored);
    return true;
}

bool FilePlacement::copyNoReplace(const QByteArray &sourcePath, const QByteArray &finalPath, mode_t mode,
                                  QString *reason, bool *exists)
{
    if (exists)
        *exists = false;
    const int source = ::open(sourcePath.constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return failWith(reason, QStringLiteral("No se pudo leer %1").arg(shown(sourcePath)), errno);

    QByteArray tempPath;
    const int target = createTemporaryBeside(finalPath, &tempPath, reason);
    if (target < 0) {
        ::close(source);
        return false;
    }

    bool ok = true;
    if (::fchmod(target, mode) != 0)
        ok = failWith(reason, QStringLiteral("No se pudo dar permisos a %1").arg(shown(finalPath)), errno);
    char buffer[64 * 1024];
    while (ok) {
        const ssize_t got = ::read(source, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ok = failWith(reason, QStringLiteral("No se pudo leer %1").arg(shown(sourcePath)), errno);
        else if (got == 0)
            break;
        else if (!writeAll(target, buffer, got))
            ok = failWith(reason, QStringLiteral("No se pudo escribir %1").arg(shown(finalPath)), errno);
    }
    ::close(source);
    if (ok)
        ok = syncFile(target, finalPath, reason);
    if (::close(target) != 0 && ok)
        ok = failWith(reason, QStringLiteral("No se pudo escribir %1").arg(shown(finalPath)), errno);
    if (ok)
        ok = placeNoReplace(tempPath, finalPath, reason, exists);
    if (!ok)
        ::unlink(tempPath.constData());
    return ok;
}

bool FilePlacement::makeFolders(const QByteArray &folder, mode_t mode, QString *reason)
{
    if (folder.isEmpty())
        return failWith(reason, QStringLiteral("No se indicó ninguna carpeta"), ENOENT);
    // Each prefix that ends before a '/', then the folder itself.
    for (qsizetype end = folder.indexOf('/', 1);; end = folder.indexOf('/', end + 1)) {
        const QByteArray prefix = end < 0 ? folder : folder.left(end);
        if (!prefix.endsWith('/')) {
            if (::mkdir(prefix.constData(), mode) == 0) {
                // Exactly mode, whatever the umask took away.
                ::chmod(prefix.constData(), mode);
                QString ignored;
                syncFolder(folderOf(prefix), &ignored);
            } else {
                // A folder that exists is fine, whatever mkdir() said.
                const int error = errno;
                struct stat st;
                if (::stat(prefix.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
                    return failWith(reason, QStringLiteral("No se pudo crear la carpeta %1").arg(shown(prefix)),
                                    error == EEXIST ? ENOTDIR : error);
            }
        }
        if (end < 0)
            return true;
    }
}
