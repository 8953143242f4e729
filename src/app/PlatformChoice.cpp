// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlatformChoice.h"

#include <QtGlobal>

#include <cstring>

namespace PlatformChoice {

QByteArray platformFor(const Session &session)
{
    // The user's choice stands, whatever the session.
    if (session.platformArgument || !session.qpaPlatform.isEmpty())
        return {};
    const bool wayland = !session.waylandDisplay.isEmpty() || session.sessionType == "wayland";
    // Without X, Wayland is all there is: Qt finds it on its own. With it,
    // Wayland stays the fallback for an X server that does not answer.
    if (wayland && !session.display.isEmpty())
        return QByteArrayLiteral("xcb;wayland");
    return {};
}

Session current(int argc, char **argv)
{
    Session session;
    session.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    session.sessionType = qgetenv("XDG_SESSION_TYPE");
    session.display = qgetenv("DISPLAY");
    session.qpaPlatform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i) {
        // Qt reads "-platform NAME", also spelt with two dashes.
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            session.platformArgument = true;
    }
    return session;
}

bool apply(int argc, char **argv)
{
    const QByteArray platform = platformFor(current(argc, argv));
    if (platform.isEmpty())
        return false;
    qputenv("QT_QPA_PLATFORM", platform);
    return true;
}

void undo()
{
    qunsetenv("QT_QPA_PLATFORM");
}

} // namespace PlatformChoice
