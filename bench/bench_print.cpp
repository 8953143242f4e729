// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the listing of every quotation of a collection of the given size
// (100,000 unless told) as the results window's print picture does: on
// the default CUPS queue, one job. Reports how long the print took from
// the click until the job was handed to the print server, the peak
// resident memory on the way, and any message the program showed. Point
// CUPS_SERVER at a scheduler of your own (with a PDF queue as default) to
// look at the pages it made.
#include "BenchData.h"
#include "ProgramCollection.h"

#include "app/FormBuilders.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "browse/Frm.h"
#include "browse/RichTextView.h"
#include "mainwin/MdiInicio.h"
#include "skin/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QLabel>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    BenchData::offscreenUnlessTold();
    QApplication app(argc, argv);
    const int records = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    BenchData::startProgram(dir, records);

    Forms::mdiinicio()->showMaximized();
    Forms::mdiinicio()->verTodos();
    QApplication::processEvents();
    Frm *frm = Forms::frm();
    const qint64 listed = BenchData::statusKb("VmRSS:");

    const bool reset = BenchData::resetPeak();
    QElapsedTimer timer;
    timer.start();
    frm->imprimir();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const qint64 peak = BenchData::statusKb("VmHWM:");

    printf("records                         %d\n", records);
    printf("listing                         %lld characters (%s)\n", static_cast<long long>(frm->rtb1->text().size()),
           qPrintable(frm->lbl1->text()));
    printf("print, click to job handed over %9.1f s\n", seconds);
    printf("resident memory, listing shown  %6lld MB\n", static_cast<long long>(listed / 1024));
    printf("peak resident while printing    %6lld MB%s\n", static_cast<long long>(peak / 1024),
           reset ? "" : "  (peak NOT reset: includes the collection's making)");
    const QList<MessageBox::Record> boxes = MessageBox::recorded();
    printf("messages shown                  %lld\n", static_cast<long long>(boxes.size()));
    for (const MessageBox::Record &box : boxes)
        printf("  %s\n", qPrintable(box.text));
    // The listing's last quotation, without a copy of the listing.
    const QString text = frm->rtb1->text();
    const qsizetype end = text.size() - 2; // its two closing carriage returns
    const qsizetype start = text.lastIndexOf(QLatin1String("\r\r"), end - 1);
    if (end > 0)
        printf("last quotation                  %s\n",
               qPrintable(text.mid(start < 0 ? 0 : start + 2, end - (start < 0 ? 0 : start + 2)).replace(u'\r', u' ')));

    Forms::destroyAll();
    Module1::db.reset();
    return boxes.isEmpty() ? 0 : 1;
}
