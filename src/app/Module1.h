// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QuoteStore;

// Program-wide state shared by the windows. The start of a run and its end
// by a signal are in Module1Main.h, above the windows.
namespace Module1 {

// The open collection; empty when the open failed. Released at the end.
extern std::unique_ptr<QuoteStore> db;
// The name typed at start (at most 30 characters), set once.
extern QString usuario;
// Search mode chosen by the main window: true by topic, false by initial.
extern bool portema;
// Permission for the main window to close. Nothing ever sets it to true.
extern bool salir;

// The folder that holds the executable (tests point it elsewhere).
QString programFolder();
void setProgramFolder(const QString &folder);
// The help pages: Ayuda beside the program, or the installed ones.
QString helpFolder();

// Ends the program at once: no close request runs on the way out.
void endProgram();
// Tests replace the end with their own hook; nullptr restores it.
void setEndProgramHook(std::function<void()> hook);

} // namespace Module1
