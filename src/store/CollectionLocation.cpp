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
bool entryExists(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// $XDG_DATA_HOME, or ~/.local/share. A relative XDG_DATA_HOME is ignored,
// as the freedesktop.org rules ask. Empty when no home folder is known.
QString userDataFolder()
{
    const QByteArray xdg = qgetenv("XDG_DATA_HOME");
    if (xdg.startsWith('/'))
        return QFile::decodeName(xdg);
    QByteArray home = qgetenv("HOME");
    if (home.isEmpty()) {
        if (const passwd *entry = ::getpwuid(::getuid()))
            home = entry->pw_dir;
    }
    if (home.isEmpty())
        return {};
    return QFile::decodeName(home) + QStringLiteral("/.local/share");
}

} // namespace

CollectionLocation CollectionLocation::resolve(const QString &programFolder)
{
    CollectionLocation location;
    const QChar sep = QDir::separator();
    location.m_collection = QuoteStore::databasePath(programFolder);
    location.m_help = programFolder + sep + QLatin1String(HelpFolderName);
    if (entryExists(location.m_collection))
        return location;

    const QString share = QDir::cleanPath(programFolder + QStringLiteral("/../") + QLatin1String(ShareFolder));
    const QString shipped = share + QLatin1Char('/') + QLatin1String(QuoteStore::FileName);
    if (!QFileInfo(shipped).isFile())
        return location;

    location.m_user = true;
    location.m_shipped = shipped;
    location.m_help = share + QLatin1Char('/') + QLatin1String(HelpFolderName);
    const QString data = userDataFolder();
    location.m_collection = data.isEmpty()
        ? QString()
        : data + QStringLiteral("/sentalia/") + QLatin1String(QuoteStore::FileName);
    return location;
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
    if (m_collection.isEmpty()) {
        *reason = QStringLiteral("No se sabe cuál es la carpeta personal: no están ni HOME ni XDG_DATA_HOME");
        return failed(ENOENT);
    }
    const QByteArray target = QFile::encodeName(m_collection);
    if (!FilePlacement::makeFolders(FilePlacement::folderOf(target), 0700, reason))
        return failed(FilePlacement::lastError());
    if (entryExists(m_collection))
        return true;
    bool exists = false;
    if (FilePlacement::copyNoReplace(QFile::encodeName(m_shipped), target, 0600, reason, &exists))
        return true;
    // Another copy of the program got there first with a complete file.
    if (exists) {
        reason->clear();
        return true;
    }
    return failed(FilePlacement::lastError());
}
