// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// Tells the user that the collection let them down: what could not be done,
// then a Spanish sentence for the kind of failure (damaged, in use, folder
// not writable, disk full, ...). The engine's own text goes to standard
// error only. Critical icon, title "Sentalia". The program goes on; nothing
// stored is touched.
class StoreMessage {
public:
    static void show(const QString &what, QWidget *parent = nullptr);
};
