// Times the listing of every quotation of a 100,000-record collection into
// the results window, text shown, against the store's own scan of the same
// records, and reports the memory the program holds afterwards.
#include "BenchData.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "browse/Frm.h"
#include "browse/Listing.h"
#include "browse/RichTextView.h"
#include "mainwin/MdiInicio.h"
#include "skin/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <cstdio>

namespace {

qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    const int records = argc > 1 ? atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? atoi(argv[2]) : 7;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    BenchData::build(path, records);
    QuoteStore::OpenResult opened = QuoteStore::open(path);
    if (!opened)
        qFatal("cannot open %s: %s", qPrintable(path), qPrintable(opened.reason));
    Module1::db = std::move(opened.store);
    MessageBox::setRecording(true);
    const qint64 rssBefore = statusKb("VmRSS:");

    MdiInicio *main = Forms::mdiinicio();
    main->resize(1280, 800);
    main->showMaximized();
    QApplication::processEvents();

    // The store's scan, reading both columns as the listing does.
    qint64 seen = 0;
    qint64 characters = 0;
    const double scan = BenchData::medianMs(runs, [&] {
        seen = 0;
        characters = 0;
        Module1::db->allQuotes([&](const QString &frace, const QString &autor) {
            ++seen;
            characters += frace.size() + autor.size();
        });
    });

    // The two halves of a listing: the text built from the scan, and the
    // text handed to the view.
    Listing built;
    const double build = BenchData::medianMs(runs, [&] {
        built = Listing();
        Module1::db->allQuotes([&](const QString &frace, const QString &autor) { built.add(frace, autor); });
    });
    RichTextView view;
    const double set = BenchData::medianMs(runs, [&] {
        view.setText(built.text());
    });
    view.setText(QString());
    built = Listing();

    // The whole listing, from the call to the text painted in the window.
    double first = -1;
    const double listing = BenchData::medianMs(runs, [&] {
        QElapsedTimer timer;
        timer.start();
        Forms::mdiinicio()->verTodos();
        Frm *frm = Forms::frm();
        frm->rtb1->viewport()->repaint();
        QApplication::processEvents();
        if (first < 0)
            first = timer.nsecsElapsed() / 1e6;
    });

    Frm *frm = Forms::frm();
    QApplication::processEvents();
    const qint64 rss = statusKb("VmRSS:");
    const qint64 peak = statusKb("VmHWM:");

    printf("records                         %lld\n", static_cast<long long>(seen));
    printf("listing text                    %lld characters (%s)\n",
           static_cast<long long>(frm->rtb1->text().size()), qPrintable(frm->lbl1->text()));
    printf("messages shown                  %lld\n", static_cast<long long>(MessageBox::recorded().size()));
    printf("%-31s %9s\n", "operation", "median ms");
    printf("%-31s %9.1f\n", "store scan (allQuotes)", scan);
    printf("%-31s %9.1f\n", "  scan + listing text built", build);
    printf("%-31s %9.1f\n", "  text set into a view", set);
    printf("%-31s %9.1f\n", "listing shown (todos)", listing);
    printf("%-31s %9.1f\n", "first listing, window built", first);
    printf("ratio listing / scan            %9.2f  (goal <= 3.0) %s\n", listing / scan,
           listing <= 3 * scan ? "met" : "NOT met");
    printf("resident memory before window   %6lld MB\n", static_cast<long long>(rssBefore / 1024));
    printf("resident memory after listing   %6lld MB  (goal < 250 MB) %s\n", static_cast<long long>(rss / 1024),
           rss / 1024 < 250 ? "met" : "NOT met");
    printf("peak resident memory            %6lld MB\n", static_cast<long long>(peak / 1024));

    Forms::destroyAll();
    Module1::db.reset();
    return 0;
}
