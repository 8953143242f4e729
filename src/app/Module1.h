// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QuoteStore;

// Program-wide state shared by the windows, and the start of every run.
namespace Module1 {

// The open collection; empty when the open failed. Released at the end.
extern std::unique_ptr<QuoteStore> db;
// The name typed at start (at most 30 characters), set once.
extern QString usuario;
// Search mode chosen by the main window: true by topic, false by initial.
extern bool portema;
// Permission for the main window to close. Nothing ever sets it to true.
extern bool salir;

// Opens the collection and shows the first window: the user-name dialog,
// or the no-database message when the open fails. Returns at once.
void Main();

// The folder that holds the executable (tests point it elsewhere).
QString programFolder();
void setProgramFolder(const QString &folder);
// The help pages: Ayuda beside the program, or the installed ones.
QString helpFolder();

// Ends the program at once: no close request runs on the way out.
void endProgram();
// Tests replace the end with their own hook; nullptr restores it.
void setEndProgramHook(std::function<void()> hook);

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
