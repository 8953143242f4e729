// SPDX-License-Identifier: GPL-3.0-or-later
#include "Module1Main.h"

#include "Forms.h"
#include "Module1.h"
#include "dialogs/FrmSalir.h"
#include "dialogs/User.h"
#include "store/CollectionLocation.h"
#include "store/FailureText.h"
#include "store/Interruption.h"
#include "store/QuoteStore.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <QtDebug>

#include <csignal>
#include <exception>

#include <unistd.h>

namespace Module1 {

namespace {
QString g_lastOpenFailure;
} // namespace

void endOnSignals()
{
    static bool watching = false;
    if (watching)
        return;
    watching = true;
    Interruption::install();
    // A print server that goes away in the middle of a job is a lost
    // print to report, not a reason for the program to die.
    std::signal(SIGPIPE, SIG_IGN);
    auto *notifier = new QSocketNotifier(Interruption::notifier(), QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier] {
        char byte = 0;
        while (::read(Interruption::notifier(), &byte, 1) < 0 && errno == EINTR) {
        }
        notifier->setEnabled(false);
        endBySignal();
    });
}

void endBySignal()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    // Every statement under way has been stopped by the signal; closing
    // the connection removes the journal it kept while it held the lock.
    db.reset();
    endProgram();
}

QString lastOpenFailure()
{
    return g_lastOpenFailure;
}

void Main()
{
    try {
        // An installed program copies the shipped collection to the user's
        // folder on its first start; a failed copy leaves nothing behind
        // and ends in the no-database message like any failed open.
        const CollectionLocation location = CollectionLocation::resolve(programFolder());
        QString reason;
        QuoteStore::OpenResult opened;
        const QString path = location.collectionPath();
        if (location.ensureUserCollection(&reason))
            opened = QuoteStore::open(path);
        else
            opened.reason = reason;
        if (!opened) {
            g_lastOpenFailure = opened.reason;
            qWarning().noquote() << "Sentalia:" << FailureText::sentence(opened.failure, path, opened.reason) << "-"
                                << opened.reason;
        } else {
            db = std::move(opened.store);
            Forms::user()->show();
            return;
        }
    } catch (const std::exception &e) {
        g_lastOpenFailure = QString::fromLocal8Bit(e.what());
        qWarning().noquote() << "Sentalia:" << g_lastOpenFailure;
        db.reset();
    }
    Forms::frmsalir()->error();
}

} // namespace Module1
