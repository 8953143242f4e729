// SPDX-License-Identifier: GPL-3.0-or-later
// Times the listing of every quotation of a 100,000-record collection into
// the results window, text shown, against the store's own scan of the same
// records, and reports the memory the program holds afterwards. Run under
// bench/a11y-bus.sh, it does the same with Qt's accessibility active and
// reads the listing back as a screen reader does.
#include "BenchData.h"
#include "ProgramCollection.h"

#include "app/FormBuilders.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "browse/Frm.h"
#include "browse/Listing.h"
#include "browse/RichTextView.h"
#include "mainwin/MdiInicio.h"
#include "skin/MessageBox.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    BenchData::offscreenUnlessTold();
    QApplication app(argc, argv);
    const int records = argc > 1 ? atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? atoi(argv[2]) : 7;
    QTemporaryDir dir;
    BenchData::startProgram(dir, records);
    const qint64 rssBefore = BenchData::statusKb("VmRSS:");

    MdiInicio *main = Forms::mdiinicio();
    main->resize(1280, 800);
    main->showMaximized();
    QApplication::processEvents();

    // The store's scan, reading both columns as the listing does; the text
    // built from it; and the whole listing, from the call to the text
    // painted in the window. The three are taken in turn in every round, so
    // that a busy machine weighs on all of them alike.
    qint64 seen = 0;
    std::vector<double> scans, builds, listings;
    double first = -1;
    qint64 listingPeak = -1;
    bool peakReset = true;
    for (int round = 0; round < runs; ++round) {
        QElapsedTimer timer;
        timer.start();
        seen = 0;
        qint64 characters = 0;
        Module1::db->allQuotes([&](const QString &frace, const QString &autor) {
            ++seen;
            characters += frace.size() + autor.size();
        });
        scans.push_back(timer.nsecsElapsed() / 1e6);

        timer.restart();
        {
            Listing built;
            Module1::db->allQuotes([&](const QString &frace, const QString &autor) { built.add(frace, autor); });
            builds.push_back(timer.nsecsElapsed() / 1e6);
        }

        peakReset = BenchData::resetPeak() && peakReset;
        timer.restart();
        Forms::mdiinicio()->verTodos();
        Forms::frm()->rtb1->viewport()->repaint();
        QApplication::processEvents();
        listings.push_back(timer.nsecsElapsed() / 1e6);
        listingPeak = std::max(listingPeak, BenchData::statusKb("VmHWM:"));
        if (first < 0)
            first = listings.back();
    }
    const auto median = [](std::vector<double> times) {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const qint64 rssListing = BenchData::statusKb("VmRSS:");
    const double scan = median(scans);
    const double build = median(builds);
    const double listing = median(listings);

    // Setting a long text into a view of its own.
    RichTextView view;
    {
        Listing built;
        Module1::db->allQuotes([&](const QString &frace, const QString &autor) { built.add(frace, autor); });
        view.setText(built.text());
    }
    const double set = BenchData::medianMs(runs, [&] { view.setText(view.text()); });
    view.setText(QString());

    Frm *frm = Forms::frm();
    QApplication::processEvents();

    // The listing as a screen reader reads it.
    qint64 a11yCount = -1;
    QString a11yHead;
    double a11yMs = 0;
    if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(frm->rtb1)) {
        if (QAccessibleTextInterface *text = iface->textInterface()) {
            QElapsedTimer timer;
            timer.start();
            a11yCount = text->characterCount();
            a11yHead = text->text(0, 1000);
            a11yMs = timer.nsecsElapsed() / 1e6;
        }
    }
    const bool a11ySame = a11yCount == frm->rtb1->text().size() && a11yHead == frm->rtb1->text().left(1000);

    const qint64 rss = BenchData::statusKb("VmRSS:");
    const qint64 peak = BenchData::statusKb("VmHWM:");

    printf("records                         %lld\n", static_cast<long long>(seen));
    printf("listing text                    %lld characters (%s)\n",
           static_cast<long long>(frm->rtb1->text().size()), qPrintable(frm->lbl1->text()));
    printf("messages shown                  %lld\n", static_cast<long long>(MessageBox::recorded().size()));
    printf("platform, accessibility         %s, %s\n", qPrintable(QGuiApplication::platformName()),
           QAccessible::isActive() ? "active" : "inactive");
    printf("accessible text                 %lld characters; first %lld read in %.3f ms; %s the listing\n",
           static_cast<long long>(a11yCount), static_cast<long long>(a11yHead.size()), a11yMs,
           a11ySame ? "same as" : "NOT the same as");
    printf("%-31s %9s\n", "operation", "median ms");
    printf("%-31s %9.1f\n", "store scan (allQuotes)", scan);
    printf("%-31s %9.1f\n", "  scan + text, no reserve", build);
    printf("%-31s %9.1f\n", "  text set into a view", set);
    printf("%-31s %9.1f\n", "listing shown (todos)", listing);
    printf("%-31s %9.1f\n", "first listing, window built", first);
    printf("ratio listing / scan            %9.2f  (goal <= 1.25) %s\n", listing / scan,
           listing <= 1.25 * scan ? "met" : "NOT met");
    printf("resident memory before window   %6lld MB\n", static_cast<long long>(rssBefore / 1024));
    printf("resident memory after listing   %6lld MB\n", static_cast<long long>(rssListing / 1024));
    printf("peak resident during a listing  %6lld MB%s\n", static_cast<long long>(listingPeak / 1024),
           peakReset ? "" : "  (NOT reset between listings: the figure includes the benchmark's own)");
    printf("resident memory at the end      %6lld MB\n", static_cast<long long>(rss / 1024));
    printf("peak resident memory, whole run %6lld MB\n", static_cast<long long>(peak / 1024));

    Forms::destroyAll();
    Module1::db.reset();
    return 0;
}
