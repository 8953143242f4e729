// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilePlacement.h"

#include "FailureText.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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
        *reason = QStringLiteral("%1: %2 (%3)").arg(sentence, FailureText::systemReason(error), qt_error_string(error));
    return false;
}

// A link() failure that means "this file system has no hard links" rather
// than "you may not".
bool linksUnsupported(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
}

// An fchmod() failure that means "this file system keeps no permissions".
bool permissionsUnsupported(int error)
{
    return error == ENOSYS || error == EOPNOTSUPP || error == EPERM;
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

// A renameat2() failure that means "this file system cannot rename
// without replacing" (fusefat and old NFS answer EINVAL).
bool renameNoReplaceUnsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

int renameFile(const char *from, const char *to)
{
    if (g_faults & FilePlacement::RenameFails) {
        errno = EIO;
        return -1;
    }
    return ::rename(from, to);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The last resort where the file system has neither hard links nor a
// rename that refuses to replace: an empty placeholder claims the name
// (O_EXCL fails if anything is there), and the finished file is renamed
// over it. Before the rename the name must still hold the very placeholder
// made here, still empty; a file that took its place is never replaced.
// Only a crash between the two steps can leave the empty placeholder.
int placeOverPlaceholder(const char *from, const char *to)
{
    const int fd = ::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat made;
    const bool known = ::fstat(fd, &made) == 0;
    // Closed before the rename: FUSE hides a file renamed over while open
    // under a .fuse_hidden name instead of removing it.
    ::close(fd);
    const auto ours = [&] {
        struct stat now;
        return known && ::lstat(to, &now) == 0 && S_ISREG(now.st_mode) && sameFile(now, made) && now.st_size == 0;
    };
    if (!ours()) {
        errno = EEXIST;
        return -1;
    }
    if (renameFile(from, to) != 0) {
        const int error = errno;
        if (ours())
            ::unlink(to);
        errno = error;
        return -1;
    }
    return 0;
}

// The three ways of placeNoReplace(), each tried when the one before is
// not supported here. 0, or -1 with errno.
int placeFirstWay(const char *from, const char *to)
{
    if (linkFile(from, to) == 0) {
        // The file now has both names; the temporary one goes.
        ::unlink(from);
        return 0;
    }
    if (!linksUnsupported(errno))
        return -1;
    if (renameNoReplace(from, to) == 0)
        return 0;
    if (!renameNoReplaceUnsupported(errno))
        return -1;
    return placeOverPlaceholder(from, to);
}

// The longest name the folder's file system takes, in bytes.
long nameLimit(const QByteArray &folder)
{
    const long limit = ::pathconf(folder.constData(), _PC_NAME_MAX);
    return limit > 0 ? limit : 255;
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

QByteArray FilePlacement::absoluteFolderOf(const QByteArray &path)
{
    const QByteArray folder = folderOf(path);
    if (folder.startsWith('/'))
        return folder;
    char *cwd = ::getcwd(nullptr, 0);
    if (!cwd)
        return folder;
    QByteArray absolute(cwd);
    std::free(cwd);
    if (folder == ".")
        return absolute;
    if (!absolute.endsWith('/'))
        absolute += '/';
    return absolute + (folder.startsWith("./") ? folder.mid(2) : folder);
}

QByteArray FilePlacement::temporaryName(const QByteArray &name, long limit)
{
    // "." + name + ".XXXXXX", and the engine's journal adds "-journal" to
    // that: the part of the name copied is cut to leave room for both, at a
    // character boundary so that a UTF-8 name stays UTF-8.
    const qsizetype room = qMax<qsizetype>(limit - qsizetype(sizeof TemporaryExtra - 1), 1);
    qsizetype cut = qMin(name.size(), room);
    while (cut > 0 && cut < name.size() && (uchar(name.at(cut)) & 0xC0) == 0x80)
        --cut;
    return '.' + name.left(cut) + QByteArrayLiteral(".XXXXXX");
}

int FilePlacement::createTemporaryBeside(const QByteArray &finalPath, QByteArray *tempPath, QString *reason)
{
    const qsizetype slash = finalPath.lastIndexOf('/');
    const QByteArray name = finalPath.mid(slash + 1);
    const QByteArray folder = folderOf(finalPath);
    const auto refused = [&](int error) {
        const QString where = shown(absoluteFolderOf(finalPath));
        failWith(reason,
                 error == ENAMETOOLONG
                     ? QStringLiteral("El nombre %1 es demasiado largo para la carpeta %2").arg(shown(name), where)
                     : QStringLiteral("No se pudo crear un archivo temporal en la carpeta %1").arg(where),
                 error);
        return -1;
    };
    const long limit = nameLimit(folder);
    // Some file systems (FAT through FUSE) answer EPERM for a name that is
    // too long: such a name is refused here, in plain words, before any work.
    if (name.size() > limit)
        return refused(ENAMETOOLONG);
    QByteArray pattern = finalPath.left(slash + 1) + temporaryName(name, limit);
    // mkostemp() makes the file with mode 0600 and never opens one that exists.
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return refused(errno);
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

    // What goes in place is on disk first, whatever the caller did.
    const int fd = ::open(tempPath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return refused(errno);
    const bool synced = ::fsync(fd) == 0;
    const int syncError = errno;
    ::close(fd);
    if (!synced)
        return refused(syncError);

    if (placeFirstWay(tempPath.constData(), finalPath.constData()) != 0)
        return refused(errno);
    // The file is in place whichever way; a folder that cannot be synced
    // only leaves the new name less certain to survive a power cut.
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
    // A file system without permissions (FAT through fusefat answers ENOSYS)
    // leaves the mode to its mount options: the copy is made all the same.
    if (::fchmod(target, mode) != 0 && !permissionsUnsupported(errno))
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
