// SPDX-License-Identifier: GPL-3.0-or-later
#include "Timings.h"

namespace Timings {

namespace {
int defaultInterval(Timer timer)
{
    switch (timer) {
    case Timer::Clock:
        return 100;
    case Timer::Splash:
        return 115;
    case Timer::EndTimer:
        return 100;
    case Timer::PrintProgress:
        return 1000;
    }
    return 100;
}

int g_override[4] = {-1, -1, -1, -1};
} // namespace

int interval(Timer timer)
{
    const int over = g_override[int(timer)];
    return over >= 0 ? over : defaultInterval(timer);
}

void setInterval(Timer timer, int milliseconds)
{
    g_override[int(timer)] = milliseconds;
}

void reset()
{
    for (int &over : g_override)
        over = -1;
}

} // namespace Timings
