// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The composition root of the windows: tells Forms how to build each of
// the nine. Called once before the first window is referenced (by main,
// and by every program that shows the windows); calling it again does no
// harm.
namespace FormBuilders {
void install();
}
