// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The start of every run and its end by a signal. They show and hide the
// windows, so they sit above them, with the composition root.
namespace Module1 {

// Opens the collection and shows the first window: the user-name dialog,
// or the no-database message when the open fails. Returns at once.
void Main();

// SIGTERM (a session that logs out), SIGHUP and SIGINT end the program
// cleanly from then on, through endBySignal(). Call once, after the
// application object exists.
void endOnSignals();
// What such a signal does: every window hidden at once, the collection
// closed (every saved quotation kept, no journal left beside it) and the
// program ended with status 0, without the farewell. A dialog or a
// listing under way does not hold it up; whatever was typed and not saved
// is lost, as with any program at logout.
void endBySignal();

// Why the last open failed, for diagnostics only.
QString lastOpenFailure();

} // namespace Module1
