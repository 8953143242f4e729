// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// What the information windows ask of the desktop: open an address in the
// user's browser or mail program, start a program by its path, and tell
// whether a program file is there. Tests put hooks in place of each, so
// nothing is launched while they run.
class Desktop {
public:
    static bool openUrl(const QUrl &url);
    // Starts the program in a normal, activated window; false when it
    // could not be started.
    static bool startProgram(const QString &path);
    // True for an ordinary file: not a folder, not hidden, not a system file.
    static bool fileExists(const QString &path);

    static void setOpenUrlHook(std::function<bool(const QUrl &)> hook);
    static void setStartProgramHook(std::function<bool(const QString &)> hook);
    static void setFileExistsHook(std::function<bool(const QString &)> hook);
};
