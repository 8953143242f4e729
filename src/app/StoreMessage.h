#pragma once

#include <QString>

class QWidget;

// Tells the user that the collection let them down: what could not be done,
// then the engine's own reason (or that no collection is open). Critical
// icon, title "Sentalia". The program goes on; nothing stored is touched.
class StoreMessage {
public:
    static void show(const QString &what, QWidget *parent = nullptr);
};
