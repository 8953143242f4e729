// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Which of Qt's window systems the program runs on, chosen before the
// application object exists.
//
// The windows are placed where the designs put them (every skinned dialog
// and the splash centred, shaped borderless frames), which a Wayland client
// cannot do. On a Wayland session that also offers X (XWayland), the program
// therefore runs on X, unless the user chose a platform.
namespace PlatformChoice {

struct Session {
    QByteArray waylandDisplay;  // WAYLAND_DISPLAY
    QByteArray sessionType;     // XDG_SESSION_TYPE
    QByteArray display;         // DISPLAY
    QByteArray qpaPlatform;     // QT_QPA_PLATFORM
    bool platformArgument = false; // -platform on the command line
};

// The platforms to ask Qt for, in order ("xcb;wayland"), or empty to leave
// the choice to Qt.
QByteArray platformFor(const Session &session);

// The session this process runs in.
Session current(int argc, char **argv);

// Sets QT_QPA_PLATFORM for the application object about to be made, when
// platformFor asks for a platform; true when it did. undo() then clears it,
// so programs started from this one choose for themselves.
bool apply(int argc, char **argv);
void undo();

} // namespace PlatformChoice
