// The start of a run: Main opens the collection and shows the user-name
// dialog, or only the no-database message when the collection cannot be
// opened; that message leads to the farewell and the end.

#include "GuiSession.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Timings.h"
#include "dialogs/FrmSalir.h"
#include "dialogs/MessageLabel.h"
#include "dialogs/User.h"
#include "skin/MessageBox.h"
#include "store/FilePlacement.h"
#include "store/QuoteStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

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
    void designIntervals_data();
    void designIntervals();
    void standardButtonsAreSpanish();

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

// The intervals the design gives the three timers; the tests shorten them,
// so only this table holds the program to them.
void TestMain::designIntervals_data()
{
    QTest::addColumn<int>("timer");
    QTest::addColumn<int>("milliseconds");
    QTest::newRow("clock") << int(Timings::Timer::Clock) << 100;
    QTest::newRow("splash") << int(Timings::Timer::Splash) << 115;
    QTest::newRow("end") << int(Timings::Timer::EndTimer) << 100;
}

void TestMain::designIntervals()
{
    QFETCH(int, timer);
    QFETCH(int, milliseconds);
    Timings::reset();
    QCOMPARE(Timings::interval(Timings::Timer(timer)), milliseconds);
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

QTEST_MAIN(TestMain)
#include "tst_main.moc"
