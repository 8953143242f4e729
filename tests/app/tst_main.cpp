// SPDX-License-Identifier: GPL-3.0-or-later
// The start of a run: Main opens the collection and shows the user-name
// dialog, or only the no-database message when the collection cannot be
// opened; that message leads to the farewell and the end.

#include "GuiSession.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Module1Main.h"
#include "app/PlatformChoice.h"
#include "app/Timings.h"
#include "browse/Frm.h"
#include "dialogs/FrmSalir.h"
#include "dialogs/MessageLabel.h"
#include "dialogs/User.h"
#include "skin/MessageBox.h"
#include "store/FilePlacement.h"
#include "store/Interruption.h"
#include "store/QuoteStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QLabel>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTimer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <csignal>

namespace {

// An installed program: an empty program folder bin/ beside
// share/sentalia/frase.mdb, and a home folder of its own.
struct Installed {
    QTemporaryDir root;
    QByteArray home = qgetenv("HOME");
    explicit Installed(const QString &shipped)
    {
        QDir(root.path()).mkpath(QStringLiteral("bin"));
        QDir(root.path()).mkpath(QStringLiteral("share/sentalia"));
        QFile::copy(shipped, root.filePath(QStringLiteral("share/sentalia/frase.mdb")));
        Module1::setProgramFolder(root.filePath(QStringLiteral("bin")));
        qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
        qunsetenv("XDG_DATA_HOME");
    }
    ~Installed() { qputenv("HOME", home); }
    QString userCollection() const { return root.filePath(QStringLiteral("home/.local/share/sentalia/frase.mdb")); }
};

} // namespace

class TestMain : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensAndAsksTheName_data();
    void opensAndAsksTheName();
    void noDatabase_data();
    void noDatabase();
    void timersPaceWhatUsersSee_data();
    void timersPaceWhatUsersSee();
    void standardButtonsAreSpanish();
    void windowSystem_data();
    void windowSystem();
    void signalEndsTheRunningProgram_data();
    void signalEndsTheRunningProgram();
    void signalAfterASaveLeavesNoJournal();

private:
    std::unique_ptr<GuiSession> m_session;
};

void TestMain::init()
{
    Timings::setInterval(Timings::Timer::EndTimer, 3600 * 1000);
}

void TestMain::cleanup()
{
    m_session.reset();
}

void TestMain::opensAndAsksTheName_data()
{
    QTest::addColumn<bool>("installed");
    QTest::newRow("frase.mdb in the program folder") << false;
    QTest::newRow("installed, first start copies the shipped one") << true;
}

void TestMain::opensAndAsksTheName()
{
    QFETCH(bool, installed);
    m_session = std::make_unique<GuiSession>(QStringLiteral("quotes.mdb"), false);
    std::unique_ptr<Installed> installation;
    if (installed)
        installation = std::make_unique<Installed>(m_session->fixture().path());
    Module1::Main();

    QVERIFY(Module1::db);
    if (installed)
        QCOMPARE(Module1::db->path(), installation->userCollection());
    QCOMPARE(GuiSession::visibleWindows(), QStringList{QStringLiteral("user")});
    QVERIFY(Forms::userLoaded());
    QVERIFY(!Forms::userLoaded()->isModal());
    QVERIFY(!Forms::frmsalirLoaded());
    QCOMPARE(m_session->endRequests(), 0);
}

void TestMain::noDatabase_data()
{
    QTest::addColumn<QString>("condition");
    QTest::newRow("no frase.mdb") << "missing";
    QTest::newRow("held by another copy") << "locked";
    QTest::newRow("wrong key") << "other-key.mdb";
    QTest::newRow("not a database") << "garbage.mdb";
    QTest::newRow("installed, the first copy fails") << "disk full";
    QTest::newRow("installed, user's file damaged") << "damaged";
    QTest::newRow("a table whose saves would delete records") << "replace";
}

void TestMain::noDatabase()
{
    QFETCH(QString, condition);
    const bool ownFixture = condition.endsWith(QLatin1String(".mdb"));
    m_session = std::make_unique<GuiSession>(ownFixture ? condition : QStringLiteral("quotes.mdb"), false);
    std::unique_ptr<QuoteStore> holder;
    if (condition == QLatin1String("missing"))
        QVERIFY(QFile::remove(m_session->fixture().path()));
    else if (condition == QLatin1String("locked"))
        QVERIFY((holder = m_session->fixture().open()));
    else if (condition == QLatin1String("replace"))
        QVERIFY(QFile::remove(m_session->fixture().path())
                && Fixture::makeCollection(m_session->fixture().path(),
                                           "CREATE TABLE tabla1 (autor TEXT, frace TEXT UNIQUE ON CONFLICT REPLACE, "
                                           "tema TEXT, \"Index\" INTEGER);"));
    std::unique_ptr<Installed> installation;
    if (condition == QLatin1String("disk full") || condition == QLatin1String("damaged"))
        installation = std::make_unique<Installed>(m_session->fixture().path());
    if (condition == QLatin1String("damaged")) {
        QVERIFY(QDir().mkpath(QFileInfo(installation->userCollection()).path()));
        QVERIFY(QFile::copy(Fixture::fixturePath(QStringLiteral("garbage.mdb")), installation->userCollection()));
    }
    // The reason goes to standard error.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Sentalia: .* - .+")));
    FilePlacement::injectFaults(condition == QLatin1String("disk full") ? FilePlacement::DiskFull
                                                                        : FilePlacement::None);
    Module1::Main();
    FilePlacement::injectFaults(FilePlacement::None);
    if (installation) {
        // Nothing half-copied, and a damaged collection stays as it was.
        const QString collection = installation->userCollection();
        QCOMPARE(QDir(QFileInfo(collection).path()).entryList(QDir::Files | QDir::Hidden),
                 condition == QLatin1String("damaged") ? QStringList{"frase.mdb"} : QStringList());
        if (condition == QLatin1String("damaged"))
            QCOMPARE(Fixture::readFile(collection),
                     Fixture::readFile(Fixture::fixturePath(QStringLiteral("garbage.mdb"))));
    }

    QVERIFY(!Module1::db);
    QCOMPARE(GuiSession::visibleWindows(), QStringList{QStringLiteral("frmsalir")});
    QVERIFY(!Forms::userLoaded());
    FrmSalir *message = Forms::frmsalirLoaded();
    QCOMPARE(message->mode(), FrmSalir::Mode::NoDatabase);
    QCOMPARE(message->lblcuestion->message(), QStringLiteral("No se estableció conección con la Base de Datos"));
    QVERIFY(message->cmdconec->isVisible());
    QVERIFY(Module1::usuario.isEmpty());

    QTest::mouseClick(message->cmdconec, Qt::LeftButton);
    QVERIFY(message->inFarewell());
    QCOMPARE(GuiSession::visibleWindows(), QStringList{QStringLiteral("frmsalir")});
    for (int i = 0; i < 20; ++i)
        message->Timer1_Timer();
    QCOMPARE(m_session->endRequests(), 0);
    message->Timer1_Timer();
    QCOMPARE(m_session->endRequests(), 1);
}

// How long what the timers pace lasts for the user. The other tests shorten
// the intervals (the dialogs' own tests hold the splash to 51 ticks and the
// farewell to 21), so only this table holds the program's own intervals to
// what a user needs.
void TestMain::timersPaceWhatUsersSee_data()
{
    QTest::addColumn<int>("timer");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("atLeast"); // milliseconds
    QTest::addColumn<int>("atMost");
    QTest::newRow("the clock shows every second") << int(Timings::Timer::Clock) << 1 << 1 << 500;
    QTest::newRow("the splash is seen for seconds") << int(Timings::Timer::Splash) << 51 << 2000 << 10000;
    QTest::newRow("the farewell can be read") << int(Timings::Timer::EndTimer) << 21 << 1000 << 5000;
    QTest::newRow("a quick print shows no progress") << int(Timings::Timer::PrintProgress) << 1 << 500 << 3000;
}

void TestMain::timersPaceWhatUsersSee()
{
    QFETCH(int, timer);
    QFETCH(int, ticks);
    QFETCH(int, atLeast);
    QFETCH(int, atMost);
    Timings::reset();
    const int lasts = ticks * Timings::interval(Timings::Timer(timer));
    QVERIFY2(atLeast <= lasts && lasts <= atMost, qPrintable(QStringLiteral("%1 ms").arg(lasts)));
}

// The start-up set-up puts Qt's own texts into Spanish.
void TestMain::standardButtonsAreSpanish()
{
    m_session = std::make_unique<GuiSession>();
    MessageBox::setRecording(false);
    QString button;
    QTimer closer;
    closer.setInterval(5);
    connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            button = box->defaultButton()->text();
            box->accept();
        }
    });
    closer.start();
    MessageBox::show(QStringLiteral("Prueba"));
    MessageBox::setRecording(true);
    QCOMPARE(button, QStringLiteral("Aceptar"));
}

// Which window system the program asks Qt for, from the session's
// variables and the command line.
void TestMain::windowSystem_data()
{
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("qpaPlatform");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("platform"); // empty: Qt chooses

    const QByteArray onX = "xcb;wayland";
    QTest::newRow("X session") << QByteArray() << QByteArray("x11") << QByteArray(":0") << QByteArray()
                               << QStringList() << QByteArray();
    QTest::newRow("Wayland session with XWayland")
        << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0") << QByteArray() << QStringList() << onX;
    QTest::newRow("Wayland socket, no session type")
        << QByteArray("wayland-0") << QByteArray() << QByteArray(":1") << QByteArray() << QStringList() << onX;
    QTest::newRow("Wayland session type, no socket name")
        << QByteArray() << QByteArray("wayland") << QByteArray(":0") << QByteArray() << QStringList() << onX;
    QTest::newRow("Wayland without X") << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray()
                                       << QByteArray() << QStringList() << QByteArray();
    QTest::newRow("Wayland, user's QT_QPA_PLATFORM")
        << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0") << QByteArray("wayland")
        << QStringList() << QByteArray();
    QTest::newRow("Wayland, user's -platform")
        << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0") << QByteArray()
        << QStringList{"-platform", "wayland"} << QByteArray();
    QTest::newRow("Wayland, user's --platform")
        << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0") << QByteArray()
        << QStringList{"--platform", "wayland"} << QByteArray();
    QTest::newRow("Wayland, other arguments")
        << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0") << QByteArray()
        << QStringList{"-style", "fusion"} << onX;
    QTest::newRow("tests' offscreen") << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0")
                                      << QByteArray("offscreen") << QStringList() << QByteArray();
    QTest::newRow("text console") << QByteArray() << QByteArray("tty") << QByteArray() << QByteArray()
                                  << QStringList() << QByteArray();
}

void TestMain::windowSystem()
{
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, sessionType);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, qpaPlatform);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, platform);

    const char *names[] = {"WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DISPLAY", "QT_QPA_PLATFORM"};
    const QByteArray values[] = {waylandDisplay, sessionType, display, qpaPlatform};
    QList<QByteArray> saved;
    for (int i = 0; i < 4; ++i) {
        saved << qgetenv(names[i]);
        if (values[i].isEmpty())
            qunsetenv(names[i]);
        else
            qputenv(names[i], values[i]);
    }
    auto restore = qScopeGuard([&] {
        for (int i = 0; i < 4; ++i) {
            if (saved.at(i).isEmpty())
                qunsetenv(names[i]);
            else
                qputenv(names[i], saved.at(i));
        }
    });
    QList<QByteArray> bytes{"sentalia"};
    for (const QString &argument : arguments)
        bytes << argument.toUtf8();
    QList<char *> argv;
    for (QByteArray &argument : bytes)
        argv << argument.data();
    QCOMPARE(PlatformChoice::platformFor(PlatformChoice::current(int(argv.size()), argv.data())), platform);
}

// At logout the session sends SIGTERM (a terminal SIGHUP, the keyboard
// SIGINT): the real program, on a collection of its own, ends at once with
// status 0 and leaves its collection closed, with no journal beside it.
void TestMain::signalEndsTheRunningProgram_data()
{
    QTest::addColumn<int>("sig");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestMain::signalEndsTheRunningProgram()
{
    QFETCH(int, sig);
    const QString binary = QStringLiteral(SENTALIA_BUILD_DIR "/sentalia");
    QVERIFY2(QFile::exists(binary), qPrintable(binary + QStringLiteral(" is not built")));
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString collection = folder.filePath(QStringLiteral("frase.mdb"));
    QVERIFY(QFile::copy(binary, folder.filePath(QStringLiteral("sentalia"))));
    QVERIFY(QFile::copy(Fixture::fixturePath(QStringLiteral("quotes.mdb")), collection));
    QVERIFY(QFile::setPermissions(collection, QFile::ReadOwner | QFile::WriteOwner));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), folder.filePath(QStringLiteral("home")));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(folder.filePath(QStringLiteral("sentalia")), {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    // Running, with the collection open (looked at from outside, so as not
    // to take the lock from it).
    const auto holdsCollection = [&] {
        const QString fds = QStringLiteral("/proc/%1/fd").arg(program.processId());
        for (const QString &fd : QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (QFile::symLinkTarget(fds + QLatin1Char('/') + fd) == QFileInfo(collection).canonicalFilePath())
                return true;
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(holdsCollection() || program.state() != QProcess::Running, 20000);
    QVERIFY2(program.state() == QProcess::Running, "the program ended before the signal");

    QCOMPARE(::kill(pid_t(program.processId()), sig), 0);
    QVERIFY2(program.waitForFinished(20000), "the program did not end");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(!QFile::exists(collection + QStringLiteral("-journal")));
    const QuoteStore::OpenResult reopened = QuoteStore::open(collection);
    QVERIFY2(reopened, qPrintable(reopened.reason));
}

// The same end inside the program, after a quotation was saved: the
// journal the exclusive lock keeps goes with the closed collection, and
// the record stays.
void TestMain::signalAfterASaveLeavesNoJournal()
{
    m_session = std::make_unique<GuiSession>();
    Module1::endOnSignals();
    const QString collection = Module1::db->path();
    QVERIFY(Module1::db->insert(QStringLiteral("Séneca"), QStringLiteral("Mientras vivimos, aprendamos a vivir."),
                                QStringLiteral("VIDA"), true));
    QVERIFY2(QFile::exists(collection + QStringLiteral("-journal")), "the journal the lock keeps was expected");
    Forms::frm()->todos();

    QCOMPARE(::raise(SIGTERM), 0);
    QTRY_COMPARE(m_session->endRequests(), 1);
    Interruption::simulate(0);
    QVERIFY(!Module1::db);
    QVERIFY(GuiSession::visibleWindows().isEmpty());
    QVERIFY(!QFile::exists(collection + QStringLiteral("-journal")));
    const QuoteStore::OpenResult reopened = QuoteStore::open(collection);
    QVERIFY2(reopened, qPrintable(reopened.reason));
    bool found = false;
    QVERIFY(reopened.store->allQuotes([&found](const QString &frace, const QString &) {
        found = found || frace == QStringLiteral("Mientras vivimos, aprendamos a vivir.");
    }));
    QVERIFY(found);
}

QTEST_MAIN(TestMain)
#include "tst_main.moc"
