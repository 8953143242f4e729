// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <memory>

class QMessageBox;
class QWidget;

// Every message box of the program goes through here: title "Sentalia",
// a single "Aceptar" button. Tests switch on recording, so that boxes are
// logged instead of waiting for a click.
class MessageBox {
public:
    enum class Icon { Critical, NoIcon };

    struct Record {
        QString title;
        QString text;
        Icon icon;
    };

    static void show(const QString &text, Icon icon = Icon::Critical, QWidget *parent = nullptr);
    // The box show() runs, not yet shown: in the designs' colours.
    static std::unique_ptr<QMessageBox> make(const QString &text, Icon icon, QWidget *parent);

    static void setRecording(bool on);
    static QList<Record> recorded();
    static void clearRecorded();
};
