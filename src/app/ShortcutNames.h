// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTranslator>

// Key names as the menus' captions write them: "Ctrl+N", "F5". Qt's
// Spanish catalogue spells the modifiers out ("Control", "Mayúsculas");
// installed after it, this translator answers first for the key names and
// leaves every other text (the message boxes' "Aceptar", "&Sí") to it.
class ShortcutNames : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};
