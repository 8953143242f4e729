// SPDX-License-Identifier: GPL-3.0-or-later
#include "CollectionLocation.h"

#include "FilePlacement.h"
#include "QuoteStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Anything named frase.mdb counts, even a link to nowhere: the folder then
// has chosen its collection, and opening it says what is wrong with it.
bool entryExists(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// $XDG_DATA_HOME, or ~/.local/share, as the bytes the file system holds. A
// relative XDG_DATA_HOME is ignored, as the freedesktop.org rules ask.
// Empty when no home folder is known.
QByteArray userDataFolder()
{
    const QByteArray xdg = qgetenv("XDG_DATA_HOME");
    if (xdg.startsWith('/'))
        return xdg;
    QByteArray home = qgetenv("HOME");
    if (home.isEmpty()) {
        if (const passwd *entry = ::getpwuid(::getuid()))
            home = entry->pw_dir;
    }
    if (home.isEmpty())
        return {};
    return home + "/.local/share";
}

} // namespace

CollectionLocation CollectionLocation::resolve(const QString &programFolder)
{
    return resolve(QFile::encodeName(programFolder));
}

CollectionLocation CollectionLocation::resolve(const QByteArray &programFolder)
{
    CollectionLocation location;
    const QString folder = QFile::decodeName(programFolder);
    location.m_file = programFolder + '/' + QuoteStore::FileName;
    location.m_help = folder + QLatin1Char('/') + QLatin1String(HelpFolderName);
    if (entryExists(location.m_file))
        return location;

    const QByteArray shipped = programFolder + "/../" + ShareFolder + '/' + QuoteStore::FileName;
    struct stat info;
    if (::stat(shipped.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return location;

    const QString share = QDir::cleanPath(folder + QStringLiteral("/../") + QLatin1String(ShareFolder));
    location.m_user = true;
    location.m_shippedFile = shipped;
    location.m_shipped = share + QLatin1Char('/') + QLatin1String(QuoteStore::FileName);
    location.m_help = share + QLatin1Char('/') + QLatin1String(HelpFolderName);
    const QByteArray data = userDataFolder();
    location.m_file = data.isEmpty() ? QByteArray() : data + "/sentalia/" + QuoteStore::FileName;
    return location;
}

QString CollectionLocation::collectionPath() const
{
    return QFile::decodeName(m_file);
}

bool CollectionLocation::ensureUserCollection(QString *reason, int *error) const
{
    if (!m_user)
        return true;
    const auto failed = [&](int number) {
        if (error)
            *error = number;
        return false;
    };
    if (m_file.isEmpty()) {
        *reason = QStringLiteral("No se sabe cuál es la carpeta personal: no están ni HOME ni XDG_DATA_HOME");
        return failed(ENOENT);
    }
    const QByteArray &target = m_file;
    if (!FilePlacement::makeFolders(FilePlacement::folderOf(target), 0700, reason))
        return failed(FilePlacement::lastError());
    if (entryExists(m_file))
        return true;
    bool exists = false;
    if (FilePlacement::copyNoReplace(m_shippedFile, target, 0600, reason, &exists))
        return true;
    // Another copy of the program got there first with a complete file.
    if (exists) {
        reason->clear();
        return true;
    }
    return failed(FilePlacement::lastError());
}
