// SPDX-License-Identifier: GPL-3.0-or-later
// Times the two searches of the search dialog on a 100,000-record
// collection, from the click on "Aceptar" to the listing shown in the
// results window (on the offscreen platform unless told otherwise): the
// query, the listing text, the text handed to the view, the counter line,
// and the pending layout and paint events. Medians of several runs.
#include "BenchData.h"
#include "ProgramCollection.h"

#include "app/AppSetup.h"
#include "app/FormBuilders.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "browse/Frm.h"
#include "browse/FrmVer.h"
#include "browse/RichTextView.h"
#include "skin/TopicCombo.h"
#include "mainwin/MdiInicio.h"
#include "skin/MessageBox.h"
#include "skin/PictureLabel.h"
#include "store/TextRules.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr double GoalMs = 300;

struct Result {
    double ms;
    qint64 found;
};

// One search: a fresh dialog in the given mode with the choice made
// (untimed), then "Aceptar" until everything it set off has been drawn.
Result search(bool portema, const std::function<void(FrmVer *)> &choose, int runs)
{
    qint64 found = -1;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        Module1::portema = portema;
        FrmVer *dialog = Forms::frmver();
        dialog->show();
        choose(dialog);
        QApplication::processEvents();

        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        QApplication::processEvents();
        Forms::frm()->rtb1->viewport()->repaint();
        times.push_back(timer.nsecsElapsed() / 1e6);

        found = FrmVer::found();
        if (Forms::frmverLoaded())
            qFatal("the search did not close the dialog");
        // Let the closed dialog go before the next run.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], found};
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FormBuilders::install();
    AppSetup::configure(app);
    QApplication::setQuitOnLastWindowClosed(false);
    MessageBox::setRecording(true);

    const int records = argc > 1 ? atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? atoi(argv[2]) : 5;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    BenchData::build(path, records);
    BenchData::openAsProgramCollection(path);
    Module1::setProgramFolder(dir.path());

    // The results window lives in the main window, shown as in the program.
    Forms::mdiinicio()->showMaximized();
    QApplication::processEvents();

    printf("records %d, runs per search %d, platform %s\n", records, runs,
           qPrintable(QGuiApplication::platformName()));
    printf("%-24s %8s %10s\n", "search", "found", "median ms");

    // Builds the results window once; it stays open from search to search.
    search(false, [](FrmVer *d) { QTest::mouseClick(d->letterFor(QChar('A'))->label, Qt::LeftButton); }, 1);

    double slowest = 0;
    QString slowestName;
    const auto report = [&](const QString &name, const Result &r) {
        printf("%s %8lld %10.1f\n", qPrintable(name.leftJustified(24)), static_cast<long long>(r.found), r.ms);
        if (r.ms > slowest) {
            slowest = r.ms;
            slowestName = name;
        }
    };

    for (QChar letter : TextRules::searchLetters()) {
        const Result r = search(false, [letter](FrmVer *d) {
            QTest::mouseClick(d->letterFor(letter)->label, Qt::LeftButton);
        }, runs);
        report(QStringLiteral("initial ") + letter, r);
    }

    QStringList topics;
    Module1::db->topicList(&topics);
    topics = TopicCombo::sorted(topics);
    for (const QString &topic : topics) {
        const Result r = search(true, [topic](FrmVer *d) { d->cbo1->setEditText(topic.toLower()); }, runs);
        report(QStringLiteral("topic ") + topic, r);
    }

    printf("slowest: %s, %.1f ms; goal < %.0f ms each: %s\n", qPrintable(slowestName), slowest, GoalMs,
           slowest < GoalMs ? "met" : "NOT met");
    if (!MessageBox::recorded().isEmpty())
        printf("unexpected message: %s\n", qPrintable(MessageBox::recorded().first().text));

    Forms::destroyAll();
    Module1::db.reset();
    return 0;
}
