// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

// Program-wide settings applied once at start-up: the Spanish translations
// of Qt's own texts, the font substitutes and the program's identity.
namespace AppSetup {
void configure(QApplication &app);
}
