// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// SIGINT, SIGTERM and SIGHUP turned into something ordinary code can look
// at. The handler does only what is safe in a handler: it records the
// signal and writes one byte to a pipe. Long work polls requested() (the
// store also hands it to the engine, which then stops the statement under
// way), fails the way any other failure does, cleans up on that path, and
// finally calls endBySignal() so the parent sees the conventional status
// (128 + the signal: 130, 143, 129).
//
// A program with an event loop watches notifier() with a QSocketNotifier.
class Interruption {
public:
    // Installs the handlers (once; later calls do nothing) and restores the
    // default action of SIGPIPE, so a closed pipe ends the process quietly.
    static void install();
    // Whether install() has run in this process.
    static bool installed();

    // The signal received, or 0. Stays set once a signal has come.
    static int requested();
    // The read end of the pipe the handler writes to, or -1 before install().
    static int notifier();

    // Files to remove if the process ends by a signal before the work that
    // made them is done: registered as made, released once they are in
    // place or removed. remove() unlinks the file and forgets it.
    static void track(const QByteArray &path);
    static void release(const QByteArray &path);
    static void remove(const QByteArray &path);
    // Unlinks every tracked file (and its -journal).
    static void removeTracked();

    // Removes the tracked files, then ends the process by the signal
    // received, with its default action.
    [[noreturn]] static void endBySignal();

    // Tests: act as if sig had arrived (0 clears it).
    static void simulate(int sig);
};
