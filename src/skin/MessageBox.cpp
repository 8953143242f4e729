#include "MessageBox.h"

#include "Version.h"

#include <QApplication>
#include <QMessageBox>

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
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon, title, text,
                    QMessageBox::Ok, parent ? parent : QApplication::activeWindow());
    box.exec();
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
