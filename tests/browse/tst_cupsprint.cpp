// SPDX-License-Identifier: GPL-3.0-or-later
// Printing on a real CUPS queue. The test runs its own scheduler (cupsd,
// with its own configuration, spool and socket, so a system scheduler is
// left alone) with the cups-pdf backend as the default printer, prints,
// and reads the job's PDF back with pdftotext.
//
// Needs root (cupsd runs the cups-pdf backend as root, and the backend
// reads its settings from /etc/cups only) and the packages cups,
// printer-driver-cups-pdf and poppler-utils, as ./tools/sentalia-test
// installs them; otherwise it fails, naming what is missing.

#include "GuiSession.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "browse/Frm.h"
#include "browse/Listing.h"
#include "browse/ListingPrinter.h"
#include "browse/RichTextView.h"
#include "mainwin/MdiInicio.h"
#include "skin/MessageBox.h"
#include "skin/PictureLabel.h"
#include "skin/Skin.h"
#include "store/QuoteStore.h"

#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

const QString Cupsd = QStringLiteral("/usr/sbin/cupsd");
const QString Backend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QString Ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString Queue = QStringLiteral("PDF");

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0;
}

struct Result {
    int exitCode = -1;
    QString output;
};

} // namespace

class TestCupsPrint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void resultsWindowPrintsTheListingAsOneJob_data();
    void resultsWindowPrintsTheListingAsOneJob();
    void listingPrinterPrintsOnTheDefaultQueue();
    void lostPrintIsReported_data();
    void lostPrintIsReported();
    void refusingPrinterIsReported_data();
    void refusingPrinterIsReported();

private:
    Result run(const QString &program, const QStringList &arguments) const;
    bool schedulerRunning() const;
    QStringList jobFiles() const;
    int completedJobs() const;
    int pendingJobs() const;
    QList<int> printedAndWaiting() const { return {int(jobFiles().size()), pendingJobs()}; }
    QString expectedListing() const;
    QString waitForNewJob(int filesBefore);
    QString diagnostics() const;
    void startScheduler();

    QTemporaryDir m_dir;
    QString m_root;
    QString m_socket;
    QString m_out;
    QString m_backendConf;
    QProcess m_cupsd;
    std::unique_ptr<GuiSession> m_session;
};

Result TestCupsPrint::run(const QString &program, const QStringList &arguments) const
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), m_socket);
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Result result;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.output = QString::fromLocal8Bit(process.readAll());
    return result;
}

bool TestCupsPrint::schedulerRunning() const
{
    const Result r = run(QStringLiteral("lpstat"), {QStringLiteral("-r")});
    return r.exitCode == 0 && r.output.contains(QLatin1String("scheduler is running"));
}

QStringList TestCupsPrint::jobFiles() const
{
    return QDir(m_out).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time | QDir::Reversed);
}

int TestCupsPrint::completedJobs() const
{
    const Result r = run(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o")});
    return int(r.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
}

int TestCupsPrint::pendingJobs() const
{
    const Result r = run(QStringLiteral("lpstat"), {QStringLiteral("-o")});
    return int(r.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
}

QString TestCupsPrint::diagnostics() const
{
    QFile log(m_root + QStringLiteral("/log/error_log"));
    if (!log.open(QIODevice::ReadOnly))
        return QStringLiteral("(no scheduler log)");
    const QList<QByteArray> lines = log.readAll().split('\n');
    return QString::fromLocal8Bit(lines.mid(qMax(0, int(lines.size()) - 25)).join('\n'));
}

void TestCupsPrint::initTestCase()
{
    if (geteuid() != 0)
        QFAIL("needs root: it runs its own cupsd and the cups-pdf backend, and writes the backend's settings in /etc/cups");
    QStringList missing;
    for (const QString &file : {Cupsd, Backend, Ppd}) {
        if (!QFile::exists(file))
            missing << file;
    }
    for (const char *tool : {"lpadmin", "lpstat", "cupsreject", "cupsaccept", "cupsdisable", "cupsenable", "pdftotext"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty() &&
            QStandardPaths::findExecutable(QString::fromLatin1(tool), {QStringLiteral("/usr/sbin")}).isEmpty())
            missing << QString::fromLatin1(tool);
    }
    if (!missing.isEmpty())
        QFAIL(qPrintable(QStringLiteral("missing %1; install with: apt-get install -y cups printer-driver-cups-pdf "
                                        "poppler-utils")
                             .arg(missing.join(QStringLiteral(", ")))));

    // The scheduler's own tree. Filters run as the lp user and must be able
    // to reach the spool below it.
    QVERIFY(m_dir.isValid());
    m_root = m_dir.path();
    QVERIFY(QFile::setPermissions(m_root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    for (const char *sub : {"conf", "spool", "cache", "state", "log", "out"})
        QVERIFY(QDir(m_root).mkpath(QString::fromLatin1(sub)));
    m_socket = m_root + QStringLiteral("/cups.sock");
    m_out = m_root + QStringLiteral("/out");

    QVERIFY(writeFile(m_root + QStringLiteral("/cups-files.conf"),
                      QStringLiteral("ServerRoot %1/conf\n"
                                     "RequestRoot %1/spool\n"
                                     "CacheDir %1/cache\n"
                                     "StateDir %1/state\n"
                                     "AccessLog %1/log/access_log\n"
                                     "ErrorLog %1/log/error_log\n"
                                     "PageLog %1/log/page_log\n"
                                     "Printcap %1/printcap\n"
                                     "SystemGroup root\n"
                                     "User lp\n"
                                     "Group lp\n")
                          .arg(m_root)));
    QVERIFY(writeFile(m_root + QStringLiteral("/cupsd.conf"),
                      QStringLiteral("LogLevel info\n"
                                     "Listen %1\n"
                                     "Browsing No\n"
                                     "WebInterface No\n"
                                     "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                     "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                                     "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                          .arg(m_socket)));

    // cups-pdf takes a queue's settings from /etc/cups/cups-pdf-<name>.conf
    // when the device address names one; the shared cups-pdf.conf stays
    // untouched.
    const QString name = QStringLiteral("sentaliatest%1").arg(QCoreApplication::applicationPid());
    m_backendConf = QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(name);
    QVERIFY2(writeFile(m_backendConf, QStringLiteral("Out %1\nAnonDirName %1\n").arg(m_out)), qPrintable(m_backendConf));

    startScheduler();
    QVERIFY(!QTest::currentTestFailed());

    // The PDF printer as the recipe that works: without the Cairo renderer
    // pdftotext reads garbage from the job.
    Result r = run(QStringLiteral("lpadmin"),
                   {QStringLiteral("-p"), Queue, QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("cups-pdf:/") + name,
                    QStringLiteral("-m"), QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"), QStringLiteral("-o"),
                    QStringLiteral("pdftops-renderer-default=pdftocairo")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.output + diagnostics()));
    r = run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), Queue});
    QVERIFY2(r.exitCode == 0, qPrintable(r.output));

    // This process prints through the same scheduler. Nothing has asked
    // CUPS for anything yet, so the setting still takes effect.
    qputenv("CUPS_SERVER", QFile::encodeName(m_socket));
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), Queue);
}

void TestCupsPrint::startScheduler()
{
    m_cupsd.setWorkingDirectory(m_root);
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(Cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), m_root + QStringLiteral("/cupsd.conf"),
                          QStringLiteral("-s"), m_root + QStringLiteral("/cups-files.conf")});
    QVERIFY2(m_cupsd.waitForStarted(), qPrintable(m_cupsd.errorString()));
    QTRY_VERIFY2_WITH_TIMEOUT(schedulerRunning() || m_cupsd.state() == QProcess::NotRunning,
                              "waiting for the scheduler", 30000);
    QVERIFY2(m_cupsd.state() == QProcess::Running,
             qPrintable(QString::fromLocal8Bit(m_cupsd.readAll()) + diagnostics()));
}

void TestCupsPrint::cleanupTestCase()
{
    // Stop the scheduler this test started, by its own process.
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(15000)) {
            m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
        }
    }
    if (!m_backendConf.isEmpty())
        QFile::remove(m_backendConf);
}

void TestCupsPrint::init()
{
    m_session = std::make_unique<GuiSession>();
    QVERIFY(Module1::db);
}

void TestCupsPrint::cleanup()
{
    m_session.reset();
}

QString TestCupsPrint::expectedListing() const
{
    Listing listing;
    Module1::db->allQuotes([&listing](const QString &frace, const QString &autor) { listing.add(frace, autor); });
    return listing.text();
}

// Waits for the scheduler to finish the next job and returns its PDF's text.
QString TestCupsPrint::waitForNewJob(int filesBefore)
{
    QString text;
    [&] {
        QTRY_VERIFY2_WITH_TIMEOUT(jobFiles().size() > filesBefore && pendingJobs() == 0,
                                  qPrintable(diagnostics()), 90000);
        const QStringList files = jobFiles();
        QCOMPARE(files.size(), filesBefore + 1);
        const Result r = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QDir(m_out).filePath(files.last()), QStringLiteral("-")});
        QCOMPARE(r.exitCode, 0);
        text = r.output;
    }();
    return text;
}

// The whole listing, or only what the user selected in it.
void TestCupsPrint::resultsWindowPrintsTheListingAsOneJob_data()
{
    QTest::addColumn<bool>("selection");
    QTest::addColumn<bool>("doubleClick"); // on the print picture, else the call
    QTest::newRow("whole listing") << false << false;
    QTest::newRow("selection") << true << false;
    // One click, one job: the second press of a double click is no click.
    QTest::newRow("print picture double-clicked") << false << true;
}

void TestCupsPrint::resultsWindowPrintsTheListingAsOneJob()
{
    QFETCH(bool, selection);
    const int filesBefore = int(jobFiles().size());
    const int jobsBefore = completedJobs();

    Frm *frm = Forms::frm();
    frm->todos();
    QStringList blocks = expectedListing().split(QStringLiteral("\r\r"), Qt::SkipEmptyParts);
    if (selection) {
        // The second and third record blocks, exactly.
        const QString listing = frm->rtb1->text();
        const qsizetype start = listing.indexOf(blocks.at(1));
        const qsizetype end = listing.indexOf(blocks.at(2)) + blocks.at(2).size();
        frm->rtb1->setSelection(start, end);
        QVERIFY(frm->rtb1->hasSelection());
        blocks = blocks.mid(1, 2);
    }
    QFETCH(bool, doubleClick);
    if (doubleClick) {
        Forms::mdiinicio()->show();
        QVERIFY(QTest::qWaitForWindowExposed(Forms::mdiinicio()));
        // Through the window, as the window system delivers it.
        QWindow *window = Forms::mdiinicio()->windowHandle();
        QTest::mouseDClick(window, Qt::LeftButton, {},
                           window->mapFromGlobal(frm->imgprint->mapToGlobal(frm->imgprint->rect().center())));
    } else {
        frm->imprimir();
    }
    QVERIFY2(MessageBox::recorded().isEmpty(), qPrintable(MessageBox::recorded().value(0).text));

    const QString printed = waitForNewJob(filesBefore).simplified();
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(completedJobs(), jobsBefore + 1);

    // Every record block printed, in order, and with a selection nothing else.
    qsizetype from = 0;
    QString lines;
    for (const QString &block : blocks) {
        const QString line = QString(block).replace(QLatin1Char('\r'), QLatin1Char(' ')).simplified();
        const qsizetype at = printed.indexOf(line, from);
        QVERIFY2(at >= 0, qPrintable(QStringLiteral("missing or out of order: %1\nin: %2").arg(line, printed.left(400))));
        from = at + line.size();
        lines += (lines.isEmpty() ? QString() : QStringLiteral(" ")) + line;
    }
    if (selection)
        QCOMPARE(printed, lines);
}

void TestCupsPrint::listingPrinterPrintsOnTheDefaultQueue()
{
    const int filesBefore = int(jobFiles().size());
    Listing listing;
    for (int i = 1; i <= 120; ++i)
        listing.add(QStringLiteral("Frase %1 impresa en la cola de prueba.").arg(i), QStringLiteral("Autor %1").arg(i));
    QString error;
    QVERIFY2(ListingPrinter::print(listing.text(), Skin::comic(9.75, true), &error), qPrintable(error));

    const QString printed = waitForNewJob(filesBefore).simplified();
    QVERIFY(!QTest::currentTestFailed());
    for (int i = 1; i <= 120; ++i)
        QVERIFY2(printed.contains(QStringLiteral("Frase %1 impresa en la cola de prueba. --Autor %1--").arg(i)),
                 qPrintable(QString::number(i)));
}

// The print server lets the job down while the listing is being laid out
// (after the queue was found taking jobs): the printer message, and nothing
// printed or left waiting. The stopped server comes last and is started
// again afterwards.
void TestCupsPrint::lostPrintIsReported_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("queue starts rejecting jobs") << "cupsreject" << "no aceptó el trabajo";
    QTest::newRow("scheduler stopped") << "stop" << "Se perdió la comunicación con el servidor de impresión";
}

void TestCupsPrint::lostPrintIsReported()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    const QList<int> before = printedAndWaiting();
    Listing listing;
    for (int i = 1; i <= 400; ++i)
        listing.add(QStringLiteral("Frase %1 que no llega a la impresora.").arg(i), QStringLiteral("Autor %1").arg(i));

    bool faulted = false;
    QString error;
    const bool printed = ListingPrinter::print(listing.text(), Skin::comic(9.75, true), &error,
                                               [&](qsizetype, qsizetype) {
                                                   if (faulted)
                                                       return true;
                                                   faulted = true;
                                                   if (fault == QLatin1String("stop")) {
                                                       m_cupsd.terminate();
                                                       m_cupsd.waitForFinished(15000);
                                                   } else {
                                                       run(fault, {Queue});
                                                   }
                                                   return true;
                                               });
    QVERIFY(faulted);
    QVERIFY2(!printed, "the print was reported sent");
    QVERIFY2(error.contains(message), qPrintable(error));

    if (fault == QLatin1String("stop")) {
        QCOMPARE(m_cupsd.state(), QProcess::NotRunning);
        startScheduler();
        QVERIFY(!QTest::currentTestFailed());
    } else {
        const Result r = run(QStringLiteral("cupsaccept"), {Queue});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
    }
    QCOMPARE(printedAndWaiting(), before);
}

// A queue that does not take the job: the printer message, and nothing
// printed or left waiting. The removed queue comes last: it stays removed.
void TestCupsPrint::refusingPrinterIsReported_data()
{
    QTest::addColumn<QString>("refuse");  // the command that makes the queue refuse
    QTest::addColumn<QString>("restore"); // the one that undoes it, if any
    QTest::addColumn<QString>("message");
    QTest::newRow("rejecting jobs") << "cupsreject" << "cupsaccept" << "no acepta trabajos";
    QTest::newRow("stopped") << "cupsdisable" << "cupsenable" << "está detenida";
    QTest::newRow("removed") << "lpadmin -x" << "" << "No hay ninguna impresora predeterminada";
}

void TestCupsPrint::refusingPrinterIsReported()
{
    QFETCH(QString, refuse);
    QFETCH(QString, restore);
    QFETCH(QString, message);

    QStringList command = refuse.split(QLatin1Char(' '));
    Result r = run(command.takeFirst(), command << Queue);
    QVERIFY2(r.exitCode == 0, qPrintable(r.output));
    if (restore.isEmpty())
        QTRY_VERIFY(QPrinterInfo::defaultPrinter().isNull());
    const QList<int> before = printedAndWaiting();

    Frm *frm = Forms::frm();
    frm->todos();
    frm->imprimir();
    const QList<MessageBox::Record> shown = MessageBox::recorded();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(shown.first().title, QStringLiteral("Sentalia"));
    QVERIFY2(shown.first().text.contains(QLatin1String("impresora")), qPrintable(shown.first().text));
    QVERIFY2(shown.first().text.contains(message), qPrintable(shown.first().text));
    QCOMPARE(printedAndWaiting(), before);

    if (!restore.isEmpty()) {
        r = run(restore, {Queue});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
    }
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
