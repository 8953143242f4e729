// SPDX-License-Identifier: GPL-3.0-or-later
#include "FatImage.h"
#include "Fixture.h"
#include "store/CollectionLocation.h"
#include "store/FilePlacement.h"
#include "store/QuoteStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <memory>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

// Where the program finds its collection and help pages, and the user's
// own copy of the shipped collection that an installed program makes.
class TestCollectionLocation : public QObject {
    Q_OBJECT

private slots:
    void collectionLocation_data();
    void collectionLocation();
    void firstStartsAtOnce();

private:
    struct Installation;
};

// A program folder bin/ with, optionally, an installed layout beside it
// (share/sentalia/ with the shipped collection and the help pages) and a
// home folder of its own, all readable by the unprivileged user.
struct TestCollectionLocation::Installation {
    QTemporaryDir root;
    QString bin = root.filePath(QStringLiteral("bin"));
    QString share = root.filePath(QStringLiteral("share/sentalia"));
    QString home = root.filePath(QStringLiteral("home"));

    explicit Installation(const QString &layout)
    {
        QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                               | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        QDir(root.path()).mkpath(QStringLiteral("bin"));
        QDir(root.path()).mkpath(QStringLiteral("home"));
        if (layout.isEmpty())
            return;
        QDir(root.path()).mkpath(QStringLiteral("share/sentalia/Ayuda"));
        if (layout == QLatin1String("shipped"))
            QFile::copy(Fixture::fixturePath(QStringLiteral("quotes.mdb")), shipped());
    }
    QString shipped() const { return share + QStringLiteral("/frase.mdb"); }
    // Every file below folder, as paths relative to it.
    static QStringList files(const QString &folder)
    {
        QStringList found;
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(folder).relativeFilePath(it.next());
        return found;
    }
    // Runs ensureUserCollection() in a child, as the unprivileged user when
    // this test runs as root. Returns the child's first line: "1", or "0"
    // and the reason.
    QByteArray ensureInChild(const QProcessEnvironment &env) const
    {
        QProcess child;
        QProcessEnvironment childEnv = env;
        childEnv.insert(QStringLiteral("SENTALIA_STORE_CHILD"), QStringLiteral("ensure"));
        childEnv.insert(QStringLiteral("SENTALIA_STORE_PATH"), bin);
        child.setProcessEnvironment(childEnv);
        if (geteuid() == 0)
            child.start(QStandardPaths::findExecutable(QStringLiteral("setpriv")), {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                                    QCoreApplication::applicationFilePath()});
        else
            child.start(QCoreApplication::applicationFilePath(), {});
        child.waitForFinished(20000);
        return child.readAllStandardOutput().trimmed() + child.readAllStandardError().trimmed();
    }
};

void TestCollectionLocation::collectionLocation_data()
{
    QTest::addColumn<bool>("ownFile");     // bin/frase.mdb exists
    QTest::addColumn<QString>("layout");   // "", "shipped", or "no shipped file"
    QTest::addColumn<QString>("userFile"); // what the user's collection holds beforehand
    QTest::addColumn<QString>("xdg");      // XDG_DATA_HOME below the root, "FAT" on a FAT image, "" unset
    QTest::addColumn<QString>("fault");    // "", "read-only", "disk full", "shipped gone"
    QTest::addColumn<QString>("uses");     // "program", "home" or "xdg"
    QTest::addColumn<bool>("ensured");
    QTest::addColumn<int>("error");        // the system's error number of a failure
    QTest::addColumn<QString>("after");    // "nothing", "copy" or "mine"

    QTest::newRow("build or portable folder, nothing installed")
        << true << "" << "" << "" << "" << "program" << true << 0 << "nothing";
    QTest::newRow("portable folder beside an installation")
        << true << "shipped" << "" << "" << "" << "program" << true << 0 << "nothing";
    QTest::newRow("no file, not installed") << false << "" << "" << "" << "" << "program" << true << 0 << "nothing";
    QTest::newRow("installed without the shipped file")
        << false << "no shipped file" << "" << "" << "" << "program" << true << 0 << "nothing";
    QTest::newRow("installed, first start") << false << "shipped" << "" << "" << "" << "home" << true << 0 << "copy";
    QTest::newRow("installed, user's file there (never replaced, damaged or not)")
        << false << "shipped" << "mine" << "" << "" << "home" << true << 0 << "mine";
    QTest::newRow("installed, XDG_DATA_HOME")
        << false << "shipped" << "" << "xdg/datos" << "" << "xdg" << true << 0 << "copy";
    QTest::newRow("installed, XDG_DATA_HOME on FAT")
        << false << "shipped" << "" << "FAT" << "" << "xdg" << true << 0 << "copy";
    QTest::newRow("installed, relative XDG_DATA_HOME ignored")
        << false << "shipped" << "" << "relative" << "" << "home" << true << 0 << "copy";
    QTest::newRow("installed, read-only home")
        << false << "shipped" << "" << "" << "read-only" << "home" << false << EACCES << "nothing";
    QTest::newRow("installed, XDG_DATA_HOME cannot be made")
        << false << "shipped" << "" << "xdg/datos" << "read-only" << "xdg" << false << EACCES << "nothing";
    QTest::newRow("installed, disk full")
        << false << "shipped" << "" << "" << "disk full" << "home" << false << ENOSPC << "nothing";
    QTest::newRow("installed, shipped file gone at the copy")
        << false << "shipped" << "" << "" << "shipped gone" << "home" << false << ENOENT << "nothing";
}

void TestCollectionLocation::collectionLocation()
{
    QFETCH(bool, ownFile);
    QFETCH(QString, layout);
    QFETCH(QString, userFile);
    QFETCH(QString, xdg);
    QFETCH(QString, fault);
    QFETCH(QString, uses);
    QFETCH(bool, ensured);
    QFETCH(int, error);
    QFETCH(QString, after);

    Installation place(layout);
    const QString own = place.bin + QStringLiteral("/frase.mdb");
    if (ownFile)
        QVERIFY(QFile::copy(Fixture::fixturePath(QStringLiteral("quotes.mdb")), own));
    std::unique_ptr<FatImage> fat(xdg == QLatin1String("FAT") ? new FatImage : nullptr);
    if (fat)
        QVERIFY2(fat->mounted(), qPrintable(fat->error()));
    const QString xdgFolder = xdg == QLatin1String("relative") ? QStringLiteral("datos")
        : xdg.isEmpty()                                      ? QString()
        : fat                                                ? fat->mountPoint() + QStringLiteral("/datos")
                                                             : place.root.filePath(xdg);
    const QString userFolder = uses == QLatin1String("xdg") ? xdgFolder + QStringLiteral("/sentalia")
                                                            : place.home + QStringLiteral("/.local/share/sentalia");
    if (!userFile.isEmpty()) {
        QVERIFY(QDir().mkpath(userFolder));
        QFile mine(userFolder + QStringLiteral("/frase.mdb"));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write(userFile.toUtf8());
    }
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), place.home);
    if (!xdgFolder.isEmpty())
        env.insert(QStringLiteral("XDG_DATA_HOME"), xdgFolder);
    const QByteArray savedHome = qgetenv("HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", savedHome);
        qunsetenv("XDG_DATA_HOME");
    });
    qputenv("HOME", QFile::encodeName(place.home));
    if (xdgFolder.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", QFile::encodeName(xdgFolder));

    const CollectionLocation location = CollectionLocation::resolve(place.bin);
    const bool installed = uses != QLatin1String("program");
    QCOMPARE(location.isUserCollection(), installed);
    QCOMPARE(location.collectionPath(), installed ? userFolder + QStringLiteral("/frase.mdb") : own);
    QCOMPARE(location.helpFolder(), (installed ? place.share : place.bin) + QStringLiteral("/Ayuda"));
    QCOMPARE(location.shippedCollection(), installed ? place.shipped() : QString());

    bool ok = false;
    int failure = 0;
    QString reason;
    if (fault == QLatin1String("read-only")) {
        // Root writes anywhere: the child runs as nobody, for whom the
        // folders are read-only; any other user takes the write bits away.
        const auto readOnly = [&](bool on) {
            for (const QString &folder : {place.root.path(), place.home})
                QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther
                                                  | (on ? QFile::Permissions() : QFile::WriteOwner));
        };
        if (geteuid() != 0)
            readOnly(true);
        const QByteArray answer = place.ensureInChild(env);
        readOnly(false);
        QVERIFY2(answer.startsWith("0 ") || answer.startsWith("1"), answer.constData());
        const QList<QByteArray> words = answer.split(' ');
        ok = words.value(0) == "1";
        failure = words.value(1).toInt();
        reason = QString::fromUtf8(answer.mid(words.value(0).size() + words.value(1).size() + 1));
    } else {
        if (fault == QLatin1String("shipped gone"))
            QVERIFY(QFile::remove(place.shipped()));
        FilePlacement::injectFaults(fault == QLatin1String("disk full") ? FilePlacement::DiskFull
                                                                       : FilePlacement::None);
        ok = location.ensureUserCollection(&reason, &failure);
        FilePlacement::injectFaults(FilePlacement::None);
    }
    QCOMPARE(ok, ensured);
    QCOMPARE(failure, error);
    if (!ok)
        QVERIFY2(!reason.trimmed().isEmpty(), "a failure says why");

    const QStringList files = Installation::files(place.home) + Installation::files(place.root.filePath("xdg"))
        + (fat ? Installation::files(fat->mountPoint()) : QStringList());
    const QString collection = location.collectionPath();
    if (after == QLatin1String("nothing")) {
        QCOMPARE(files, QStringList());
    } else if (after == QLatin1String("mine")) {
        QCOMPARE(files.size(), 1);
        QCOMPARE(Fixture::readFile(collection), userFile.toUtf8());
    } else {
        QCOMPARE(files.size(), 1);
        QCOMPARE(Fixture::readFile(collection), Fixture::readFile(Fixture::fixturePath("quotes.mdb")));
        const auto modeOf = [](const QString &path) {
            struct stat st;
            return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
        };
        if (!fat) { // FAT keeps no permissions
            QCOMPARE(modeOf(collection), mode_t(0600));
            QCOMPARE(modeOf(userFolder), mode_t(0700));
        }
        QVERIFY(QuoteStore::open(collection));
    }
}

// Two clicks on the menu entry: every copy of the program finds a complete
// collection, one of them made it, and nothing else is left in the folder.
void TestCollectionLocation::firstStartsAtOnce()
{
    Installation place(QStringLiteral("shipped"));
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), place.home);
    env.insert(QStringLiteral("SENTALIA_STORE_CHILD"), QStringLiteral("ensure"));
    env.insert(QStringLiteral("SENTALIA_STORE_PATH"), place.bin);
    std::vector<std::unique_ptr<QProcess>> starts;
    for (int i = 0; i < 6; ++i) {
        starts.push_back(std::make_unique<QProcess>());
        starts.back()->setProcessEnvironment(env);
        starts.back()->start(QCoreApplication::applicationFilePath(), {});
    }
    for (auto &start : starts) {
        QVERIFY(start->waitForFinished(20000));
        QCOMPARE(start->readAllStandardOutput().trimmed(), QByteArray("1 0"));
    }
    const QString collection = place.home + QStringLiteral("/.local/share/sentalia/frase.mdb");
    QCOMPARE(Installation::files(place.home), QStringList{".local/share/sentalia/frase.mdb"});
    QCOMPARE(Fixture::readFile(collection), Fixture::readFile(place.shipped()));
}

int main(int argc, char *argv[])
{
    // The child the tests above run: ensureUserCollection() for the program
    // folder given, answering "1 0" or "0", the error number and the reason.
    if (qgetenv("SENTALIA_STORE_CHILD") == "ensure") {
        QString reason;
        int error = 0;
        const bool ok = CollectionLocation::resolve(qEnvironmentVariable("SENTALIA_STORE_PATH"))
                            .ensureUserCollection(&reason, &error);
        printf("%d %d %s\n", ok ? 1 : 0, error, qPrintable(reason));
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestCollectionLocation test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_collectionlocation.moc"
