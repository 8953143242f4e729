// SPDX-License-Identifier: GPL-3.0-or-later
#include "CollectionBackup.h"
#include "FatImage.h"
#include "Fixture.h"

#include "store/Interruption.h"
#include "store/QuoteStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

// Designated initializers name only what they set.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// How a program is run: by default the tool, in the test's folder, with
// the test's environment.
struct Run {
    QString program;         // empty: the tool
    QString folder;          // its working folder; empty: the test's
    QStringList environment; // "NAME=value" is set, a bare "NAME" removed
    // As nobody when the tests run as the superuser, so that file
    // permissions bind the tool.
    bool unprivileged = false;
    // Its TMPDIR, where no file may grow past 2 GiB and a little more (a
    // tool that copied an endless source without limit fails the test
    // instead of filling the disk).
    QString tempFolder;
    QStringList feeder; // a program and its arguments, whose output is the input
};

// The tool's commands, as the user types them.
QStringList commandNames()
{
    return {"add", "backup", "check", "create", "delete", "edit", "export", "import", "list", "random", "search", "topics"};
}

} // namespace

// sentalia-db as the user runs it: commands, exit codes, messages, and the
// promise that a failed import leaves the collection exactly as it was.
class TestDbTool : public QObject {
    Q_OBJECT

private slots:
    void newFileIsMadeOnce_data();
    void newFileIsMadeOnce();
    void check_data();
    void check();
    void usageErrors_data();
    void usageErrors();
    void refusesDatabaseInUse_data();
    void refusesDatabaseInUse();
    void failedImportChangesNothing_data();
    void failedImportChangesNothing();
    void importSummaryAndOptions();
    void csvExportReadsBackExactly_data();
    void importedText_data();
    void importedText();
    void csvExportReadsBackExactly();
    void fortuneExportReadsBack();
    void failedExportWritesNothing();
    void concurrentCreatesKeepOneCollection();
    void commands_data();
    void commands();
    void readOnlyCollections_data();
    void readOnlyCollections();
    void unreachableCollections_data();
    void unreachableCollections();
    void outputThatCannotBeWritten_data();
    void outputThatCannotBeWritten();
    void terminalCharacterSet_data();
    void terminalCharacterSet();
    void interruptedWrites_data();
    void interruptedWrites();
    void closedPipeIsQuiet();
    void readersFreeCollectionBeforeOutput_data();
    void readersFreeCollectionBeforeOutput();
    void writeCommands_data();
    void writeCommands();
    void bashCompletion_data();
    void bashCompletion();
    void randomDrawsOverGaps();
    void fileNamesThatAreNotUtf8();
    void defaultCollection_data();
    void defaultCollection();

private:
    struct Result {
        int code = -1;
        QString out;
        QString err;
        QByteArray outBytes; // out as written (QString::fromUtf8 drops a byte-order mark)
        QByteArray errBytes;
    };
    static Result runTool(const QStringList &arguments, const Run &how = {});
    // Runs a shell command line with $TOOL set, for arguments QProcess
    // cannot pass (bytes that are not UTF-8).
    static Result runShell(const QString &folder, const QString &commandLine);
    // "id|autor|frace|tema|Index" ("<NULL>" and "-" for nulls), by row id.
    static QMap<qint64, QString> rows(const QString &path);
    static QString tool() { return QStringLiteral(SENTALIA_BUILD_DIR "/sentalia-db"); }
    // A copy of the tool in a folder everyone may enter, for runs as
    // nobody: the build folder may sit where nobody can reach it.
    static QString publicTool();
    // A temporary folder that everyone may enter (and write, if asked).
    static void openToEveryone(const QString &folder, bool writable);
    static bool writeFile(const QString &path, const QByteArray &bytes);
    // An argument "FILE name\ntext" becomes a file of that name and text
    // in folder, and its path.
    static bool writeSources(QStringList &arguments, const QString &folder);
    // A collection of 3,000 records, many pages long.
    static bool makeManyPages(const QString &path);
    // What Debian's sqlcipher shell prints for commands on the collection
    // at path (keyed first), trimmed; the reason when it cannot run.
    static QByteArray sqlcipherShell(const QString &path, const QByteArray &commands);
    static QList<QuoteRecord> records(const QString &path);
    // A collection whose tabla1 refuses the text "FALLA", as a stand-in for
    // any engine error in the middle of an import.
    static bool makeRefusingCollection(const QString &path);
    // A file name of the given length in bytes (a short one for 0), with
    // the extension given.
    static QString nameOfLength(int bytes, const QString &fallback);
    // The names in a folder, "." and ".." left out, hidden ones included.
    static QStringList entries(const QString &folder);
};

TestDbTool::Result TestDbTool::runTool(const QStringList &arguments, const Run &how)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &setting : how.environment) {
        if (setting.contains(QLatin1Char('=')))
            environment.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
        else
            environment.remove(setting);
    }
    if (!how.tempFolder.isEmpty()) {
        environment.insert(QStringLiteral("TMPDIR"), how.tempFolder);
        process.setChildProcessModifier([] {
            const rlimit limit{(rlim_t(2) << 30) + (rlim_t(1) << 20), (rlim_t(2) << 30) + (rlim_t(1) << 20)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    process.setProcessEnvironment(environment);
    if (!how.folder.isEmpty())
        process.setWorkingDirectory(how.folder);
    QProcess feeding;
    if (!how.feeder.isEmpty()) {
        feeding.setStandardOutputProcess(&process);
        feeding.start(how.feeder.first(), how.feeder.mid(1));
    }
    const auto stopFeeding = qScopeGuard([&] {
        if (feeding.state() != QProcess::NotRunning) {
            feeding.kill();
            feeding.waitForFinished(10000);
        }
    });
    const QString program = how.program.isEmpty() ? tool() : how.program;
    if (how.unprivileged && geteuid() == 0)
        process.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=nobody"),
                                                             QStringLiteral("--regid=nogroup"),
                                                             QStringLiteral("--clear-groups"), publicTool()}
                                                     + arguments);
    else
        process.start(program, arguments);
    Result result;
    if (!process.waitForStarted(10000) || !process.waitForFinished(60000)) {
        result.err = program + QStringLiteral(" did not run");
        return result;
    }
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.outBytes = process.readAllStandardOutput();
    result.errBytes = process.readAllStandardError();
    result.out = QString::fromUtf8(result.outBytes);
    result.err = QString::fromUtf8(result.errBytes);
    return result;
}

TestDbTool::Result TestDbTool::runShell(const QString &folder, const QString &commandLine)
{
    return runTool({QStringLiteral("-c"), commandLine},
                   {.program = QStringLiteral("/bin/sh"), .folder = folder, .environment = {QStringLiteral("TOOL=") + tool()}});
}

QString TestDbTool::publicTool()
{
    static QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("sentalia-db"));
    if (!QFile::exists(copy)) {
        openToEveryone(folder.path(), false);
        QFile::copy(tool(), copy);
    }
    return copy;
}

void TestDbTool::openToEveryone(const QString &folder, bool writable)
{
    ::chmod(QFile::encodeName(folder).constData(), writable ? 01777 : 0755);
}

QMap<qint64, QString> TestDbTool::rows(const QString &path)
{
    QMap<qint64, QString> found;
    for (const QuoteRecord &r : records(path))
        found.insert(r.id, QStringList{QString::number(r.id), r.autorIsNull ? QStringLiteral("<NULL>") : r.autor,
                                       r.fraceIsNull ? QStringLiteral("<NULL>") : r.frace,
                                       r.temaIsNull ? QStringLiteral("<NULL>") : r.tema,
                                       r.hasIndex ? QString::number(r.index) : QStringLiteral("-")}
                               .join(QLatin1Char('|')));
    return found;
}

QByteArray TestDbTool::sqlcipherShell(const QString &path, const QByteArray &commands)
{
    QProcess shell;
    shell.start(QStringLiteral("sqlcipher"), {path});
    if (!shell.waitForStarted())
        return "the sqlcipher shell did not start (package sqlcipher): " + shell.errorString().toUtf8();
    shell.write("PRAGMA key = 'qolvent';\n" + commands);
    shell.closeWriteChannel();
    if (!shell.waitForFinished(20000))
        return "the sqlcipher shell did not finish";
    return shell.readAllStandardOutput().trimmed();
}

bool TestDbTool::makeManyPages(const QString &path)
{
    return Fixture::makeCollection(path,
                                   "CREATE TABLE tabla1 (autor TEXT, frace TEXT, tema TEXT, \"Index\" INTEGER);"
                                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                                   " INSERT INTO tabla1 SELECT 'Autor ' || i, 'Frase número ' || i || ' con texto"
                                   " de relleno para ocupar la página.', 'VIDA', i = 1 FROM n;");
}

bool TestDbTool::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool TestDbTool::writeSources(QStringList &arguments, const QString &folder)
{
    for (QString &argument : arguments) {
        if (!argument.startsWith(QLatin1String("FILE ")))
            continue;
        const QString file = folder + QLatin1Char('/') + argument.section(QLatin1Char('\n'), 0, 0).mid(5);
        if (!writeFile(file, argument.section(QLatin1Char('\n'), 1).toUtf8()))
            return false;
        argument = file;
    }
    return true;
}

QList<QuoteRecord> TestDbTool::records(const QString &path)
{
    QList<QuoteRecord> found;
    QuoteStore::OpenResult opened = QuoteStore::open(path);
    if (!opened) {
        qWarning("%s", qPrintable(opened.reason));
        return found;
    }
    opened.store->forEachRecord([&](const QuoteRecord &record) { found << record; });
    return found;
}

bool TestDbTool::makeRefusingCollection(const QString &path)
{
    return Fixture::makeCollection(path,
                                   "CREATE TABLE tabla1 (autor TEXT, frace TEXT CHECK (frace <> 'FALLA'), tema TEXT,"
                                   " \"Index\" INTEGER);"
                                   "INSERT INTO tabla1 VALUES ('Séneca', 'Ya estaba.', 'VIDA', 1);");
}

QString TestDbTool::nameOfLength(int bytes, const QString &fallback)
{
    return bytes == 0 ? fallback : QString(bytes - 4, QLatin1Char('n')) + QStringLiteral(".mdb");
}

QStringList TestDbTool::entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A new collection (create) or a copy (backup) is made once, where it is
// put: an ordinary folder, and a FAT file system (a USB stick) whose
// fusefat has neither hard links nor a rename that refuses to replace; a
// name of 249 bytes must leave room for the temporary one beside it on
// both. A second one to the same name is refused and leaves the first
// untouched; an interrupted copy, or one to read-only media, leaves
// nothing. No temporary file is left.
void TestDbTool::newFileIsMadeOnce_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("media");
    QTest::addColumn<int>("nameBytes");
    QTest::addColumn<bool>("interrupted");
    for (const char *command : {"create", "backup"}) {
        for (const char *media : {"folder", "FAT"}) {
            QTest::addRow("%s, %s", command, media) << command << media << 0 << false;
            QTest::addRow("%s, %s, name of 249 bytes", command, media) << command << media << 249 << false;
        }
    }
    QTest::newRow("backup, folder, interrupted") << "backup" << "folder" << 0 << true;
    QTest::newRow("backup, FAT, interrupted") << "backup" << "FAT" << 0 << true;
    QTest::newRow("backup, read-only FAT") << "backup" << "read-only FAT" << 0 << false;
}

void TestDbTool::newFileIsMadeOnce()
{
    QFETCH(QString, command);
    QFETCH(QString, media);
    QFETCH(int, nameBytes);
    QFETCH(bool, interrupted);
    const bool create = command == QLatin1String("create");
    Fixture fixture;
    QTemporaryDir dir;
    std::unique_ptr<FatImage> fat;
    if (media != QLatin1String("folder")) {
        fat.reset(new FatImage(media == QLatin1String("FAT")));
        QVERIFY2(fat->mounted(), qPrintable(fat->error()));
    }
    const QString folder = fat ? fat->mountPoint() : dir.path();
    const QString made = folder + QLatin1Char('/') + nameOfLength(nameBytes, create ? QStringLiteral("nuevo.mdb")
                                                                                     : QStringLiteral("copia.MDB"));
    QStringList arguments{command, made};
    if (!create)
        arguments.insert(1, fixture.path());

    if (interrupted) {
        // Enough pages for the copy to take several steps.
        QVERIFY(Fixture::makeCollection(fixture.path(),
                                        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 8000)"
                                        " INSERT INTO tabla1 SELECT 'A' || i, printf('%0200d', i), 'T', NULL FROM n;"));
        auto store = fixture.open();
        QVERIFY(store);
        CollectionBackup backup(*store);
        Interruption::simulate(SIGINT);
        const CollectionBackup::Outcome outcome = backup.copyTo(QFile::encodeName(made));
        Interruption::simulate(0);
        QCOMPARE(outcome, CollectionBackup::Outcome::Failed);
        QVERIFY2(backup.lastError().contains(QStringLiteral("Se interrumpió")), qPrintable(backup.lastError()));
        QCOMPARE(entries(folder), QStringList());
        return;
    }
    Result result = runTool(arguments);
    if (media == QLatin1String("read-only FAT")) {
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(QStringLiteral("no permite escribir")), qPrintable(result.err));
        QCOMPARE(entries(folder), QStringList());
        return;
    }
    QVERIFY2(result.code == 0, qPrintable(result.err));
    QCOMPARE(entries(folder), QStringList{QFileInfo(made).fileName()});
    if (create) {
        QVERIFY(QuoteStore::open(made));
        QVERIFY(records(made).isEmpty());
        QCOMPARE(sqlcipherShell(made, ".tables\n"), QByteArray("tabla1"));
    } else {
        QCOMPARE(rows(made), rows(fixture.path()));
    }
    const QByteArray bytes = Fixture::readFile(made);
    QVERIFY(!bytes.startsWith("SQLite format 3")); // encrypted

    result = runTool(arguments);
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains(QStringLiteral("ya existe")), qPrintable(result.err));
    QCOMPARE(Fixture::readFile(made), bytes);
    QCOMPARE(entries(folder), QStringList{QFileInfo(made).fileName()}); // no temporary left
}

void TestDbTool::check_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("collection made by the shell")
        << "quotes.mdb" << 0
        << QStringList{"Frases: 21\n", "Temas con Index 1: 9\n", "Frases sin tema (NULL): 1\n",
                       "Temas sin Index 1 (no salen en las listas de temas): 1\n", "Integridad: correcta"};
    QTest::newRow("other column order, no types") << "shell-order.mdb" << 0
                                                  << QStringList{"Frases: 1\n", "Temas con Index 1: 1\n"};
    QTest::newRow("empty") << "empty.mdb" << 0 << QStringList{"Frases: 0\n", "Integridad: correcta"};
    QTest::newRow("garbage") << "garbage.mdb" << 1 << QStringList{"no es un archivo de frases"};
    QTest::newRow("other key") << "other-key.mdb" << 1 << QStringList{"no es un archivo de frases"};
    QTest::newRow("no table") << "no-table.mdb" << 1 << QStringList{"tabla1 no existe"};
    QTest::newRow("no column") << "no-column.mdb" << 1 << QStringList{"faltan columnas: tema"};
    QTest::newRow("missing file") << QString() << 1 << QStringList{"no existe el archivo"};
    QTest::newRow("trigger on tabla1") << "trigger.mdb" << 1 << QStringList{"tabla1 tiene disparadores (vaciar)"};
    QTest::newRow("view named tabla1") << "view.mdb" << 1 << QStringList{"tabla1 es una vista"};
}

void TestDbTool::check()
{
    QFETCH(QString, fixture);
    QFETCH(int, code);
    QFETCH(QStringList, expected);

    Fixture copy(fixture.isEmpty() ? QStringLiteral("empty.mdb") : fixture);
    if (fixture.isEmpty())
        QVERIFY(QFile::remove(copy.path()));
    const QByteArray before = Fixture::readFile(copy.path());

    const Result result = runTool({QStringLiteral("check"), copy.path()});
    QCOMPARE(result.code, code);
    const QString shown = code == 0 ? result.out : result.err;
    for (const QString &text : expected)
        QVERIFY2(shown.contains(text), qPrintable(shown));
    QCOMPARE(Fixture::readFile(copy.path()), before);
    QCOMPARE(QFile::exists(copy.path()), !fixture.isEmpty());
}

void TestDbTool::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");

    QTest::newRow("nothing") << QStringList{} << 2;
    QTest::newRow("unknown command") << QStringList{"borrar", "x.mdb"} << 2;
    QTest::newRow("create without file") << QStringList{"create"} << 2;
    QTest::newRow("create, name not .mdb") << QStringList{"create", "nuevo"} << 2;
    QTest::newRow("check, file not .mdb") << QStringList{"check", "frase.db"} << 2;
    QTest::newRow("search without words") << QStringList{"search", "x.mdb"} << 2;
    QTest::newRow("search, blank word") << QStringList{"search", "x.mdb", "vida", " "} << 2;
    QTest::newRow("unknown list format") << QStringList{"list", "x.mdb", "--format", "fortune"} << 2;
    QTest::newRow("add without quotation") << QStringList{"add", "x.mdb", "--tema", "VIDA"} << 2;
    QTest::newRow("add with empty topic") << QStringList{"add", "x.mdb", "--frase", "F", "--tema", " "} << 2;
    QTest::newRow("edit without change") << QStringList{"edit", "x.mdb", "3"} << 2;
    QTest::newRow("edit, not a number") << QStringList{"edit", "x.mdb", "tres", "--autor", "A"} << 2;
    QTest::newRow("edit two numbers") << QStringList{"edit", "x.mdb", "3", "4", "--autor", "A"} << 2;
    QTest::newRow("delete without number") << QStringList{"delete", "x.mdb"} << 2;
    QTest::newRow("delete, number with a sign") << QStringList{"delete", "x.mdb", "+3"} << 2;
    QTest::newRow("negative number before --") << QStringList{"delete", "x.mdb", "-5"} << 2;
    QTest::newRow("backup without destination") << QStringList{"backup"} << 2;
    QTest::newRow("backup, destination not .mdb") << QStringList{"backup", "x.mdb", "copia"} << 2;
    QTest::newRow("topics with an operand") << QStringList{"topics", "x.mdb", "VIDA"} << 2;
    QTest::newRow("--frase on list") << QStringList{"list", "--frase", "F"} << 2;
    QTest::newRow("import without source") << QStringList{"import", "x.mdb"} << 2;
    QTest::newRow("unknown format") << QStringList{"export", "x.mdb", "--format", "xml"} << 2;
    QTest::newRow("option of another command") << QStringList{"check", "x.mdb", "--tema", "VIDA"} << 2;
    QTest::newRow("option without value") << QStringList{"import", "x.mdb", "a.csv", "--autor"} << 2;
    QTest::newRow("empty option value") << QStringList{"import", "x.mdb", "a.csv", "--tema="} << 2;
    QTest::newRow("unknown option") << QStringList{"check", "x.mdb", "--rapido"} << 2;
    QTest::newRow("one file too many") << QStringList{"create", "a.mdb", "b.mdb"} << 2;
    QTest::newRow("help") << QStringList{"--help"} << 0;
    QTest::newRow("version") << QStringList{"--version"} << 0;
}

void TestDbTool::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const Result result = runTool(arguments);
    QCOMPARE(result.code, code);
    if (code == 2) {
        QVERIFY2(result.err.contains(QStringLiteral("sentalia-db --help")), qPrintable(result.err));
        QVERIFY(result.out.isEmpty());
    } else if (arguments.first() == QLatin1String("--version")) {
        // The version first, alone, for scripts; then the licence, as the GNU tools say it.
        QVERIFY2(result.out.startsWith(QStringLiteral("sentalia-db 3.0.2004\nCopyright (C) ")), qPrintable(result.out));
        QVERIFY2(result.out.contains(QStringLiteral("Licencia GPLv3+: GPL de GNU versión 3 o posterior")),
                 qPrintable(result.out));
    } else {
        for (const QString &command : commandNames())
            QVERIFY2(result.out.contains(QStringLiteral("\n  ") + command + QLatin1Char(' ')), qPrintable(command));
        // The help page shows each command with every option it takes.
        QFile page(QStringLiteral(SENTALIA_SOURCE_DIR "/resources/Ayuda/sentalia_db.htm"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(page.readAll()).split(QLatin1Char('\n'));
        const QRegularExpression synopsis(QStringLiteral("^  (%1) (.*)$").arg(commandNames().join(QLatin1Char('|'))),
                                          QRegularExpression::MultilineOption);
        static const QRegularExpression option(QStringLiteral("--[a-z]+"));
        for (const QRegularExpressionMatch &command : synopsis.globalMatch(result.out)) {
            const QString call = QStringLiteral("sentalia-db ") + command.captured(1) + QLatin1Char(' ');
            for (const QRegularExpressionMatch &name : option.globalMatch(command.captured(2))) {
                const bool shown = std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) {
                    return line.contains(call) && line.contains(name.captured());
                });
                QVERIFY2(shown, qPrintable(call + name.captured()));
            }
        }
    }
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()); // nothing made
}

void TestDbTool::refusesDatabaseInUse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("check") << QStringList{"check"};
    QTest::newRow("import") << QStringList{"import", "SOURCE"};
    QTest::newRow("export") << QStringList{"export"};
    QTest::newRow("list") << QStringList{"list"};
    QTest::newRow("search") << QStringList{"search", "vida"};
    QTest::newRow("random") << QStringList{"random"};
    QTest::newRow("add") << QStringList{"add", "--frase", "Nueva.", "--tema", "VIDA"};
    QTest::newRow("edit") << QStringList{"edit", "7", "--autor", "F. Nietzsche"};
    QTest::newRow("delete") << QStringList{"delete", "7"};
    QTest::newRow("topics") << QStringList{"topics"};
    QTest::newRow("backup") << QStringList{"backup", "DEST"};
}

void TestDbTool::refusesDatabaseInUse()
{
    QFETCH(QStringList, arguments);

    Fixture fixture;
    const QString source = fixture.folder() + QStringLiteral("/vida.fortunes");
    QVERIFY(writeFile(source, "La vida es sue\xc3\xb1o.\n\t\t-- Calder\xc3\xb3n\n%\n"));
    arguments.insert(1, fixture.path());
    arguments.replaceInStrings(QStringLiteral("SOURCE"), source);
    arguments.replaceInStrings(QStringLiteral("DEST"), fixture.folder() + QStringLiteral("/copia.mdb"));
    // Read before the store holds the file: another descriptor on it would
    // drop the store's lock when closed.
    const QByteArray before = Fixture::readFile(fixture.path());
    {
        auto holder = fixture.open();
        QVERIFY(holder);
        const Result result = runTool(arguments);
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(QStringLiteral("está en uso")), qPrintable(result.err));
        QVERIFY2(result.err.contains(QStringLiteral("Sentalia")), qPrintable(result.err));
        QVERIFY(result.out.isEmpty());
    }
    QCOMPARE(Fixture::readFile(fixture.path()), before);
    QCOMPARE(runTool(arguments).code, 0);
}

void TestDbTool::failedImportChangesNothing_data()
{
    QTest::addColumn<bool>("refusingTable");
    QTest::addColumn<QByteArray>("tail");
    // "missing", "collection", "binary", "read-only folder", a device,
    // "yes" (through a pipe), "over 2 GiB", "missing TMPDIR", "no %"
    // (several lines, no separator), "tsv" (list --format tsv of the
    // fixture), "near header" (a .txt whose header is nearly right) or none
    QTest::addColumn<QString>("secondSource");
    QTest::addColumn<QString>("reason"); // TMPDIR stands for the tool's temporary folder

    QTest::newRow("malformed row at the end") << false << QByteArray("Nadie,\"sin cerrar,VIDA\n") << QString()
                                              << "línea 3002: comillas sin cerrar";
    QTest::newRow("engine refuses a record halfway")
        << true << QByteArray("Nadie,FALLA,VIDA\nOtro,Después del fallo,VIDA\n") << QString() << "La importación falló";
    QTest::newRow("unreadable source after a good one") << false << QByteArray() << "missing" << "no se pudo leer";
    QTest::newRow("NUL byte inside a field")
        << false << QByteArray("Nadie,Frase con\0 NUL dentro.,VIDA\n", 34) << QString()
        << "línea 3002: hay un byte nulo";
    QTest::newRow("the collection itself as a source") << false << QByteArray() << "collection"
                                                       << "es el propio archivo de frases";
    QTest::newRow("binary source without NUL bytes") << false << QByteArray() << "binary"
                                                     << "no es un archivo de texto";
    QTest::newRow("collection in a read-only folder")
        << false << QByteArray() << "read-only folder" << "no permite escribir";
    // Endless sources end the import at once and leave nothing in TMPDIR.
    QTest::newRow("/dev/zero") << false << QByteArray() << "/dev/zero" << "no es un archivo de texto";
    QTest::newRow("/dev/urandom") << false << QByteArray() << "/dev/urandom" << "no es un archivo de texto";
    // TMPDIR on a small FAT disk: the copy of an endless pipe stops before
    // it would leave less than 64 MiB free there.
    QTest::newRow("endless text through a pipe")
        << false << QByteArray() << "yes" << "/dev/stdin es demasiado grande para importarlo: su copia temporal no cabe en TMPDIR";
    QTest::newRow("sparse file over 2 GiB refused by its size")
        << false << QByteArray() << "over 2 GiB" << "grande.csv es demasiado grande para importarlo (más de 2 GiB)";
    QTest::newRow("missing TMPDIR") << false << QByteArray() << "missing TMPDIR"
                                    << "no se pudo leer /dev/zero: no existe la carpeta temporal TMPDIR.";
    // Text with no "%" line is no fortune file; the sentence names both
    // ways out.
    QTest::newRow("one saying per line, no % line")
        << false << QByteArray() << "no %"
        << "refranes.txt tiene varias líneas de texto y ninguna línea «%», así que no es un archivo fortune: escriba "
           "una línea que solo tenga «%» después de cada frase, o importe cada línea como una frase con --una-por-linea";
    QTest::newRow("our own list --format tsv") << false << QByteArray() << "tsv" << "lista.tsv tiene varias líneas de texto";
    QTest::newRow("a header nearly right, in a .txt")
        << false << QByteArray() << "near header"
        << "casi.txt, línea 1: «Autor, frase ,tema» no es la cabecera de un CSV de frases; la primera línea debe ser "
           "exactamente autor,frace,tema o autor,frace,tema,Index";
}

void TestDbTool::failedImportChangesNothing()
{
    QFETCH(bool, refusingTable);
    QFETCH(QByteArray, tail);
    QFETCH(QString, secondSource);
    QFETCH(QString, reason);

    Fixture fixture;
    if (refusingTable) {
        QVERIFY(QFile::remove(fixture.path()));
        QVERIFY(makeRefusingCollection(fixture.path()));
    }
    // Enough records to fill many pages before the failure comes.
    QByteArray csv = "autor,frace,tema\n";
    for (int i = 0; i < 3000; ++i)
        csv += "Autor " + QByteArray::number(i) + ",\"Frase n\xc3\xba" "mero " + QByteArray::number(i)
            + ", con algo de texto para ocupar sitio en la p\xc3\xa1gina.\",TEMA " + QByteArray::number(i % 40)
            + "\n";
    csv += tail;
    const QString source = fixture.folder() + QStringLiteral("/frases.csv");
    QVERIFY(writeFile(source, csv));

    const qsizetype recordsBefore = records(fixture.path()).size();
    const QByteArray before = Fixture::readFile(fixture.path());
    QStringList arguments{QStringLiteral("import"), fixture.path(), source};
    if (secondSource == QLatin1String("missing"))
        arguments << fixture.folder() + QStringLiteral("/no-esta.fortunes");
    else if (secondSource == QLatin1String("collection"))
        arguments << fixture.path();
    else if (secondSource == QLatin1String("binary")) {
        QByteArray bytes;
        for (int i = 0; i < 4096; ++i)
            bytes += char(0x80 | (i * 37 % 128)) + QByteArray(1, char(1 + i % 8));
        QVERIFY(writeFile(fixture.folder() + QStringLiteral("/imagen.fortunes"), bytes));
        arguments << fixture.folder() + QStringLiteral("/imagen.fortunes");
    } else if (secondSource.startsWith(QLatin1String("/dev/")) || secondSource == QLatin1String("missing TMPDIR")) {
        arguments << (secondSource.startsWith(QLatin1Char('/')) ? secondSource : QStringLiteral("/dev/zero"));
    } else if (secondSource == QLatin1String("no %")) {
        QVERIFY(writeFile(fixture.folder() + QStringLiteral("/refranes.txt"),
                          "A quien madruga, Dios le ayuda.\nM\xc3\xa1s vale tarde que nunca.\n"));
        arguments << fixture.folder() + QStringLiteral("/refranes.txt");
    } else if (secondSource == QLatin1String("tsv")) {
        const Result listed = runTool({QStringLiteral("list"), fixture.path(), QStringLiteral("--format=tsv")});
        QCOMPARE(listed.code, 0);
        QVERIFY(writeFile(fixture.folder() + QStringLiteral("/lista.tsv"), listed.out.toUtf8()));
        arguments << fixture.folder() + QStringLiteral("/lista.tsv");
    } else if (secondSource == QLatin1String("near header")) {
        QVERIFY(writeFile(fixture.folder() + QStringLiteral("/casi.txt"), "Autor, frase ,tema\nA,B,VIDA\n"));
        arguments << fixture.folder() + QStringLiteral("/casi.txt");
    } else if (secondSource == QLatin1String("over 2 GiB")) {
        // Sparse: the file system holds only its first line.
        QFile big(fixture.folder() + QStringLiteral("/grande.csv"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.write("autor,frace,tema\n") > 0);
        QVERIFY(big.resize((qint64(2) << 30) + 1));
        arguments << big.fileName();
    }
    QStringList feeder;
    if (secondSource == QLatin1String("yes")) {
        feeder = QStringList{QStringLiteral("yes"), QStringLiteral("Nadie,Sin fin,VIDA")};
        arguments << QStringLiteral("/dev/stdin");
    }
    // A private TMPDIR: whatever the import leaves there shows.
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    std::unique_ptr<FatImage> smallDisk(secondSource == QLatin1String("yes") ? new FatImage : nullptr);
    if (smallDisk)
        QVERIFY2(smallDisk->mounted(), qPrintable(smallDisk->error()));
    const QString tempFolder = smallDisk ? smallDisk->mountPoint()
        : temp.path() + (secondSource == QLatin1String("missing TMPDIR") ? "/falta" : "");
    reason.replace(QStringLiteral("TMPDIR"), tempFolder);
    // The collection stays writable; only its folder refuses new files,
    // so the journal cannot be made.
    const bool readOnlyFolder = secondSource == QLatin1String("read-only folder");
    const auto all = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto enter = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    if (readOnlyFolder) {
        QVERIFY(QFile::setPermissions(fixture.path(), all | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(fixture.folder(), all | enter));
    }
    const Result result = runTool(arguments, {.unprivileged = readOnlyFolder, .tempFolder = tempFolder, .feeder = feeder});
    if (readOnlyFolder)
        QVERIFY(QFile::setPermissions(fixture.folder(), all | enter | QFile::WriteOwner));
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains(reason), qPrintable(result.err));
    const QStringList left = QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    QVERIFY2(result.err.contains(QStringLiteral("No se importó nada")), qPrintable(result.err));
    QVERIFY(!result.out.contains(QStringLiteral("Importación terminada")));

    QCOMPARE(Fixture::readFile(fixture.path()), before);
    QVERIFY(!QFile::exists(fixture.path() + QStringLiteral("-journal")));
    QCOMPARE(records(fixture.path()).size(), recordsBefore);
}

void TestDbTool::importSummaryAndOptions()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("frase.mdb"));
    QCOMPARE(runTool({QStringLiteral("create"), db}).code, 0);

    const QString fortunes = dir.filePath(QStringLiteral("niñez.fortunes"));
    QVERIFY(writeFile(fortunes, "El ni\xc3\xb1o es padre del hombre.\n\t\t-- William Wordsworth. (1770-1850) Poeta.\n"
                                "%\nSin autor conocido.\n%\n\t\t-- Solo el autor\n%\n"));
    const QString csv = dir.filePath(QStringLiteral("frases.csv"));
    QVERIFY(writeFile(csv, "autor,frace,tema\r\nPlat\xc3\xb3n,\"Uno, dos\",VIDA\r\n,Sin autor en CSV,\r\n,,VIDA\r\n"));

    // Empty quotations, and rows without a topic, are skipped, each
    // reported with its line; a lone attribution line is a quotation.
    Result result = runTool({QStringLiteral("import"), db, fortunes, csv});
    QCOMPARE(result.code, 0);
    QVERIFY2(result.out.contains(QStringLiteral(
                 "4 frases agregadas, 0 repetidas omitidas, 2 temas nuevos, 1 vacía omitida, 1 sin tema omitida")),
             qPrintable(result.out));
    QVERIFY2(result.err.contains(QStringLiteral("frases.csv, línea 4: la frase está vacía")), qPrintable(result.err));
    QVERIFY2(result.err.contains(QStringLiteral("frases.csv, línea 3: la frase no tiene tema; se omite (--tema")),
             qPrintable(result.err));
    result = runTool({QStringLiteral("import"), db, fortunes, csv});
    QCOMPARE(result.code, 0);
    QVERIFY2(result.out.contains(QStringLiteral("0 frases agregadas, 4 repetidas omitidas, 0 temas nuevos, 1 vac")),
             qPrintable(result.out));

    // --tema replaces the file's name (upper-cased), and gives a topic to
    // the rows without one; --autor fills the gaps.
    result = runTool({QStringLiteral("import"), db, fortunes, csv, QStringLiteral("--tema"), QStringLiteral("infancia"),
                      QStringLiteral("--autor=Refranero")});
    QCOMPARE(result.code, 0);
    QVERIFY2(result.out.contains(QStringLiteral("4 frases agregadas, 1 repetida omitida, 1 tema nuevo, 1 vac")),
             qPrintable(result.out));

    const QString wordsworth = QStringLiteral("William Wordsworth|El niño es padre del hombre.\n(1770-1850) Poeta.|");
    QCOMPARE(rows(db).values(),
             (QStringList{"1|" + wordsworth + "NIÑEZ|1", "2|Anónimo|Sin autor conocido.|NIÑEZ|-",
                          "3|Anónimo|\t\t-- Solo el autor|NIÑEZ|-", "4|Platón|Uno, dos|VIDA|1",
                          "5|" + wordsworth + "INFANCIA|1", "6|Refranero|Sin autor conocido.|INFANCIA|-",
                          "7|Refranero|\t\t-- Solo el autor|INFANCIA|-", "8|Refranero|Sin autor en CSV|INFANCIA|-"}));
}

void TestDbTool::csvExportReadsBackExactly_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("sql");      // the collection; empty: the fixture
    QTest::addColumn<QByteArrayList>("expected"); // pieces the export must hold
    QTest::addColumn<QString>("refusal");     // empty: it imports back exactly

    QTest::newRow("csv") << "csv" << QByteArray() << QByteArrayList{"autor,frace,tema,Index\n"} << QString();
    // For spreadsheets: a byte-order mark, CR LF line ends, LF inside a field.
    QTest::newRow("csv-excel") << "csv-excel" << QByteArray()
                               << QByteArrayList{"\xef\xbb\xbf" "autor,frace,tema,Index\r\n",
                                                 "\r\nYeats,\"Texto con\nsalto de l\xc3\xadnea.\",ni\xc3\xb1" "ez,\r\n"}
                               << QString();
    // Index as another program stored it: written as it is (2.0 is the
    // whole number 2), and refused by the import, with its line.
    QTest::newRow("foreign Index values")
        << "csv"
        << QByteArray("CREATE TABLE tabla1 (autor TEXT, frace TEXT, tema TEXT, \"Index\");"
                      "INSERT INTO tabla1 VALUES ('A', 'Uno.', 'VIDA', 2.0);"
                      "INSERT INTO tabla1 VALUES ('B', 'Dos.', 'VIDA', 1.5);"
                      "INSERT INTO tabla1 VALUES ('C', 'Tres.', 'OTRO', 'uno');")
        << QByteArrayList{"autor,frace,tema,Index\nA,Uno.,VIDA,2\nB,Dos.,VIDA,1.5\nC,Tres.,OTRO,uno\n"}
        << "copia.csv: línea 3: Index debe ser un número entero o quedar vacío, no «1.5»";
}

// What an import makes of the text it is given: the encoding of each line,
// records skipped for what they hold, and sources that are not fortune files.
void TestDbTool::importedText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("source");       // its name; "-" or /dev/stdin: through a pipe
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("stored");   // "autor|frace|tema", in order
    QTest::addColumn<QStringList>("messages"); // in standard error or output

    QTest::newRow("Windows-1252 quotes, dashes, ellipsis and euro")
        << QByteArray("autor,frace,tema\nPepe,\x93Hola\x94\x85 \x80 5 \x96 y \x97 \x91s\x92,VIDA\n") << "win.csv"
        << QStringList() << QStringList{"Pepe|“Hola”… € 5 – y — ‘s’|VIDA"}
        << QStringList{"/win.csv: 1 línea no está en UTF-8 (2); se lee como Windows-1252."};

    QByteArray mixed = "autor,frace,tema\n";
    QStringList mixedStored;
    for (int i = 0; i < 50; ++i) {
        mixed += "Jos\xc3\xa9 Mart\xc3\xad,La canci\xc3\xb3n " + QByteArray::number(i) + ",VIDA\n";
        mixedStored << QStringLiteral("José Martí|La canción %1|VIDA").arg(i);
    }
    mixed += "Mu\xf1oz,L\xednea 52,VIDA\n";
    mixedStored << QStringLiteral("Muñoz|Línea 52|VIDA");
    QTest::newRow("one Latin-1 line among 50 UTF-8 records")
        << mixed << "mixto.csv" << QStringList() << mixedStored
        << QStringList{"/mixto.csv: 1 línea no está en UTF-8 (52); se lee como Windows-1252."};

    // Over a MiB through a pipe, so the whole of the binary test's first
    // stretch is judged by 16-bit characters.
    const QString repeated = QStringLiteral("autor,frace,tema\n")
        + QStringLiteral("Séneca,La vida es larga si se sabe usar.,VIDA\n").repeated(30000);
    QByteArray little("\xff\xfe");
    for (const QChar ch : repeated)
        little += char(ch.unicode() & 0xFF) + QByteArray(1, char(ch.unicode() >> 8));
    QTest::newRow("UTF-16 LE through a pipe")
        << little << "/dev/stdin" << QStringList() << QStringList{"Séneca|La vida es larga si se sabe usar.|VIDA"}
        << QStringList{"29999 repetidas omitidas"};
    const QString fortune = QStringLiteral("La vida es sueño.\n\t\t-- Calderón\n%\n¿Qué es la vida? Un frenesí.\n%\n");
    QByteArray big("\xfe\xff");
    for (const QChar ch : fortune)
        big += char(ch.unicode() >> 8) + QByteArray(1, char(ch.unicode() & 0xFF));
    QTest::newRow("UTF-16 BE fortune file")
        << big << "vida.txt" << QStringList()
        << QStringList{"Calderón|La vida es sueño.|VIDA", "Anónimo|¿Qué es la vida? Un frenesí.|VIDA"} << QStringList();

    QTest::newRow("control characters skip their records")
        << QByteArray("autor,frace,tema\nA,Con \x01 dentro,VIDA\nNEL\xc2\x85,Texto.,VIDA\nB,\"Dos\nl\xc3\xadneas\tcon tab\",VIDA\n")
        << "control.csv" << QStringList() << QStringList{"B|Dos\nlíneas\tcon tab|VIDA"}
        << QStringList{"control.csv, línea 2: la frase tiene un carácter de control (U+0001), que no se guarda; se omite.",
                       "control.csv, línea 3: el autor tiene un carácter de control (U+0085)",
                       "1 frase agregada, 0 repetidas omitidas, 1 tema nuevo, 2 omitidas por caracteres de control."};
    QTest::newRow("a field of 200 KB skips its record")
        << "autor,frace,tema\nA," + QByteArray(200000, 'x') + ",VIDA\nB,Corta.,VIDA\n" << "largo.csv" << QStringList()
        << QStringList{"B|Corta.|VIDA"}
        << QStringList{"largo.csv, línea 2: la frase tiene más de 100.000 caracteres; se omite.",
                       ", 1 omitida por un campo de más de 100.000 caracteres."};
    // Past the line limit the rest of the line is dropped unread, its
    // quotes still counted: the record after it is found.
    QTest::newRow("a line of 3 MiB in a CSV, with quotes")
        << "autor,frace,tema\nA,\"" + QByteArray("y\"\" ").repeated(1 << 20) + "\",VIDA\nB,\"Tras \"\"eso\"\"\",VIDA\n"
        << "enorme.csv" << QStringList() << QStringList{"B|Tras \"eso\"|VIDA"}
        << QStringList{"enorme.csv, línea 2: un campo tiene más de 100.000 caracteres; se omite."};
    QTest::newRow("a line of 3 MiB in a fortune file")
        << "Corta.\n%\n" + QByteArray(3 << 20, 'z') + "\n%\nOtra.\n\t\t-- Yo\n%\n" << "enorme" << QStringList()
        << QStringList{"Anónimo|Corta.|ENORME", "Yo|Otra.|ENORME"}
        << QStringList{"enorme, línea 3: un campo tiene más de 100.000 caracteres; se omite."};

    const QByteArray sayings = "A quien madruga, Dios le ayuda.\n  M\xc3\xa1s vale tarde que nunca.  \r\n\n%\nNo hay mal que por bien no venga.";
    QTest::newRow("one saying per line with --una-por-linea")
        << sayings << "refranes.txt" << QStringList{"--una-por-linea"}
        << QStringList{"Anónimo|A quien madruga, Dios le ayuda.|REFRANES", "Anónimo|Más vale tarde que nunca.|REFRANES",
                       "Anónimo|No hay mal que por bien no venga.|REFRANES"}
        << QStringList{"refranes.txt (una frase por línea, tema REFRANES): 3 frases."};
    QTest::newRow("a CSV header, names quoted, makes a .txt CSV")
        << QByteArray("\"autor\",\"frace\",\"tema\"\r\n\"Plat\xc3\xb3n\",\"La obra.\",\"TRABAJO\"\r\n") << "frases.txt"
        << QStringList()
        << QStringList{"Platón|La obra.|TRABAJO"} << QStringList{"frases.txt (CSV): 1 frase."};
    QTest::newRow("- reads standard input")
        << QByteArray("Breve.\n\t\t-- S\xc3\xa9neca\n%\nOtra.\n") << "-" << QStringList{"--tema", "vida"}
        << QStringList{"Séneca|Breve.|VIDA", "Anónimo|Otra.|VIDA"} << QStringList{"la entrada estándar (fortune, tema VIDA): 2 frases."};
}

void TestDbTool::importedText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, source);
    QFETCH(QStringList, options);
    QFETCH(QStringList, stored);
    QFETCH(QStringList, messages);

    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("frase.mdb"));
    QCOMPARE(runTool({QStringLiteral("create"), db}).code, 0);
    const bool piped = source.startsWith(QLatin1Char('-')) || source.startsWith(QLatin1String("/dev/"));
    const QString file = dir.filePath(piped ? QStringLiteral("origen") : source);
    QVERIFY(writeFile(file, bytes));
    const Result result = runTool(QStringList{QStringLiteral("import"), db, piped ? source : file} + options,
                                  {.feeder = piped ? QStringList{QStringLiteral("cat"), file} : QStringList()});
    QVERIFY2(result.code == 0, qPrintable(result.err));
    QStringList found;
    for (const QuoteRecord &record : records(db))
        found << QStringList{record.autor, record.frace, record.tema}.join(QLatin1Char('|'));
    QCOMPARE(found, stored);
    for (const QString &text : std::as_const(messages))
        QVERIFY2(result.err.contains(text) || result.out.contains(text), qPrintable(result.err + result.out));
}

void TestDbTool::csvExportReadsBackExactly()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, sql);
    QFETCH(QByteArrayList, expected);
    QFETCH(QString, refusal);

    Fixture fixture;
    if (!sql.isEmpty()) {
        QVERIFY(QFile::remove(fixture.path()));
        QVERIFY(Fixture::makeCollection(fixture.path(), sql.constData()));
    }
    const QString formatOption = QStringLiteral("--format=") + format;
    const Result exported = runTool({QStringLiteral("export"), fixture.path(), formatOption});
    QCOMPARE(exported.code, 0);
    QVERIFY2(exported.outBytes.startsWith(expected.first()), exported.outBytes.constData());
    for (const QByteArray &piece : std::as_const(expected))
        QVERIFY2(exported.outBytes.contains(piece), exported.outBytes.constData());

    const QString csv = fixture.folder() + QStringLiteral("/copia.csv");
    QVERIFY(writeFile(csv, exported.outBytes));
    const QString copy = fixture.folder() + QStringLiteral("/copia.mdb");
    QCOMPARE(runTool({QStringLiteral("create"), copy}).code, 0);
    const Result imported = runTool({QStringLiteral("import"), copy, csv});
    if (!refusal.isEmpty()) {
        QCOMPARE(imported.code, 1);
        QVERIFY2(imported.err.contains(refusal), qPrintable(imported.err));
        QCOMPARE(records(copy).size(), 0);
        return;
    }
    QCOMPARE(imported.code, 0);

    const Result again = runTool({QStringLiteral("export"), copy, formatOption});
    QCOMPARE(again.code, 0);
    QCOMPARE(again.outBytes, exported.outBytes);

    // Every record in its place, Index as it was, irregular ones included
    // (AMISTAD has two records with Index 1, HUERFANO none); NULL apart
    // from empty text.
    QCOMPARE(rows(copy), rows(fixture.path()));
}

void TestDbTool::fortuneExportReadsBack()
{
    // Quotations as the program's dialog stores them, and authors that a
    // fortune attribution does not hold as they stand.
    const QList<QStringList> quotations = {
        {"Lao-Tse", "Primer verso, largo.\n\nSegundo párrafo."},
        {"Anónimo", "- ¿Quién?\n- Yo."},
        {"Robnell G. Rivera", "Nunca subestimes el poder de las palabras."},
        {"Gabriel García Márquez",
         "La vida no es la que uno vivió, sino la que \"recuerda\";\ny cómo la recuerda para contarla."},
        {"Anónimo", "-- Doctor, doctor, tengo complejo de feo.\n-- Pase, pase, señor Monstruo."},
        {"?", "  Sangría de dos blancos\n y de uno\n\n\n\nTras tres líneas en blanco."},
        {"—", "\u00a0Espacio duro al empezar.\n\n\u3000Espacio ideográfico."},
        {"«[", "%"},
        {"Séneca, el joven (4 a.C.)", "Texto.\n-- no es autor"},
    };
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("frase.mdb"));
    QCOMPARE(runTool({QStringLiteral("create"), db}).code, 0);
    for (const QStringList &quotation : quotations)
        QCOMPARE(runTool({QStringLiteral("add"), db, QStringLiteral("--tema"), QStringLiteral("VIDA"),
                          QStringLiteral("--autor"), quotation.at(0), QStringLiteral("--frase"), quotation.at(1)})
                     .code,
                 0);
    QCOMPARE(runTool({QStringLiteral("add"), db, QStringLiteral("--tema"), QStringLiteral("OTRO"), QStringLiteral("--frase"),
                      QStringLiteral("Fuera del tema.")})
                 .code,
             0);

    const Result fortune = runTool({QStringLiteral("export"), db, QStringLiteral("--format"), QStringLiteral("fortune"),
                                    QStringLiteral("--tema"), QStringLiteral("vida")});
    QCOMPARE(fortune.code, 0);
    QVERIFY(fortune.out.contains(QStringLiteral("\t\t-- Robnell G. Rivera\n%\n")));
    QVERIFY(!fortune.out.contains(QStringLiteral("Fuera del tema")));

    const QString file = dir.filePath(QStringLiteral("vida"));
    QVERIFY(writeFile(file, fortune.out.toUtf8()));
    const QString copy = dir.filePath(QStringLiteral("copia.mdb"));
    QCOMPARE(runTool({QStringLiteral("create"), copy}).code, 0);
    QCOMPARE(runTool({QStringLiteral("import"), copy, file}).code, 0);

    const QStringList vida{QStringLiteral("--tema"), QStringLiteral("VIDA")};
    const Result original = runTool(QStringList{QStringLiteral("export"), db} + vida);
    const Result restored = runTool(QStringList{QStringLiteral("export"), copy} + vida);
    QCOMPARE(restored.code, 0);
    QCOMPARE(restored.out, original.out);
    QCOMPARE(records(copy).size(), quotations.size());

    // Debian's strfile and fortune show each quotation as it reads, and its
    // author; the marks the export uses are trailing tabs, nothing a
    // reader sees.
    QProcess strfile;
    strfile.start(QStringLiteral("/usr/bin/strfile"), {file});
    QVERIFY2(strfile.waitForFinished(10000) && strfile.exitStatus() == QProcess::NormalExit && strfile.exitCode() == 0,
             "strfile (paquete fortune-mod) no se pudo ejecutar");
    QProcess show;
    show.start(QStringLiteral("/usr/games/fortune"), {QStringLiteral("-m"), QString(), file});
    QVERIFY2(show.waitForFinished(10000) && show.exitStatus() == QProcess::NormalExit,
             "fortune (paquete fortune-mod) no se pudo ejecutar");
    const auto visible = [](const QString &text) {
        QStringList lines = text.split(QLatin1Char('\n'));
        for (QString &line : lines) {
            while (!line.isEmpty() && (line.back() == QLatin1Char(' ') || line.back() == QLatin1Char('\t')))
                line.chop(1);
        }
        return lines;
    };
    QStringList shown = QString::fromUtf8(show.readAllStandardOutput()).split(QStringLiteral("\n%\n"));
    QCOMPARE(shown.takeLast(), QString());
    QCOMPARE(shown.size(), quotations.size());
    for (qsizetype i = 0; i < quotations.size(); ++i) {
        QVERIFY2(!shown.at(i).contains(QLatin1Char('\\')), qPrintable(shown.at(i)));
        QCOMPARE(visible(shown.at(i)), visible(quotations.at(i).at(1) + QStringLiteral("\n\t\t-- ") + quotations.at(i).at(0)));
    }
}

void TestDbTool::failedExportWritesNothing()
{
    // Many pages of records, and a damaged one near the end: the export
    // fails after it has read most of them.
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("frase.mdb"));
    QVERIFY(makeManyPages(db));
    QFile file(db);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(file.size() - 4096 + 1000));
    QVERIFY(file.write(QByteArray(64, '\x5a')) == 64);
    file.close();

    const Result result = runTool({QStringLiteral("export"), db});
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains(QStringLiteral("La exportación falló")), qPrintable(result.err));
    QCOMPARE(result.out, QString());
}

void TestDbTool::concurrentCreatesKeepOneCollection()
{
    // Several creates of the same new file at once: one makes it, the
    // others find it there, and the file stays. A create that checked the
    // name and then opened it without O_EXCL lost that race now and then,
    // and removed the file another one had made.
    QTemporaryDir dir;
    const int rounds = 15;
    for (int round = 0; round < rounds; ++round) {
        const QString path = dir.filePath(QStringLiteral("nuevo%1.mdb").arg(round));
        std::vector<std::unique_ptr<QProcess>> creates;
        for (int i = 0; i < 6; ++i) {
            creates.push_back(std::make_unique<QProcess>());
            creates.back()->start(tool(), {QStringLiteral("create"), path});
        }
        int made = 0;
        for (const auto &create : creates) {
            QVERIFY(create->waitForFinished(30000));
            made += create->exitCode() == 0 ? 1 : 0;
        }
        QCOMPARE(made, 1);
        QVERIFY2(QuoteStore::open(path), qPrintable(QString::number(round)));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), rounds); // no temporaries left
}

// Commands on a copy of the fixture, some after SQL of another tool: the
// whole output of a reader, the sentence of a refusal, and the collection
// afterwards. Reading commands, and refusals, leave it byte for byte.
//
// Decomposed accents (as macOS and some editors write them) are the same
// text: stored composed, the same topic, the same record; check counts the
// records that hold them, or control characters.
//
// A tabla1 made by another tool whose clauses would delete or drop records
// on a write: every writing command is refused, naming the clause; reading
// commands warn and still rescue the records.
void TestDbTool::commands_data()
{
    QTest::addColumn<QStringList>("arguments"); // FILE goes second; see writeSources()
    QTest::addColumn<int>("code");              // on failure, nothing is written on standard output
    QTest::addColumn<QString>("out");           // all of standard output; empty: not compared
    QTest::addColumn<QString>("said");          // in standard output or error
    QTest::addColumn<QString>("row");           // "id|autor|frace|tema|Index" afterwards; empty: unchanged file
    QTest::addColumn<QByteArray>("sql");        // run on the copy first
    const auto add = [](const char *name, const QStringList &arguments, int code, const QString &out,
                        const QString &said = QString(), const QString &row = QString(),
                        const QByteArray &sql = QByteArray()) {
        QTest::newRow(name) << arguments << code << out << said << row << sql;
    };

    const QString tsv = QStringLiteral("numero\tautor\ttema\tfrase\n");
    add("list, text blocks", {"list", "--tema", "PODER"}, 0,
        "Frase 8 · PODER\nPoderoso caballero es don Dinero.\n\t\t-- Quevedo\n\n");
    add("list by topic: case ignored, line break escaped", {"list", "--tema", "Niñez", "--format", "tsv"}, 0,
        tsv + "13\tÉluard\tNIÑEZ\tHay otros mundos, pero están en este.\n21\tYeats\tniñez\tTexto con\\nsalto de línea.\n");
    add("list by topic: accents kept", {"list", "--tema", "exito", "--format", "tsv"}, 0, tsv);
    add("list by author: case and accents ignored", {"list", "--autor", "ANONIMO", "--format", "csv"}, 0,
        "numero,autor,tema,frase\n5,ámbar Anónimo,amor,Quien bien te quiere te hará llorar.\n");
    add("list json, topic null", {"list", "--autor", "tema nulo", "--format", "json"}, 0,
        "[\n  {\"numero\": 18, \"autor\": \"Otro tema nulo\", \"tema\": null, \"frase\": \"Registro con tema NULL.\"}\n]\n");
    add("list json, nothing", {"list", "--autor", "nadie", "--format", "json"}, 0, "[]\n");
    add("search: every word, in any field", {"search", "CAMINO", "vida", "--format", "tsv"}, 0,
        tsv + "3\tantonio Machado\tVIDA\tCaminante, no hay camino, se hace camino al andar.\n");
    add("search: decomposed accent", {"search", QString::fromUtf8("a\xcc\x81ngel"), "--format=tsv"}, 0,
        tsv + "4\tÁngel Ganivet\tSABIDURIA\tEl que no sabe lo que busca no entiende lo que encuentra.\n");
    add("search: ñ is not n", {"search", "nandu"}, 1, "", "ninguna frase");
    add("search: Ñ finds ñ", {"search", "ÑANDÚ", "--format", "tsv"}, 0,
        tsv + "6\tÑandú Pérez\tVIDA\tTexto de un autor con eñe.\n");
    add("random by topic", {"random", "--tema", "poder"}, 0, "Poderoso caballero es don Dinero.\n\t\t-- Quevedo\n");
    add("random, nothing matches", {"random", "--autor", "nadie"}, 1, "", "ninguna frase");
    add("topics: program's order, equality, marks", {"topics"}, 0,
        "      2  AMISTAD  [2 veces en la lista de temas]\n      1  amor\n      1  ÉXITO\n"
        "      1  HUERFANO  [sin Index 1: no sale en la lista de temas]\n      1  L'AMOUR\n      2  NIÑEZ\n"
        "      1  PODER\n      4  SABIDURIA\n      7  VIDA\n      1  (sin tema)\n9 temas, 1 sin Index 1.\n");

    const QString nfdNinez = QStringLiteral("NIN\u0303EZ");
    add("list, decomposed topic", {"list", "--tema", nfdNinez}, 0, "", "Hay otros mundos, pero están en este.");
    add("add, decomposed text stored composed, topic not new",
        {"add", "--frase", "Cafe\u0301 con leche.", "--tema", nfdNinez, "--autor", "Jose\u0301"}, 0, "",
        "Agregada la frase 22", "22|José|Café con leche.|NIÑEZ|-");
    add("import of a decomposed copy adds nothing", {"import", "NFD-COPY"}, 0, "",
        "0 frases agregadas, 21 repetidas omitidas");
    add("check counts decomposed and control text", {"check"}, 0, "",
        "(no en NFC): 1\nFrases con caracteres de control: 1\n", QString(),
        "INSERT INTO tabla1 VALUES ('Jose\xcc\x81', 'Descompuesta.', 'VIDA', NULL);"
        "INSERT INTO tabla1 VALUES ('Ctrl', 'Con \x01 dentro.', 'VIDA', NULL);");

    const auto table = [](const char *frace) {
        return "DROP TABLE tabla1; CREATE TABLE tabla1 (autor TEXT, frace TEXT " + QByteArray(frace)
            + ", tema TEXT, \"Index\" INTEGER);"
              "INSERT INTO tabla1 VALUES ('Séneca', 'La vida es larga si sabes usarla.', 'VIDA', 1);"
              "INSERT INTO tabla1 VALUES ('Otro', 'Otra frase.', 'VIDA', NULL);";
    };
    const QByteArray replace = table("UNIQUE ON CONFLICT REPLACE");
    const QByteArray ignore = table("UNIQUE ON CONFLICT IGNORE");
    const QString seneca = QStringLiteral("La vida es larga si sabes usarla.");
    const QString source = QStringLiteral("FILE nuevas.csv\nautor,frace,tema\nX,%1,VIDA\nY,Nueva.,VIDA\n").arg(seneca);
    add("REPLACE, import", {"import", source}, 1, "", "ON CONFLICT REPLACE", QString(), replace);
    add("REPLACE, add", {"add", "--frase", seneca, "--tema", "OTRO"}, 1, "", "ON CONFLICT REPLACE", QString(), replace);
    add("REPLACE, edit", {"edit", "2", "--frase", seneca}, 1, "", "ON CONFLICT REPLACE", QString(), replace);
    add("IGNORE, import", {"import", source}, 1, "", "ON CONFLICT IGNORE", QString(), ignore);
    add("IGNORE, add", {"add", "--frase", seneca, "--tema", "VIDA"}, 1, "", "ON CONFLICT IGNORE", QString(), ignore);
    add("IGNORE, delete", {"delete", "1"}, 1, "", "ON CONFLICT IGNORE", QString(), ignore);
    add("REPLACE, check names it", {"check"}, 0, "", "la columna frace tiene UNIQUE ON CONFLICT REPLACE", QString(),
        replace);
    add("REPLACE, export rescues", {"export"}, 0, "", "Exportadas 2 frases", QString(), replace);
    add("plain UNIQUE: the duplicate fails", {"add", "--frase", seneca, "--tema", "VIDA"}, 1, "",
        "una regla de la tabla rechazó el cambio", QString(), table("UNIQUE"));
}

void TestDbTool::commands()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, said);
    QFETCH(QString, row);
    QFETCH(QByteArray, sql);

    Fixture fixture;
    if (!sql.isEmpty())
        QVERIFY(Fixture::makeCollection(fixture.path(), sql.constData()));
    QVERIFY(writeSources(arguments, fixture.folder()));
    if (arguments.contains(QStringLiteral("NFD-COPY"))) {
        const Result exported = runTool({QStringLiteral("export"), fixture.path()});
        QCOMPARE(exported.code, 0);
        const QString copy = fixture.folder() + QStringLiteral("/nfd.csv");
        QVERIFY(writeFile(copy, exported.out.normalized(QString::NormalizationForm_D).toUtf8()));
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^NFD-COPY$")), copy);
    }
    const QByteArray before = Fixture::readFile(fixture.path());
    arguments.insert(1, fixture.path());
    const Result result = runTool(arguments);
    QCOMPARE(result.code, code);
    if (code != 0 || !out.isEmpty())
        QCOMPARE(result.out, out);
    QVERIFY2((result.out + result.err).contains(said), qPrintable(result.out + result.err));
    if (!row.isEmpty())
        QCOMPARE(rows(fixture.path()).value(row.section(QLatin1Char('|'), 0, 0).toLongLong()), row);
    else
        QCOMPARE(Fixture::readFile(fixture.path()), before);
}

// Reading commands only read: a collection the user may read but not write
// (a 0444 file, another user's, a WAL collection in a folder nobody may
// write) is listed, exported and backed up, as nobody, and stays byte for
// byte as it was; a writing command keeps the read-only sentence.
void TestDbTool::readOnlyCollections_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("arguments"); // FILE goes second; DEST is a free name
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("words");

    const QList<QPair<QString, QString>> setups = {
        {"0444 file", "read-only"},
        {"another user's file and folder", "foreign"},
        {"WAL, folder nobody may write", "wal"},
        {"read-only media (FAT)", "fat"}};
    const QList<QPair<QStringList, QString>> commands = {
        {{"list"}, "21 frases"},
        {{"search", "camino"}, "Encontrada 1 frase."},
        {{"random", "--tema", "PODER"}, "Poderoso caballero"},
        {{"topics"}, "SABIDURIA"},
        {{"export"}, "Exportadas 21 frases"},
        {{"check"}, "Integridad: correcta"},
        {{"backup", "DEST"}, "21 frases, revisado"},
    };
    for (const auto &setup : setups) {
        for (const auto &command : commands)
            QTest::addRow("%s, %s", qPrintable(setup.first), qPrintable(command.first.first()))
                << setup.second << command.first << 0 << command.second;
        QTest::addRow("%s, add refused", qPrintable(setup.first))
            << setup.second << QStringList{"add", "--frase", "Nueva.", "--tema", "VIDA"} << 1
            << "es de solo lectura";
    }
    QTest::newRow("WAL with changes only in its -wal: refused")
        << "wal-pending" << QStringList{"list"} << 1 << "su dueño debe abrirlo una vez";
    QTest::newRow("WAL, writable folder: check keeps WAL mode") << "wal-writable" << QStringList{"check"} << 0
                                                                << "Integridad: correcta";
}

void TestDbTool::readOnlyCollections()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, words);

    QTemporaryDir top;
    openToEveryone(top.path(), true);
    std::unique_ptr<FatImage> media(setup == QLatin1String("fat") ? new FatImage : nullptr);
    if (media) {
        QVERIFY2(media->mounted(), qPrintable(media->error()));
        openToEveryone(QFileInfo(media->mountPoint()).path(), false);
    }
    const QString folder = media ? media->mountPoint() : top.filePath(QStringLiteral("frases"));
    if (!media)
        QVERIFY(QDir().mkdir(folder));
    const QString path = folder + QStringLiteral("/frase.mdb");
    QVERIFY(QFile::copy(Fixture::fixturePath(QStringLiteral("quotes.mdb")), path));
    if (media)
        QVERIFY2(media->remount(false), qPrintable(media->error()));
    const bool wal = setup.startsWith(QLatin1String("wal"));
    if (wal) {
        QVERIFY(Fixture::makeCollection(path, "PRAGMA journal_mode=WAL;"));
        if (setup == QLatin1String("wal-pending")) {
            // The shell, killed with its changes not yet checkpointed, leaves
            // them in the -wal alone.
            QProcess shell;
            shell.start(QStringLiteral("sqlcipher"), {path});
            QVERIFY(shell.waitForStarted());
            shell.write("PRAGMA key = 'qolvent'; PRAGMA wal_autocheckpoint = 0;\n"
                        "INSERT INTO tabla1 VALUES ('W', 'Solo en el diario.', 'VIDA', NULL);\n"
                        "SELECT 'hecho';\n");
            QByteArray said;
            while (!said.contains("hecho") && shell.waitForReadyRead(10000))
                said += shell.readAllStandardOutput();
            QVERIFY2(said.contains("hecho"), said.constData());
            shell.kill();
            shell.waitForFinished();
            QVERIFY(QFileInfo(path + QStringLiteral("-wal")).size() > 0);
            QFile::remove(path + QStringLiteral("-shm"));
        }
    }
    const bool userWritable = setup == QLatin1String("wal-writable");
    if (setup == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    if (!media)
        openToEveryone(folder, userWritable || setup == QLatin1String("read-only"));
    const QByteArray before = Fixture::readFile(path);

    arguments.insert(1, path);
    const QString destination = top.filePath(QStringLiteral("copia.mdb"));
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^DEST$")), destination);
    const Result result = runTool(arguments, {.unprivileged = true});
    QCOMPARE(result.code, code);
    QVERIFY2((result.out + result.err).contains(words), qPrintable(result.out + result.err));
    QCOMPARE(Fixture::readFile(path), before);
    QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
    if (arguments.first() == QLatin1String("backup"))
        QCOMPARE(rows(destination).size(), 21);
    if (userWritable) {
        // Reading converted nothing: the file is still in WAL mode.
        QCOMPARE(sqlcipherShell(path, "PRAGMA journal_mode;\n"), QByteArray("wal"));
    }
}

// A collection that exists but cannot be reached is told by its cause, and
// never called missing.
void TestDbTool::unreachableCollections_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("words");

    QTest::newRow("dangling link") << "dangling" << "es un enlace a un archivo que no existe";
    QTest::newRow("link loop") << "loop" << "los enlaces simbólicos del camino forman un círculo";
    QTest::newRow("path through a file") << "through" << "una parte del camino es un archivo";
    QTest::newRow("a folder") << "folder" << "es una carpeta";
    QTest::newRow("another user's folder") << "private" << "no hay permiso";
}

void TestDbTool::unreachableCollections()
{
    QFETCH(QString, setup);
    QFETCH(QString, words);

    QTemporaryDir dir;
    openToEveryone(dir.path(), false);
    QString path = dir.filePath(QStringLiteral("frase.mdb"));
    if (setup == QLatin1String("dangling")) {
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("otra.mdb")), path));
    } else if (setup == QLatin1String("loop")) {
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("b.mdb")), path));
        QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("b.mdb"))));
    } else if (setup == QLatin1String("through")) {
        QVERIFY(writeFile(dir.filePath(QStringLiteral("notas")), "texto"));
        path = dir.filePath(QStringLiteral("notas/frase.mdb"));
    } else if (setup == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else {
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("privada"))));
        path = dir.filePath(QStringLiteral("privada/frase.mdb"));
        QVERIFY(QFile::copy(Fixture::fixturePath(QStringLiteral("quotes.mdb")), path));
        ::chmod(QFile::encodeName(dir.filePath(QStringLiteral("privada"))).constData(), 0700);
    }
    for (const char *command : {"list", "add"}) {
        QStringList arguments{QString::fromLatin1(command), path};
        if (qstrcmp(command, "add") == 0)
            arguments << QStringLiteral("--frase") << QStringLiteral("F.") << QStringLiteral("--tema")
                      << QStringLiteral("VIDA");
        const Result result = runTool(arguments, {.unprivileged = setup == QLatin1String("private")});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(words), qPrintable(result.err));
        QVERIFY2(!result.err.contains(QStringLiteral("Créelo")), qPrintable(result.err));
    }
}

// Output that cannot be written is a failure with its sentence, for every
// command, help and version included; so is a temporary folder (TMPDIR)
// that a reader cannot use for the listing it holds before writing it.
// Nothing is left beside the collection.
void TestDbTool::outputThatCannotBeWritten_data()
{
    QTest::addColumn<QString>("arguments"); // as the shell reads them; $F is the collection
    QTest::addColumn<QString>("tempFolder"); // a name beside the collection; empty: output to /dev/full
    QTest::addColumn<QString>("said");       // how standard error begins; FOLDER is the TMPDIR

    const QString full = QStringLiteral("sentalia-db: No se pudo escribir la salida: no queda espacio en el disco.");
    QTest::newRow("help") << "--help" << QString() << full;
    QTest::newRow("version") << "--version" << QString() << full;
    QTest::newRow("check") << "check \"$F\"" << QString() << full;
    QTest::newRow("list") << "list \"$F\"" << QString() << full;
    QTest::newRow("topics") << "topics \"$F\"" << QString() << full;
    QTest::newRow("export") << "export \"$F\"" << QString() << full;
    QTest::newRow("random") << "random \"$F\"" << QString() << full;
    QTest::newRow("add") << "add \"$F\" --frase Nueva. --tema VIDA" << QString() << full;
    const QString temporary = QStringLiteral("No se pudo crear un archivo temporal en la carpeta FOLDER (TMPDIR): ");
    QTest::newRow("list, no such TMPDIR") << "list \"$F\"" << "falta" << "sentalia-db: " + temporary + "no existe.";
    QTest::newRow("search, TMPDIR a file") << "search \"$F\" vida --format csv" << "frase.mdb"
                                           << "sentalia-db: " + temporary + "no es una carpeta.";
    QTest::newRow("export, no such TMPDIR") << "export \"$F\"" << "falta"
                                            << "sentalia-db: La exportación falló. " + temporary + "no existe.";
}

void TestDbTool::outputThatCannotBeWritten()
{
    QFETCH(QString, arguments);
    QFETCH(QString, tempFolder);
    QFETCH(QString, said);

    Fixture fixture;
    if (!tempFolder.isEmpty())
        tempFolder = fixture.folder() + QLatin1Char('/') + tempFolder;
    const QString line = QStringLiteral("F=frase.mdb; \"$TOOL\" ") + arguments
        + (tempFolder.isEmpty() ? QStringLiteral(" > /dev/full") : QString());
    const Result result = runTool({QStringLiteral("-c"), line},
                                  {.program = QStringLiteral("/bin/sh"), .folder = fixture.folder(),
                                   .environment = {QStringLiteral("TOOL=") + tool()}, .tempFolder = tempFolder});
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.startsWith(said.replace(QStringLiteral("FOLDER"), tempFolder)), qPrintable(result.err));
    QCOMPARE(result.outBytes, QByteArray());
    QCOMPARE(QDir(fixture.folder()).entryList(QDir::Files), QStringList{QStringLiteral("frase.mdb")});
}

// Under an 8-bit locale (ISO-8859-1, made with localedef in a private
// LOCPATH) the arguments are read, and the messages and the plain listing
// written, in that character set; files stay UTF-8. Under UTF-8 a byte
// that is not UTF-8 is a usage error, never a stored U+FFFD.
void TestDbTool::terminalCharacterSet_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("commands"); // shell; $T is the tool, $F the collection
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("output"); // bytes standard output and error hold

    QTest::newRow("Latin-1 argument stored as text, shown in Latin-1")
        << "es_ES.ISO-8859-1" << "\"$T\" add \"$F\" --frase \"$(printf 'Dijo Mu\\361oz.')\" --tema VIDA && \"$T\" list \"$F\" --autor An"
        << 0 << QByteArray("Dijo Mu\xf1oz.\n\t\t-- An\xf3nimo");
    QTest::newRow("Latin-1 locale, tsv stays UTF-8")
        << "es_ES.ISO-8859-1" << "\"$T\" list \"$F\" --tema \"$(printf 'NI\\321EZ')\" --format tsv" << 0
        << QByteArray("\xc3\x89luard\tNI\xc3\x91""EZ");
    QTest::newRow("Latin-1 locale, a character it lacks shows as ?")
        << "es_ES.ISO-8859-1"
        << "LC_ALL=C.UTF-8 \"$T\" add \"$F\" --frase \"$(printf 'Cuesta 5 \\342\\202\\254.')\" --tema VIDA >/dev/null &&"
           " \"$T\" list \"$F\" --tema VIDA"
        << 0 << QByteArray("Cuesta 5 ?.");
    QTest::newRow("UTF-8 locale, a Latin-1 byte is a usage error")
        << "C.UTF-8" << "\"$T\" add \"$F\" --autor \"$(printf 'Mu\\361oz')\" --frase F. --tema VIDA" << 2
        << QByteArray("el valor de --autor no es texto v\xc3\xa1lido");
    QTest::newRow("UTF-8 locale, a search word that is not UTF-8")
        << "C.UTF-8" << "\"$T\" search \"$F\" \"$(printf 'ma\\361ana')\"" << 2 << QByteArray("search: la palabra");
}

void TestDbTool::terminalCharacterSet()
{
    QFETCH(QString, locale);
    QFETCH(QString, commands);
    QFETCH(int, code);
    QFETCH(QByteArray, output);

    Fixture fixture;
    QTemporaryDir locales;
    if (locale != QLatin1String("C.UTF-8")) {
        QProcess localedef;
        localedef.start(QStringLiteral("localedef"), {QStringLiteral("-i"), QStringLiteral("es_ES"), QStringLiteral("-f"),
                                                      QStringLiteral("ISO-8859-1"), locales.filePath(locale)});
        QVERIFY2(localedef.waitForFinished(60000) && QDir(locales.filePath(locale)).exists(),
                 "localedef could not make the locale (package locales)");
    }
    const Result result = runTool({QStringLiteral("-c"), commands},
                                  {.program = QStringLiteral("/bin/sh"), .folder = fixture.folder(),
                                   .environment = {QStringLiteral("T=") + tool(), QStringLiteral("F=") + fixture.path(),
                                                   QStringLiteral("LOCPATH=") + locales.path(),
                                                   QStringLiteral("LC_ALL=") + locale}});
    QCOMPARE(result.code, code);
    const QByteArray said = result.outBytes + result.errBytes;
    QVERIFY2(said.contains(output), said.toHex(' ').constData());
    QVERIFY(!said.contains("\xef\xbf\xbd"));
}

// Ctrl-C, SIGTERM and SIGHUP in the middle of a write (the tool is stopped
// once its journal or temporary file exists, the signal is queued, and it
// goes on): the write is rolled back, nothing but the collection is left,
// one line says so, and the status is the signal's.
void TestDbTool::interruptedWrites_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("sig");

    QStringList many{QStringLiteral("delete")};
    for (int i = 1; i <= 150000; i += 2)
        many << QString::number(i);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        QTest::addRow("import, signal %d", sig) << QStringList{"import", "SOURCE"} << sig;
    QTest::newRow("delete, SIGTERM") << many << int(SIGTERM);
    QTest::newRow("backup, SIGINT") << QStringList{"backup", "DEST"} << int(SIGINT);
    QTest::newRow("backup, SIGHUP") << QStringList{"backup", "DEST"} << int(SIGHUP);
}

void TestDbTool::interruptedWrites()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, sig);

    // 200,000 quotations: long enough to write that the signal lands inside.
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("nuevas.csv"));
    {
        QFile csv(source);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("autor,frace,tema\n");
        for (int i = 0; i < 200000; ++i)
            csv.write(QStringLiteral("Autor %1,Frase número %1 con texto bastante para pesar,TEMA%2\n")
                          .arg(i)
                          .arg(i % 40)
                          .toUtf8());
    }
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    QCOMPARE(runTool({QStringLiteral("create"), path}).code, 0);
    if (arguments.first() != QLatin1String("import"))
        QCOMPARE(runTool({QStringLiteral("import"), path, source}).code, 0);
    const QStringList present = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    const QByteArray before = Fixture::readFile(path);
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^SOURCE$")), source);
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^DEST$")), dir.filePath(QStringLiteral("copia.mdb")));
    arguments.insert(1, path);

    QProcess process;
    process.start(tool(), arguments);
    QVERIFY(process.waitForStarted());
    // Wait for the first file the write makes: the journal or the copy.
    QElapsedTimer waited;
    waited.start();
    while (QDir(dir.path()).entryList(QDir::Files | QDir::Hidden) == present && process.state() == QProcess::Running
           && waited.elapsed() < 30000)
        ::usleep(200);
    const pid_t pid = pid_t(process.processId());
    QVERIFY2(process.state() == QProcess::Running, "the write ended before a signal could reach it");
    ::kill(pid, SIGSTOP);
    QVERIFY2(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden) != present, "no write had started");
    ::kill(pid, sig);
    ::kill(pid, SIGCONT);
    QVERIFY(process.waitForFinished(30000));

    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QCOMPARE(process.exitCode(), sig);
    const QStringList lines = QString::fromUtf8(process.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().contains(QStringLiteral("interrumpido")), qPrintable(lines.first()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), present);
    QVERIFY(Fixture::readFile(path) == before);
}

// sentalia-db list | head: the closed pipe ends the tool quietly, by
// SIGPIPE, as it ends any filter.
void TestDbTool::closedPipeIsQuiet()
{
    Fixture fixture;
    // More than a pipe holds, so the tool is still writing when head ends.
    QByteArray csv = "autor,frace,tema\n";
    for (int i = 0; i < 5000; ++i)
        csv += "A" + QByteArray::number(i) + ",Frase de relleno para la tubería,VIDA\n";
    QVERIFY(writeFile(fixture.folder() + QStringLiteral("/nuevas.csv"), csv));
    QCOMPARE(runTool({QStringLiteral("import"), fixture.path(), fixture.folder() + QStringLiteral("/nuevas.csv")}).code, 0);
    const Result result = runShell(fixture.folder(), QStringLiteral("exec bash -c 'set -o pipefail; \"$TOOL\" list"
                                                                    " frase.mdb | head -c 10 >/dev/null'"));
    QCOMPARE(result.code, 141);
    QCOMPARE(result.err, QString());
}

void TestDbTool::readersFreeCollectionBeforeOutput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("list") << QStringList{"list"};
    QTest::newRow("search, json") << QStringList{"search", "frase", "--format", "json"};
    QTest::newRow("export") << QStringList{"export"};
}

void TestDbTool::readersFreeCollectionBeforeOutput()
{
    // A pager that has not read yet: the tool is stuck writing to a full
    // pipe, and Sentalia must still be able to open the collection.
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("frase.mdb"));
    QVERIFY(makeManyPages(db));
    arguments.insert(1, db);
    const Result expected = runTool(arguments);
    QCOMPARE(expected.code, 0);

    int output[2];
    QVERIFY(::pipe2(output, O_CLOEXEC) == 0);
    const QByteArray program = QFile::encodeName(tool());
    QList<QByteArray> bytes{program};
    for (const QString &argument : std::as_const(arguments))
        bytes << argument.toUtf8();
    std::vector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    const auto finish = qScopeGuard([&] {
        ::close(output[0]);
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    });
    QVERIFY2(spawned == 0, "sentalia-db did not start");

    const int capacity = ::fcntl(output[0], F_GETPIPE_SZ);
    QVERIFY(capacity > 0 && expected.out.toUtf8().size() > 2 * capacity);
    int queued = 0;
    QElapsedTimer waited;
    waited.start();
    while (::ioctl(output[0], FIONREAD, &queued) == 0 && queued < capacity && waited.elapsed() < 30000)
        QThread::msleep(10);
    QVERIFY2(queued >= capacity, "sentalia-db never filled its output pipe");
    QCOMPARE(::waitpid(pid, nullptr, WNOHANG), 0); // blocked on the pipe
    {
        const QuoteStore::OpenResult opened = QuoteStore::open(db);
        QVERIFY2(opened, qPrintable(QStringLiteral("held while the output waits: ") + opened.reason));
    }

    QByteArray shown;
    char piece[65536];
    for (ssize_t got; (got = ::read(output[0], piece, sizeof piece)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        QVERIFY(got > 0);
        shown.append(piece, got);
    }
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    pid = -1;
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(QString::fromUtf8(shown), expected.out);
}

void TestDbTool::writeCommands_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("expected"); // rows by number; "N|-" for a row that is gone
    // An argument "FILE name\ntext" is a source file (writeSources()).

    const QString longQuote(255, QLatin1Char('x'));
    QTest::newRow("add, new topic: upper-cased, Index 1")
        << QStringList{"add", "--frase", "Nueva.", "--tema", "paz", "--autor", "Gandhi"} << 0
        << QStringList{"22|Gandhi|Nueva.|PAZ|1"};
    QTest::newRow("add, listed topic: as given, no Index, empty author")
        << QStringList{"add", "--frase", "Otra.", "--tema", "Vida", "--autor", ""} << 0
        << QStringList{"22|Anónimo|Otra.|Vida|-"};
    QTest::newRow("add, unlisted topic gets listed") << QStringList{"add", "--frase", "X.", "--tema", "huerfano"} << 0
                                                     << QStringList{"22|Anónimo|X.|HUERFANO|1"};
    QTest::newRow("add, 255 characters") << QStringList{"add", "--frase", longQuote, "--tema", "VIDA"} << 0
                                         << QStringList{"22|Anónimo|" + longQuote + "|VIDA|-"};
    const QString emoji = QString::fromUcs4(U"\U0001F600").repeated(255);
    QTest::newRow("add, 255 emoji: characters, not UTF-16 units")
        << QStringList{"add", "--frase", emoji, "--tema", "VIDA"} << 0 << QStringList{"22|Anónimo|" + emoji + "|VIDA|-"};
    QTest::newRow("add, 256 characters refused") << QStringList{"add", "--frase", longQuote + "y", "--tema", "VIDA"} << 1
                                                 << QStringList{"22|-"};
    QTest::newRow("add, blank quotation refused") << QStringList{"add", "--frase", "  ", "--tema", "VIDA"} << 1
                                                  << QStringList{"22|-"};
    QTest::newRow("edit author") << QStringList{"edit", "7", "--autor", "F. Nietzsche"} << 0
                                 << QStringList{"7|F. Nietzsche|Lo que no me mata me hace más fuerte.|VIDA|-"};
    QTest::newRow("edit, topic's Index 1 moves away")
        << QStringList{"edit", "3", "--tema", "poder", "--frase", "Caminante."} << 0
        << QStringList{"3|antonio Machado|Caminante.|poder|-", "6|Ñandú Pérez|Texto de un autor con eñe.|VIDA|1"};
    QTest::newRow("edit into a topic not listed") << QStringList{"edit", "7", "--tema", "nuevo"} << 0
                                                  << QStringList{"7|Nietzsche|Lo que no me mata me hace más fuerte.|NUEVO|1",
                                                                 "3|antonio Machado|Caminante, no hay camino, se hace camino al andar.|VIDA|1"};
    QTest::newRow("edit, same topic respelt") << QStringList{"edit", "3", "--tema", "vida"} << 0
                                              << QStringList{"3|antonio Machado|Caminante, no hay camino, se hace camino al andar.|vida|1",
                                                             "6|Ñandú Pérez|Texto de un autor con eñe.|VIDA|-"};
    QTest::newRow("edit, no such number") << QStringList{"edit", "99", "--autor", "X"} << 1 << QStringList{"99|-"};
    // A topic is stored without the blanks and line breaks around it.
    QTest::newRow("add, topic with blanks: the listed topic") << QStringList{"add", "--frase", "X.", "--tema", " vida "}
                                                              << 0 << QStringList{"22|Anónimo|X.|vida|-"};
    QTest::newRow("add, topic ending in a line break") << QStringList{"add", "--frase", "X.", "--tema", "PAZ\n"} << 0
                                                       << QStringList{"22|Anónimo|X.|PAZ|1"};
    QTest::newRow("edit, topic with a blank after it") << QStringList{"edit", "7", "--tema", "PODER "} << 0
                                                       << QStringList{"7|Nietzsche|Lo que no me mata me hace más fuerte.|PODER|-"};
    QTest::newRow("import, a new topic in capitals, Index 1")
        << QStringList{"import", "FILE t.csv\nautor,frace,tema\nLope,Nueva.,tema minúsculas\nTirso,Otra.,tema minúsculas\n"}
        << 0 << QStringList{"22|Lope|Nueva.|TEMA MINÚSCULAS|1", "23|Tirso|Otra.|tema minúsculas|-"};
    QTest::newRow("import, topics with blanks and line breaks")
        << QStringList{"import", "FILE t.csv\nautor,frace,tema\nA,Uno.,\" vida \"\nB,Dos.,\"VIDA \"\nC,Tres.,\"VIDA\n\"\n"
                                 "D,Cuatro.,\" otro\r\n\"\n"} << 0
        << QStringList{"22|A|Uno.|vida|-", "23|B|Dos.|VIDA|-", "24|C|Tres.|VIDA|-", "25|D|Cuatro.|OTRO|1"};
    QTest::newRow("import, rows without a topic skipped")
        << QStringList{"import", "FILE t.csv\nautor,frace,tema\nA,Uno.,\nB,Dos.,\"  \"\nC,Tres.,PAZ\n"} << 0
        << QStringList{"22|C|Tres.|PAZ|1", "23|-"};
    QTest::newRow("delete passes Index 1 on") << QStringList{"delete", "3", "6"} << 0
                                              << QStringList{"3|-", "6|-", "7|Nietzsche|Lo que no me mata me hace más fuerte.|VIDA|1"};
    QTest::newRow("delete one of two listed") << QStringList{"delete", "2"} << 0
                                              << QStringList{"2|-", "19|Cicerón|Un tema creado dos veces.|AMISTAD|1"};
    QTest::newRow("Index 1 passes to a record without author: NULL kept")
        << QStringList{"delete", "3", "6", "7", "11", "12"} << 0
        << QStringList{"3|-", "6|-", "7|-", "11|-", "12|-", "16|<NULL>|Frase sin autor.|VIDA|1"};
    QTest::newRow("edit author, NULL quotation kept") << QStringList{"edit", "17", "--autor", "Alguien"} << 0
                                                      << QStringList{"17|Alguien|<NULL>|VIDA|-"};
    QTest::newRow("delete the last of a topic") << QStringList{"delete", "8", "8"} << 0 << QStringList{"8|-"};
    QTest::newRow("import CSV with semicolons, CRLF inside a field")
        << QStringList{"import", "FILE hoja.csv\nautor;frace;tema\r\nCervantes;\"Uno; dos\r\ntres\";vida\r\n"} << 0
        << QStringList{"22|Cervantes|Uno; dos\ntres|vida|-", "23|-"};
    QTest::newRow("import CSV with tabs, lone CR inside a field")
        << QStringList{"import", "FILE hoja.csv\nautor\tfrace\ttema\nA\t\"uno\rdos\"\tVIDA\n"} << 0
        << QStringList{"22|A|uno\ndos|VIDA|-"};
    QTest::newRow("delete with a missing number: nothing")
        << QStringList{"delete", "3", "99"} << 1
        << QStringList{"3|antonio Machado|Caminante, no hay camino, se hace camino al andar.|VIDA|1"};
    // Two exact copies in one command: the second one's records are
    // already there, as they would be for a second command.
    QTest::newRow("import two exact copies at once")
        << QStringList{"import", "FILE a.csv\nautor,frace,tema,Index\nA,Uno.,NUEVO,1\nB,Dos.,NUEVO,\nB,Dos.,NUEVO,\n",
                       "FILE b.csv\nautor,frace,tema,Index\nA,Uno.,NUEVO,1\nC,Tres.,NUEVO,1\nD,Cuatro.,OTRO,1\n"}
        << 0
        << QStringList{"22|A|Uno.|NUEVO|1", "23|B|Dos.|NUEVO|-", "24|B|Dos.|NUEVO|-", "25|C|Tres.|NUEVO|-",
                       "26|D|Cuatro.|OTRO|1", "27|-"};
}

void TestDbTool::writeCommands()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QStringList, expected);

    Fixture fixture;
    QVERIFY(writeSources(arguments, fixture.folder()));
    const QByteArray before = Fixture::readFile(fixture.path());
    const QMap<qint64, QString> old = rows(fixture.path());
    arguments.insert(1, fixture.path());
    const Result result = runTool(arguments);
    QCOMPARE(result.code, code);
    const QMap<qint64, QString> now = rows(fixture.path());
    for (const QString &row : expected) {
        const qint64 id = row.section(QLatin1Char('|'), 0, 0).toLongLong();
        QCOMPARE(now.value(id, QString::number(id) + QStringLiteral("|-")), row);
    }
    if (code != 0) {
        QVERIFY2(!result.err.isEmpty(), "a refusal says why");
        QCOMPARE(Fixture::readFile(fixture.path()), before);
        return;
    }
    // Nothing else changed.
    for (auto it = old.cbegin(); it != old.cend(); ++it) {
        const bool named = std::any_of(expected.cbegin(), expected.cend(), [&](const QString &row) {
            return row.section(QLatin1Char('|'), 0, 0).toLongLong() == it.key();
        });
        if (!named)
            QCOMPARE(now.value(it.key()), it.value());
    }
}

void TestDbTool::randomDrawsOverGaps()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    QVERIFY(Fixture::makeCollection(path, "CREATE TABLE tabla1 (autor TEXT, frace TEXT, tema TEXT, \"Index\" INTEGER);"
                                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400)"
                                          " INSERT INTO tabla1 SELECT 'A' || i, 'F' || i, 'T', NULL FROM n;"
                                          "DELETE FROM tabla1 WHERE rowid NOT IN (1, 200, 400);"));
    QSet<QString> seen;
    for (int i = 0; i < 60 && seen.size() < 3; ++i) {
        const Result result = runTool({QStringLiteral("random"), path});
        QCOMPARE(result.code, 0);
        seen.insert(result.out);
    }
    QCOMPARE(seen, (QSet<QString>{"F1\n\t\t-- A1\n", "F200\n\t\t-- A200\n", "F400\n\t\t-- A400\n"}));

    QVERIFY(Fixture::makeCollection(path, "DELETE FROM tabla1;"));
    const Result empty = runTool({QStringLiteral("random"), path});
    QCOMPARE(empty.code, 1);
    QVERIFY(empty.out.isEmpty());
}

void TestDbTool::fileNamesThatAreNotUtf8()
{
    // Latin-1 names ("xñ.mdb", a fortune file "niñez"): create, import,
    // backup and list must all reach the very same bytes on disk, never a
    // name with U+FFFD; the fortune file's name still gives its topic.
    QTemporaryDir dir;
    const Result result = runShell(dir.path(), QStringLiteral("n=$(printf 'x\\361.mdb'); c=$(printf 'c\\351.mdb');"
                                                              " f=$(printf 'ni\\361ez'); printf 'Breve.\\n\\t\\t-- S\\303\\251neca\\n' > \"$f\";"
                                                              " \"$TOOL\" create \"$n\" && \"$TOOL\" import \"$n\" \"$f\""
                                                              " && \"$TOOL\" backup \"$n\" \"$c\" && \"$TOOL\" list \"$c\" --format tsv"));
    QCOMPARE(result.code, 0);
    QVERIFY2(result.out.contains(QStringLiteral("Creado x\\xF1.mdb")), qPrintable(result.out));
    QVERIFY2(result.out.contains(QStringLiteral("\n1\tSéneca\tNIÑEZ\tBreve.\n")), qPrintable(result.out));
    // Qt would decode the names; the folder is read as bytes.
    QStringList names;
    DIR *folder = opendir(QFile::encodeName(dir.path()).constData());
    QVERIFY(folder);
    while (const dirent *entry = readdir(folder)) {
        if (entry->d_name[0] == '.')
            continue;
        names << QString::fromLatin1(QByteArray(entry->d_name).toHex());
        unlinkat(dirfd(folder), entry->d_name, 0); // QTemporaryDir cannot name them
    }
    closedir(folder);
    names.sort();
    QCOMPARE(names, (QStringList{"63e92e6d6462", "6e69f1657a", "78f12e6d6462"}));

    // A program folder named so ("progñ") keeps its bytes in the default
    // collection, which is that folder's frase.mdb.
    const Result portable = runShell(dir.path(), QStringLiteral("d=$(printf 'prog\\361'); mkdir \"$d\" &&"
                                                                " cp \"$TOOL\" \"$d/\" && cp '%1' \"$d/frase.mdb\" &&"
                                                                " \"./$d/sentalia-db\" check; rm -r \"$d\"")
                                                     .arg(Fixture::fixturePath(QStringLiteral("quotes.mdb"))));
    QCOMPARE(portable.code, 0);
    QVERIFY2(portable.out.contains(QStringLiteral("/prog\\xF1/frase.mdb\nTabla")), qPrintable(portable.out));
}

void TestDbTool::defaultCollection_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("userFile");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("shown");   // in standard output, or in standard error on failure
    QTest::addColumn<int>("count");       // records in the default collection afterwards; -1: no such file
    QTest::addColumn<QByteArray>("folder"); // ".local": a file stands where that folder should be

    QTest::newRow("portable: check") << false << false << QStringList{"check"} << 0 << "Frases: 21\n" << 21 << QByteArray();
    QTest::newRow("portable: add") << false << false << QStringList{"add", "--frase", "Nueva.", "--tema", "VIDA"} << 0
                                   << "Agregada la frase 22" << 22 << QByteArray();
    QTest::newRow("portable: backup, one .mdb is the destination")
        << false << false << QStringList{"backup", "copia.mdb"} << 0 << "Copiado COLLECTION en copia.mdb" << 21 << QByteArray();
    QTest::newRow("portable: help names the file") << false << false << QStringList{"--help"} << 0 << "  COLLECTION\n" << 21 << QByteArray();
    QTest::newRow("installed: check, the user's file") << true << true << QStringList{"check"} << 0 << "Frases: 21\n" << 21 << QByteArray();
    QTest::newRow("installed: export, the user's file")
        << true << true << QStringList{"export", "--format", "fortune"} << 0 << "\t\t-- " << 21 << QByteArray();
    QTest::newRow("installed: help names the user's file")
        << true << true << QStringList{"--help"} << 0 << "  COLLECTION\n" << 21 << QByteArray();
    QTest::newRow("installed, no user file yet: never copied by the tool")
        << true << false << QStringList{"check"} << 1 << "abra Sentalia una vez" << -1 << QByteArray();
    QTest::newRow("installed: create still needs FILE")
        << true << true << QStringList{"create"} << 2 << "create: falta el archivo de frases" << 21 << QByteArray();
    QTest::newRow("installed, the data folder runs through a file")
        << true << false << QStringList{"check"} << 1 << "una parte del camino es un archivo" << -1
        << QByteArray(".local");
}

void TestDbTool::defaultCollection()
{
    QFETCH(bool, installed);
    QFETCH(bool, userFile);
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, shown);
    QFETCH(int, count);
    QFETCH(QByteArray, folder);

    // The tool copied into a program folder of its own, with a home of its own.
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    if (folder == ".local") {
        QVERIFY(QDir().mkpath(home));
        QVERIFY(writeFile(home + QStringLiteral("/.local"), "no es una carpeta"));
        folder.clear();
    }
    const QString bin = dir.filePath(installed ? QStringLiteral("usr/bin") : QStringLiteral("programa"));
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(home));
    QVERIFY(QFile::copy(tool(), bin + QStringLiteral("/sentalia-db")));
    QVERIFY(QFile::setPermissions(bin + QStringLiteral("/sentalia-db"), QFile::ExeOwner | QFile::ReadOwner));
    QString collection = bin + QStringLiteral("/frase.mdb");
    if (installed) {
        const QString share = dir.filePath(QStringLiteral("usr/share/sentalia"));
        QVERIFY(QDir().mkpath(share));
        QVERIFY(QFile::copy(Fixture::fixturePath(QStringLiteral("empty.mdb")), share + QStringLiteral("/frase.mdb")));
        collection = home + QStringLiteral("/.local/share/sentalia/frase.mdb");
        if (userFile)
            QVERIFY(QDir().mkpath(home + QStringLiteral("/.local/share/sentalia")));
    }
    if (!installed || userFile) {
        QVERIFY(QFile::copy(Fixture::fixturePath(QStringLiteral("quotes.mdb")), collection));
        QVERIFY(QFile::setPermissions(collection, QFile::ReadOwner | QFile::WriteOwner));
    }

    const Result result = runTool(arguments, {.program = bin + QStringLiteral("/sentalia-db"), .folder = dir.path(),
                                              .environment = {QStringLiteral("HOME=") + home,
                                                              QStringLiteral("XDG_DATA_HOME")}});
    QCOMPARE(result.code, code);
    const QString out = code == 0 ? result.out : result.err;
    shown.replace(QStringLiteral("COLLECTION"), collection);
    QVERIFY2(out.contains(shown), qPrintable(out));
    QCOMPARE(QFile::exists(collection) ? int(records(collection).size()) : -1, count);
}

// The bash completion as bash runs it, through bash-completion's helpers,
// with the tool itself reading the topics.
void TestDbTool::bashCompletion_data()
{
    QTest::addColumn<QStringList>("words"); // as bash splits the line; the tool's name first
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<QStringList>("offered");

    const QStringList topics{"AMISTAD", "amor", "HUERFANO", "L\\'AMOUR", "NIÑEZ", "PODER", "SABIDURIA", "VIDA", "ÉXITO"};
    QTest::newRow("commands") << QStringList{""} << false << commandNames();
    QTest::newRow("command by its start") << QStringList{"ex"} << false << QStringList{"export"};
    QTest::newRow("options before the command") << QStringList{"--"} << false << QStringList{"--help", "--version"};
    QTest::newRow("options of list") << QStringList{"list", "--"} << false << QStringList{"--autor", "--format", "--tema"};
    QTest::newRow("options not yet given") << QStringList{"add", "--frase", "F.", "--"} << false
                                           << QStringList{"--autor", "--tema"};
    QTest::newRow("formats of list") << QStringList{"list", "--format", ""} << false
                                     << QStringList{"csv", "json", "texto", "tsv"};
    QTest::newRow("formats of export, after =") << QStringList{"export", "--format", "=", "fo"} << false
                                                << QStringList{"fortune"};
    QTest::newRow("topics of FILE") << QStringList{"list", "frase.mdb", "--tema", ""} << false << topics;
    QTest::newRow("topic by its start, any case") << QStringList{"random", "frase.mdb", "--tema", "ni"} << false
                                                  << QStringList{"NIÑEZ"};
    QTest::newRow("collection in use: no topics") << QStringList{"list", "frase.mdb", "--tema", ""} << true
                                                  << QStringList();
    QTest::newRow("FILE among the files") << QStringList{"check", ""} << false
                                          << QStringList{"Copia.MDB", "frase.mdb", "viejas"};
    QTest::newRow("FILE given") << QStringList{"check", "frase.mdb", ""} << false << QStringList();
    QTest::newRow("sources of import") << QStringList{"import", "frase.mdb", ""} << false
                                       << QStringList{"Copia.MDB", "frase.mdb", "notas.txt", "viejas"};
}

void TestDbTool::bashCompletion()
{
    QFETCH(QStringList, words);
    QFETCH(bool, inUse);
    QFETCH(QStringList, offered);

    const QString helpers = QStringLiteral("/usr/share/bash-completion/bash_completion");
    QVERIFY2(QFile::exists(helpers), "bash-completion is not installed (Debian: bash-completion)");
    Fixture fixture;
    QVERIFY(writeFile(fixture.folder() + QStringLiteral("/notas.txt"), "VIDA\n"));
    QVERIFY(QFile::copy(fixture.path(), fixture.folder() + QStringLiteral("/Copia.MDB")));
    QVERIFY(QDir(fixture.folder()).mkdir(QStringLiteral("viejas")));
    std::unique_ptr<QuoteStore> holder;
    if (inUse) {
        holder = fixture.open();
        QVERIFY(holder);
    }

    const QString script = QStringLiteral(
        ". \"$1\" && . \"$2\" || exit 3\n"
        "registered=$(complete -p sentalia-db) || exit 4\n"
        "function=${registered#*-F }; function=${function%% *}\n"
        "COMP_LINE=$3; shift 3\n"
        "COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); COMP_POINT=${#COMP_LINE}\n"
        "\"$function\" sentalia-db \"${COMP_WORDS[COMP_CWORD]}\" \"${COMP_WORDS[COMP_CWORD - 1]}\"\n"
        "printf '%s\\n' \"${COMPREPLY[@]}\"\n");
    // The line as typed: "--format=fo" is three words for bash.
    QString line = tool();
    for (qsizetype i = 0; i < words.size(); ++i)
        line += (words.at(i) == QLatin1String("=") || (i > 0 && words.at(i - 1) == QLatin1String("=")) ? QString()
                                                                                                      : QStringLiteral(" "))
              + words.at(i);
    const Result result = runTool(QStringList{QStringLiteral("--norc"), QStringLiteral("--noprofile"), QStringLiteral("-c"),
                                              script, QStringLiteral("bash"), helpers,
                                              QStringLiteral(SENTALIA_SOURCE_DIR "/packaging/completion/sentalia-db.bash"),
                                              line, tool()}
                                      + words,
                                  {.program = QStringLiteral("bash"), .folder = fixture.folder(),
                                   .environment = {QStringLiteral("HOME=") + fixture.folder(),
                                                   QStringLiteral("XDG_DATA_HOME")}});
    QVERIFY2(result.code == 0 && result.err.isEmpty(), qPrintable(result.err));
    QStringList shown = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    shown.sort();
    offered.sort();
    QCOMPARE(shown, offered);
}

QTEST_GUILESS_MAIN(TestDbTool)
#include "tst_dbtool.moc"
