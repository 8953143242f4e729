// SPDX-License-Identifier: GPL-3.0-or-later
#include "Desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
std::function<bool(const QUrl &)> g_openUrl;
std::function<bool(const QString &)> g_startProgram;
std::function<bool(const QString &)> g_fileExists;
} // namespace

bool Desktop::openUrl(const QUrl &url)
{
    if (g_openUrl)
        return g_openUrl(url);
    return QDesktopServices::openUrl(url);
}

bool Desktop::startProgram(const QString &path)
{
    if (g_startProgram)
        return g_startProgram(path);
    if (path.isEmpty())
        return false;
    return QProcess::startDetached(path, {});
}

bool Desktop::fileExists(const QString &path)
{
    if (g_fileExists)
        return g_fileExists(path);
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.isFile() || info.isHidden())
        return false;
#ifdef Q_OS_WIN
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(path.utf16()));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_SYSTEM))
        return false;
#endif
    return true;
}

void Desktop::setOpenUrlHook(std::function<bool(const QUrl &)> hook)
{
    g_openUrl = std::move(hook);
}

void Desktop::setStartProgramHook(std::function<bool(const QString &)> hook)
{
    g_startProgram = std::move(hook);
}

void Desktop::setFileExistsHook(std::function<bool(const QString &)> hook)
{
    g_fileExists = std::move(hook);
}
