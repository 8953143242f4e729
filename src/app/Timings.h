// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The intervals of the program's timers, kept in one place so that tests can
// shorten them (or drive the ticks by hand) instead of waiting.
namespace Timings {

enum class Timer {
    Clock,    // main window clock, 100 ms
    Splash,   // splash progress, 115 ms
    EndTimer, // farewell end timer, 100 ms
    PrintProgress, // a print still being laid out after this long shows its progress, 1000 ms
};

int interval(Timer timer);
void setInterval(Timer timer, int milliseconds);
void reset();

} // namespace Timings
