// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageBox.h"

#include "Skin.h"
#include "SkinButton.h"
#include "Version.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
bool g_recording = false;
QList<MessageBox::Record> g_recorded;
} // namespace

void MessageBox::show(const QString &text, Icon icon, QWidget *parent)
{
    const QString title = QString::fromLatin1(Version::Title);
    if (g_recording) {
        g_recorded.append({title, text, icon});
        return;
    }
    make(text, icon, parent)->exec();
}

std::unique_ptr<QMessageBox> MessageBox::make(const QString &text, Icon icon, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                                             QString::fromLatin1(Version::Title), text, QMessageBox::Ok,
                                             parent ? parent : QApplication::activeWindow());
    Skin::setPalette(box.get());
    // Its button is the skin's, cream whatever the desktop's style paints,
    // with the caption Qt's catalogue gives it ("Aceptar").
    QAbstractButton *standard = box->button(QMessageBox::Ok);
    auto *accept = new SkinButton(standard->text());
    box->removeButton(standard);
    delete standard;
    box->addButton(accept, QMessageBox::AcceptRole);
    box->setDefaultButton(accept);
    box->setEscapeButton(accept);
    return box;
}

void MessageBox::setRecording(bool on)
{
    g_recording = on;
}

QList<MessageBox::Record> MessageBox::recorded()
{
    return g_recorded;
}

void MessageBox::clearRecorded()
{
    g_recorded.clear();
}
