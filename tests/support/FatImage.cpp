// SPDX-License-Identifier: GPL-3.0-or-later
#include "FatImage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// mkfs.vfat lives in sbin, which an ordinary user's PATH may lack.
QString findProgram(const QString &name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty()
        ? QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
        : found;
}

// Whether the kernel lists a FUSE mount at this folder.
bool listedAsMount(const QString &folder)
{
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted = QFile::encodeName(folder);
    for (const QByteArray &line : mounts.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 2 && fields.at(1) == wanted && fields.at(2).startsWith("fuse"))
            return true;
    }
    return false;
}

} // namespace

FatImage::FatImage(bool writable)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder for the FAT image: %1").arg(m_dir.errorString());
        return;
    }
    m_image = m_dir.filePath(QStringLiteral("fat.img"));
    m_mountPoint = m_dir.filePath(QStringLiteral("mnt"));
    QFile image(m_image);
    if (!QDir().mkdir(m_mountPoint) || !image.open(QIODevice::WriteOnly) || !image.resize(32 * 1024 * 1024)) {
        m_error = QStringLiteral("cannot make the image file %1: %2").arg(m_image, image.errorString());
        return;
    }
    image.close();
    const QString mkfs = findProgram(QStringLiteral("mkfs.vfat"));
    if (mkfs.isEmpty()) {
        m_error = QStringLiteral("mkfs.vfat is not installed (package dosfstools)");
        return;
    }
    if (run(mkfs, {m_image}))
        mount(writable);
}

FatImage::~FatImage()
{
    unmount();
}

bool FatImage::remount(bool writable)
{
    unmount();
    return !m_image.isEmpty() && mount(writable);
}

bool FatImage::mount(bool writable)
{
    const QString fusefat = findProgram(QStringLiteral("fusefat"));
    if (fusefat.isEmpty()) {
        m_error = QStringLiteral("fusefat is not installed (package fusefat)");
        return false;
    }
    // Options that say neither ro nor rw+ make fusefat warn that its writing
    // is experimental and mount nothing.
    QStringList options{writable ? QStringLiteral("rw+") : QStringLiteral("ro")};
    // So that tests running as root can also try an unprivileged user.
    if (geteuid() == 0)
        options << QStringLiteral("allow_other");
    const QStringList arguments{m_image, m_mountPoint, QStringLiteral("-o"), options.join(QLatin1Char(','))};
    // fusefat goes to the background once the file system is mounted.
    if (!run(fusefat, arguments))
        return false;
    if (!listedAsMount(m_mountPoint)) {
        m_error = QStringLiteral("fusefat ended but %1 is not mounted").arg(m_mountPoint);
        return false;
    }
    m_mounted = true;
    return true;
}

void FatImage::unmount()
{
    if (!m_mounted)
        return;
    m_mounted = false;
    // Lazy: the mount goes at once even if a file there is still open.
    const QString fusermount = findProgram(QStringLiteral("fusermount"));
    if (!run(fusermount.isEmpty() ? QStringLiteral("fusermount") : fusermount,
             {QStringLiteral("-u"), QStringLiteral("-z"), m_mountPoint}))
        qWarning("FAT image left mounted: %s", qPrintable(m_error));
}

bool FatImage::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(30000)) {
        m_error = QStringLiteral("%1 did not run: %2").arg(program, process.errorString());
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QStringLiteral("%1 %2 failed: %3")
                      .arg(program, arguments.join(QLatin1Char(' ')),
                           QString::fromLocal8Bit(process.readAll()).trimmed());
        return false;
    }
    return true;
}
