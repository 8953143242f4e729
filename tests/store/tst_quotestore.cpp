// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fixture.h"
#include "store/FailureText.h"
#include "store/QuoteStore.h"
#include "store/TextRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

#include <sqlcipher/sqlite3.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// The store as the windows and the companion tool use it, on private copies
// of the fixture collections (tests/fixtures/make-fixtures.sh shows their
// content).
class TestQuoteStore : public QObject {
    Q_OBJECT

private slots:
    void byInitial_data();
    void byInitial();
    void byTopic_data();
    void byTopic();
    void topicListKeepsIndexRule();
    void allQuotesInTableOrderWithNulls();
    void insertThenList_data();
    void insertThenList();
    void countsAndIntegrity();
    void shellMadeTableOpens();
    void openFailures_data();
    void openFailures();
    void operationFailures_data();
    void operationFailures();
    void collectionChangedUnderTheStore_data();
    void collectionChangedUnderTheStore();
    void sqlcipherShellRefusedWhileOpen();
    void insertSurvivesSigkill();
    void createdFileReadableByShell();
    void durableSaveSettings_data();
    void durableSaveSettings();
    void databasePathUsesSeparator();

private:
    static QStringList authors(QuoteStore &store, QChar letter);
    static QStringList quotesOfTopic(QuoteStore &store, const QString &tema);
    static QByteArray runShell(const QString &path, const QByteArray &sql);
    static QProcess *startChild(const QString &mode, const QString &path, bool unprivileged = false);
};

QStringList TestQuoteStore::authors(QuoteStore &store, QChar letter)
{
    QStringList found;
    const bool ok = store.byInitial(letter, [&](const QString &, const QString &autor) { found << autor; });
    if (!ok)
        qWarning("%s", qPrintable(store.lastError()));
    return found;
}

QStringList TestQuoteStore::quotesOfTopic(QuoteStore &store, const QString &tema)
{
    QStringList found;
    const bool ok = store.byTopic(tema, [&](const QString &frace, const QString &) { found << frace; });
    if (!ok)
        qWarning("%s", qPrintable(store.lastError()));
    return found;
}

// The sqlcipher shell's answer to SQL on the collection at PATH (standard
// output, then standard error), or why it could not run.
QByteArray TestQuoteStore::runShell(const QString &path, const QByteArray &sql)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (program.isEmpty())
        return "the sqlcipher shell is not installed (Debian package sqlcipher)";
    QProcess shell;
    shell.start(program, {path});
    shell.write("PRAGMA key='qolvent';\n" + sql + '\n');
    shell.closeWriteChannel();
    if (!shell.waitForFinished(20000))
        return "the sqlcipher shell did not finish";
    return shell.readAllStandardOutput().trimmed() + shell.readAllStandardError().trimmed();
}

void TestQuoteStore::byInitial_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("A: case and accents") << "A"
                                         << QStringList{"Aristóteles", "antonio Machado", "Ángel Ganivet",
                                                        "ámbar Anónimo"};
    QTest::newRow("N: not Ñ") << "N" << QStringList{"Nietzsche"};
    QTest::newRow("S") << "S" << QStringList{"Séneca", "Sin frase"};
    QTest::newRow("E: accented capital") << "E" << QStringList{"Éluard"};
    QTest::newRow("Z: small letter") << "Z" << QStringList{"zenón de Elea"};
    QTest::newRow("D: apostrophe in name") << "D" << QStringList{"D'Alembert"};
    QTest::newRow("C: not the quoted name") << "C" << QStringList{"Cicerón"};
    QTest::newRow("P: not the blank-led name") << "P" << QStringList{};
    QTest::newRow("Q is no search letter") << "Q" << QStringList{};
    QTest::newRow("X is no search letter") << "X" << QStringList{};
    QTest::newRow("Ñ is no search letter") << "Ñ" << QStringList{};
    QTest::newRow("lower-case letter is not a search") << "a" << QStringList{};
}

void TestQuoteStore::byInitial()
{
    QFETCH(QString, letter);
    QFETCH(QStringList, expected);
    Fixture fixture;
    auto store = fixture.open();
    QVERIFY(store);
    QCOMPARE(authors(*store, letter.at(0)), expected);
}

void TestQuoteStore::byTopic_data()
{
    QTest::addColumn<QString>("tema");
    QTest::addColumn<int>("count");
    QTest::newRow("stored in small letters") << "AMOR" << 1;
    QTest::newRow("searched in small letters") << "amor" << 1;
    QTest::newRow("enye either case") << "NIÑEZ" << 2;
    QTest::newRow("enye small") << "niñez" << 2;
    QTest::newRow("accent kept") << "ÉXITO" << 1;
    QTest::newRow("decomposed accent meets the composed one") << "E\u0301XITO" << 1;
    QTest::newRow("decomposed enye") << "nin\u0303ez" << 2;
    QTest::newRow("accent not ignored") << "EXITO" << 0;
    QTest::newRow("apostrophe") << "L'AMOUR" << 1;
    QTest::newRow("created twice") << "AMISTAD" << 2;
    QTest::newRow("never introduced") << "HUERFANO" << 1;
    QTest::newRow("injection attempt") << "X' OR '1'='1" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestQuoteStore::byTopic()
{
    QFETCH(QString, tema);
    QFETCH(int, count);
    Fixture fixture;
    auto store = fixture.open();
    QVERIFY(store);
    QCOMPARE(quotesOfTopic(*store, TextRules::upperTopic(tema)).size(), count);
    QCOMPARE(quotesOfTopic(*store, tema).size(), count);
}

void TestQuoteStore::topicListKeepsIndexRule()
{
    Fixture fixture;
    auto store = fixture.open();
    QVERIFY(store);
    QStringList topics;
    QVERIFY(store->topicList(&topics));
    // Table order; AMISTAD twice (introduced twice); HUERFANO never (no
    // record with Index 1); the NULL topic skipped.
    const QStringList expected{"SABIDURIA", "AMISTAD", "VIDA", "amor", "PODER",
                               "NIÑEZ", "L'AMOUR", "ÉXITO", "AMISTAD"};
    QCOMPARE(topics, expected);
}

void TestQuoteStore::allQuotesInTableOrderWithNulls()
{
    Fixture fixture;
    auto store = fixture.open();
    QVERIFY(store);
    QStringList autores, frases;
    QVERIFY(store->allQuotes([&](const QString &frace, const QString &autor) {
        frases << frace;
        autores << autor;
    }));
    QCOMPARE(frases.size(), 21);
    QCOMPARE(autores.first(), QStringLiteral("Séneca"));
    QCOMPARE(autores.last(), QStringLiteral("Yeats"));
    QCOMPARE(frases.last(), QStringLiteral("Texto con\nsalto de línea."));
    const int nullAuthor = frases.indexOf(QStringLiteral("Frase sin autor."));
    QVERIFY(nullAuthor >= 0);
    QCOMPARE(autores.at(nullAuthor), QString());
    const int nullQuote = autores.indexOf(QStringLiteral("Sin frase"));
    QCOMPARE(frases.at(nullQuote), QString());
}

void TestQuoteStore::insertThenList_data()
{
    QTest::addColumn<QString>("autor");
    QTest::addColumn<QString>("frace");
    QTest::addColumn<QString>("tema");
    QTest::addColumn<bool>("newTopic");
    QTest::addColumn<QString>("storedTopic");
    QTest::addColumn<bool>("listed");

    QTest::newRow("new topic upper-cased") << "Heráclito" << "Nadie se baña dos veces en el mismo río."
                                           << "niñez feliz" << true << "NIÑEZ FELIZ" << true;
    QTest::newRow("existing topic as shown") << "Epicteto" << "No es lo que te pasa, sino cómo reaccionas."
                                             << "vida" << false << "vida" << false;
    QTest::newRow("apostrophes everywhere") << "D'Ors" << "L'esprit de l'escalier, c'est ça."
                                            << "l'esprit" << true << "L'ESPRIT" << true;
    QTest::newRow("255 characters") << "Largo" << QString(254, QChar(u'é')) + QChar(u'\'') << "LARGO" << true
                                    << "LARGO" << true;
    QTest::newRow("blanks kept") << "  " << "   " << " " << true << " " << true;
    QTest::newRow("existing topic typed, unlisted") << "Plauto" << "El hombre es un lobo para el hombre."
                                                    << "LOBOS" << false << "LOBOS" << false;
    // Null strings are stored as empty text, never as NULL.
    QTest::newRow("null strings") << QString() << QString() << QString() << false << "" << false;
}

void TestQuoteStore::insertThenList()
{
    QFETCH(QString, autor);
    QFETCH(QString, frace);
    QFETCH(QString, tema);
    QFETCH(bool, newTopic);
    QFETCH(QString, storedTopic);
    QFETCH(bool, listed);

    Fixture fixture;
    {
        auto store = fixture.open();
        QVERIFY(store);
        QVERIFY2(store->insert(autor, frace, tema, newTopic), qPrintable(store->lastError()));
    }
    // A fresh open sees exactly what was stored.
    auto store = fixture.open();
    QVERIFY(store);
    QuoteRecord last;
    QVERIFY(store->forEachRecord([&](const QuoteRecord &record) { last = record; }));
    QCOMPARE(last.autor, autor);
    QCOMPARE(last.frace, frace);
    QCOMPARE(last.tema, storedTopic);
    QCOMPARE(last.hasIndex, newTopic);
    QuoteStore::Counts counts;
    QVERIFY(store->counts(&counts));
    QCOMPARE(counts.records, qint64(22));
    QCOMPARE(counts.nullTopics, qint64(1));

    QStringList topics;
    QVERIFY(store->topicList(&topics));
    QCOMPARE(topics.size(), listed ? 10 : 9);
    if (listed)
        QCOMPARE(topics.last(), storedTopic);
    QVERIFY(quotesOfTopic(*store, storedTopic).contains(frace));

    QString listedAuthor, listedQuote;
    QVERIFY(store->allQuotes([&](const QString &f, const QString &a) {
        listedQuote = f;
        listedAuthor = a;
    }));
    QCOMPARE(listedQuote, frace);
    QCOMPARE(listedAuthor, autor);
}

void TestQuoteStore::countsAndIntegrity()
{
    Fixture fixture;
    auto store = fixture.open();
    QVERIFY(store);
    QuoteStore::Counts counts;
    QVERIFY(store->counts(&counts));
    QCOMPARE(counts.records, qint64(21));
    QCOMPARE(counts.topics, qint64(9));
    QCOMPARE(counts.nullTopics, qint64(1));
    QStringList problems{QStringLiteral("not run")};
    QVERIFY(store->integrityCheck(&problems));
    QVERIFY(problems.isEmpty());
}

void TestQuoteStore::shellMadeTableOpens()
{
    Fixture fixture(QStringLiteral("shell-order.mdb"));
    auto store = fixture.open();
    QVERIFY(store);
    QStringList autores;
    QVERIFY(store->allQuotes([&](const QString &, const QString &autor) { autores << autor; }));
    QCOMPARE(autores, QStringList{"Calderón de la Barca"});
    QVERIFY(store->insert(QStringLiteral("Góngora"), QStringLiteral("Ándeme yo caliente."), QStringLiteral("vida"),
                          true));
    QCOMPARE(authors(*store, QChar(u'G')), QStringList{"Góngora"});
}

// Each way a collection cannot be opened or made: the kind of failure,
// and the file left as it was. "held here" and "held by a child" keep the
// collection open while trying; it opens again once they let go.
void TestQuoteStore::openFailures_data()
{
    using F = QuoteStore::Failure;
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("how"); // "open", "create", "held here", "held by a child"

    const QByteArray key("qolvent");
    QTest::newRow("missing file") << QString() << key << int(F::Missing) << "open";
    QTest::newRow("wrong key") << "quotes.mdb" << QByteArray("Qolvent") << int(F::WrongKey) << "open";
    QTest::newRow("other key") << "other-key.mdb" << key << int(F::WrongKey) << "open";
    QTest::newRow("empty key") << "quotes.mdb" << QByteArray() << int(F::BadKey) << "open";
    QTest::newRow("garbage") << "garbage.mdb" << key << int(F::WrongKey) << "open";
    QTest::newRow("unencrypted") << "plain.sqlite" << key << int(F::WrongKey) << "open";
    QTest::newRow("missing table") << "no-table.mdb" << key << int(F::MissingTable) << "open";
    QTest::newRow("missing column") << "no-column.mdb" << key << int(F::MissingColumn) << "open";
    QTest::newRow("trigger on tabla1") << "trigger.mdb" << key << int(F::ForeignSchema) << "open";
    QTest::newRow("view named tabla1") << "view.mdb" << key << int(F::ForeignSchema) << "open";
    QTest::newRow("second open in this process") << "quotes.mdb" << key << int(F::InUse) << "held here";
    // While held, even a wrong key reads as "in use".
    QTest::newRow("held here, wrong key") << "quotes.mdb" << QByteArray("otra") << int(F::InUse) << "held here";
    QTest::newRow("held by another process") << "quotes.mdb" << key << int(F::InUse) << "held by a child";
    QTest::newRow("create over a file") << "quotes.mdb" << key << int(F::AlreadyExists) << "create";
    QTest::newRow("create with an empty key") << QString() << QByteArray() << int(F::BadKey) << "create";
}

void TestQuoteStore::openFailures()
{
    QFETCH(QString, fixture);
    QFETCH(QByteArray, key);
    QFETCH(int, failure);
    QFETCH(QString, how);

    Fixture copy(fixture.isEmpty() ? QStringLiteral("empty.mdb") : fixture);
    if (fixture.isEmpty())
        QVERIFY(QFile::remove(copy.path()));
    std::unique_ptr<QuoteStore> heldHere;
    std::unique_ptr<QProcess> holder;
    if (how == QLatin1String("held here")) {
        heldHere = copy.open();
        QVERIFY(heldHere);
    } else if (how == QLatin1String("held by a child")) {
        holder.reset(startChild(QStringLiteral("hold"), copy.path()));
        QVERIFY(holder->waitForStarted());
        QVERIFY(holder->waitForReadyRead(10000));
        QCOMPARE(holder->readLine().trimmed(), QByteArray("open"));
    }
    const QByteArray before = Fixture::readFile(copy.path());

    const QuoteStore::OpenResult result = how == QLatin1String("create") ? QuoteStore::create(copy.path(), key)
                                                                         : QuoteStore::open(copy.path(), key);
    QVERIFY(!result);
    QCOMPARE(int(result.failure), failure);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(Fixture::readFile(copy.path()), before);
    if (fixture.isEmpty())
        QVERIFY(!QFile::exists(copy.path()));
    QVERIFY(!QFile::exists(copy.path() + QStringLiteral("-journal")));

    if (heldHere || holder) {
        heldHere.reset();
        if (holder) {
            holder->closeWriteChannel();
            QVERIFY(holder->waitForFinished(10000));
        }
        QVERIFY(copy.open());
    }
}

// Another program removes, replaces or writes over the open collection,
// or blocks its writes: the next save is refused, with the cause, and
// never reported done; the engine's cache may still serve listings.
void TestQuoteStore::collectionChangedUnderTheStore_data()
{
    using F = QuoteStore::Failure;
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("failure");
    QTest::newRow("deleted") << "delete" << int(F::Vanished);
    QTest::newRow("replaced by a copy") << "replace" << int(F::Vanished);
    QTest::newRow("truncated") << "truncate" << int(F::ChangedByOther);
    QTest::newRow("written over") << "overwrite" << int(F::ChangedByOther);
    QTest::newRow("folder renamed") << "move folder" << int(F::FolderChanged);
    QTest::newRow("made immutable") << "immutable" << int(F::Immutable);
    QTest::newRow("journal blocked by a folder") << "journal folder" << int(F::JournalBlocked);
}

void TestQuoteStore::collectionChangedUnderTheStore()
{
    QFETCH(QString, change);
    QFETCH(int, failure);
    Fixture fixture;
    const QString path = fixture.path();
    const QString moved = fixture.folder() + QStringLiteral("-moved");
    auto store = fixture.open();
    QVERIFY(store);
    // A save of its own first (the store's record of the file follows
    // it), except where the journal that save would leave is the point.
    if (change != QLatin1String("journal folder"))
        QVERIFY(store->insert(QStringLiteral("Antes"), QStringLiteral("Guardada antes del cambio."), QStringLiteral("VIDA"), true));
    QCOMPARE(store->fileChange(), QuoteStore::Failure::None);

    const auto chattr = [&](const char *flag) {
        QProcess tool;
        tool.start(QStringLiteral("chattr"), {QString::fromLatin1(flag), path});
        return tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    };
    const auto undo = qScopeGuard([&] {
        if (change == QLatin1String("immutable"))
            chattr("-i");
        if (change == QLatin1String("move folder"))
            QFile::rename(moved, fixture.folder());
        QDir().rmdir(path + QStringLiteral("-journal"));
    });
    if (change == QLatin1String("delete")) {
        QVERIFY(QFile::remove(path));
    } else if (change == QLatin1String("replace")) {
        QVERIFY(QFile::copy(Fixture::fixturePath(QStringLiteral("quotes.mdb")), path + QStringLiteral(".new")));
        QVERIFY(::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(), QFile::encodeName(path).constData()) == 0);
    } else if (change == QLatin1String("truncate")) {
        QVERIFY(::truncate(QFile::encodeName(path).constData(), 1024) == 0);
    } else if (change == QLatin1String("overwrite")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(2048));
        QCOMPARE(file.write(QByteArray(1024, '\x5a')), qint64(1024));
    } else if (change == QLatin1String("move folder")) {
        QVERIFY(QFile::rename(fixture.folder(), moved));
    } else if (change == QLatin1String("immutable")) {
        // The attribute needs a file system that keeps it and the right to set it.
        QVERIFY2(chattr("+i"), "chattr +i failed: needs root (CAP_LINUX_IMMUTABLE) and ext4, xfs or btrfs");
    } else if (change == QLatin1String("journal folder")) {
        QVERIFY(QDir().mkdir(path + QStringLiteral("-journal")));
    }

    QVERIFY2(!store->insert(QStringLiteral("Después"), QStringLiteral("Nunca guardada."), QStringLiteral("VIDA"), false),
             "a save was reported done");
    QCOMPARE(int(store->lastFailure()), failure);
    const QString sentence = FailureText::sentence(store->lastFailure(), path);
    QVERIFY2(!sentence.contains(QLatin1String("solo lectura")), qPrintable(sentence));
    QVERIFY2(!sentence.startsWith(QLatin1String("No se pudo usar")), qPrintable(sentence));
}

// Runs this program again in one of the child modes at the end of the file;
// unprivileged, it runs as nobody when the tests run as the superuser, so
// that file permissions bind it.
QProcess *TestQuoteStore::startChild(const QString &mode, const QString &path, bool unprivileged)
{
    auto *child = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SENTALIA_STORE_CHILD"), mode);
    env.insert(QStringLiteral("SENTALIA_STORE_PATH"), path);
    child->setProcessEnvironment(env);
    if (unprivileged && geteuid() == 0)
        child->start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                                 QStringLiteral("--clear-groups"),
                                                 QCoreApplication::applicationFilePath()});
    else
        child->start(QCoreApplication::applicationFilePath(), {});
    return child;
}

// A file the child may not write, or a store that opened fine and then
// fails: each operation reports the kind of failure the user is told
// about. The operations run in a child, which may run unprivileged (file
// permissions bind no superuser) or under a file-size limit.
void TestQuoteStore::operationFailures_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("failure");

    QTest::newRow("read-only file, opening") << "read-only" << "open" << int(QuoteStore::Failure::ReadOnly);
    QTest::newRow("damaged page, listing") << "damaged" << "list" << int(QuoteStore::Failure::Damaged);
    QTest::newRow("damaged page, topics") << "damaged" << "topics" << int(QuoteStore::Failure::Damaged);
    QTest::newRow("folder not writable, insert") << "folder" << "insert" << int(QuoteStore::Failure::FolderReadOnly);
    QTest::newRow("folder not writable, listing") << "folder" << "list" << int(QuoteStore::Failure::None);
    QTest::newRow("folder not writable, new collection") << "folder" << "create"
                                                         << int(QuoteStore::Failure::FolderReadOnly);
    QTest::newRow("disk full, insert") << "full" << "insert-full" << int(QuoteStore::Failure::DiskFull);
    QTest::newRow("no failure") << "" << "insert" << int(QuoteStore::Failure::None);
}

void TestQuoteStore::operationFailures()
{
    QFETCH(QString, setup);
    QFETCH(QString, operation);
    QFETCH(int, failure);

    Fixture fixture;
    const auto everyone = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup
        | QFile::ExeOther;
    if (setup == QLatin1String("damaged")) {
        // The last page holds quotations; the header page stays sound.
        QFile file(fixture.path());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(file.size() - 600));
        QVERIFY(file.write(QByteArray(400, '\x5a')) == 400);
    } else if (setup == QLatin1String("read-only")) {
        QVERIFY(QFile::setPermissions(fixture.path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(fixture.folder(), everyone | QFile::WriteOwner));
    } else if (setup == QLatin1String("folder")) {
        QVERIFY(QFile::setPermissions(fixture.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                          | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(fixture.folder(), everyone));
    }
    const QByteArray before = Fixture::readFile(fixture.path());

    const bool unprivileged = setup == QLatin1String("folder") || setup == QLatin1String("read-only");
    std::unique_ptr<QProcess> child(startChild(QStringLiteral("step ") + operation, fixture.path(), unprivileged));
    QVERIFY2(child->waitForFinished(20000), qPrintable(child->errorString()));
    QFile::setPermissions(fixture.folder(), everyone | QFile::WriteOwner);
    const QByteArray output = child->readAllStandardOutput().trimmed();
    QVERIFY2(output.startsWith("failure "), output + child->readAllStandardError());
    QCOMPARE(output.mid(8).toInt(), failure);
    QVERIFY(!QFile::exists(fixture.path() + QStringLiteral("-journal")));
    if (setup == QLatin1String("damaged") || unprivileged) {
        QCOMPARE(Fixture::readFile(fixture.path()), before);
    } else if (failure != int(QuoteStore::Failure::None)) {
        // Rolled back: every page rewritten as it was (the bytes differ,
        // each write is encrypted afresh).
        auto store = fixture.open();
        QVERIFY(store);
        QuoteStore::Counts counts;
        QVERIFY(store->counts(&counts));
        QCOMPARE(counts.records, qint64(21));
        QStringList problems;
        QVERIFY(store->integrityCheck(&problems));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }
}

void TestQuoteStore::sqlcipherShellRefusedWhileOpen()
{
    Fixture fixture;
    const QByteArray count("SELECT count(*) FROM tabla1;");
    {
        auto store = fixture.open();
        QVERIFY(store);
        const QByteArray refused = runShell(fixture.path(), count);
        QVERIFY2(refused.contains("locked"), refused.constData());
    }
    QCOMPARE(runShell(fixture.path(), count), QByteArray("21"));
}

void TestQuoteStore::insertSurvivesSigkill()
{
    Fixture fixture;
    std::unique_ptr<QProcess> child(startChild(QStringLiteral("insert"), fixture.path()));
    QVERIFY(child->waitForStarted());
    QVERIFY(child->waitForReadyRead(10000));
    QCOMPARE(child->readLine().trimmed(), QByteArray("saved"));
    child->kill(); // SIGKILL: nothing gets a chance to flush or close
    QVERIFY(child->waitForFinished(10000));

    auto store = fixture.open();
    QVERIFY(store);
    QCOMPARE(quotesOfTopic(*store, QStringLiteral("DURABLE")), QStringList{"Escrito antes del final."});
}

void TestQuoteStore::createdFileReadableByShell()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nuevo.mdb"));
    {
        QuoteStore::OpenResult created = QuoteStore::create(path);
        QVERIFY2(created, qPrintable(created.reason));
        QVERIFY(created.store->insert(QStringLiteral("Ovidio"), QStringLiteral("Gutta cavat lapidem."),
                                      QStringLiteral("constancia"), true));
    }
    // Encrypted: the plain SQLite header is nowhere to be seen.
    QVERIFY(!Fixture::readFile(path).startsWith("SQLite format 3"));
    QCOMPARE(runShell(path, "SELECT autor, tema, \"Index\" FROM tabla1;"), QByteArray("Ovidio|CONSTANCIA|1"));
}

// The connection the engine opened last, noted as it hands each new
// connection to the registered extensions, so that a test can ask the
// store's own connection what was set on it.
static sqlite3 *lastConnection = nullptr;

static int noteConnection(sqlite3 *db, char **, const void *)
{
    lastConnection = db;
    return SQLITE_OK;
}

// A crash or a kill cannot show these; only a power loss could. The
// journal mode is "delete" and the synchronous level 2 (FULL: the file is
// flushed at every commit), as the engine reports them.
void TestQuoteStore::durableSaveSettings_data()
{
    QTest::addColumn<bool>("created");
    QTest::newRow("opened") << false;
    QTest::newRow("created") << true;
}

void TestQuoteStore::durableSaveSettings()
{
    QFETCH(bool, created);
    Fixture fixture;
    const QString path = created ? fixture.folder() + QStringLiteral("/nuevo.mdb") : fixture.path();
    const auto note = reinterpret_cast<void (*)()>(noteConnection);
    QCOMPARE(sqlite3_auto_extension(note), SQLITE_OK);
    QuoteStore::OpenResult opened = created ? QuoteStore::create(path) : QuoteStore::open(path);
    sqlite3_cancel_auto_extension(note);
    QVERIFY2(opened, qPrintable(opened.reason));
    QVERIFY(lastConnection);
    const auto pragma = [](const char *sql) {
        sqlite3_stmt *stmt = nullptr;
        QByteArray value("(failed)");
        if (sqlite3_prepare_v2(lastConnection, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            value = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
        return value;
    };
    QCOMPARE(pragma("PRAGMA journal_mode"), QByteArray("delete"));
    QCOMPARE(pragma("PRAGMA synchronous"), QByteArray("2"));
}

void TestQuoteStore::databasePathUsesSeparator()
{
    QCOMPARE(QuoteStore::databasePath(QStringLiteral("/opt/sentalia")), QStringLiteral("/opt/sentalia/frase.mdb"));
}

// Child modes used by the tests above, run as a second process.
static int runChild(const QByteArray &mode, const QString &path)
{
    QuoteStore::OpenResult opened = QuoteStore::open(path);
    if (!opened && mode.startsWith("step ")) {
        printf("failure %d\n", int(opened.failure));
        return 0;
    }
    if (!opened) {
        printf("failed %s\n", qPrintable(opened.reason));
        return 1;
    }
    if (mode == "insert") {
        if (!opened.store->insert(QStringLiteral("Proceso"), QStringLiteral("Escrito antes del final."),
                                  QStringLiteral("durable"), true))
            return 1;
        printf("saved\n");
        fflush(stdout);
        for (;;)
            pause();
    }
    if (mode.startsWith("step ")) {
        // One operation, then its failure kind ("failure 0" when it worked).
        QuoteStore &store = *opened.store;
        const QByteArray step = mode.mid(5);
        bool ok = true;
        if (step == "list") {
            ok = store.allQuotes([](const QString &, const QString &) {});
        } else if (step == "topics") {
            QStringList topics;
            ok = store.topicList(&topics);
        } else if (step == "create") {
            const QuoteStore::OpenResult created = QuoteStore::create(QFileInfo(path).absolutePath() + "/nuevo.mdb");
            fprintf(stderr, "%s\n", qPrintable(created.reason));
            printf("failure %d\n", int(created.failure));
            return 0;
        } else if (step != "open") {
            // A quotation long enough to need pages the file does not have
            // yet; "insert-full" caps files at their present size first.
            if (step == "insert-full") {
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{rlim_t(QFileInfo(path).size()), rlim_t(QFileInfo(path).size())};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            ok = store.insert(QStringLiteral("Lleno"), QString(3000, QChar(u'x')), QStringLiteral("espacio"), true);
        }
        if (!ok)
            fprintf(stderr, "%s\n", qPrintable(store.lastError()));
        printf("failure %d\n", int(store.lastFailure()));
        return 0;
    }
    printf("open\n");
    fflush(stdout);
    char buffer[64];
    while (fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
    return 0;
}

int main(int argc, char *argv[])
{
    const QByteArray mode = qgetenv("SENTALIA_STORE_CHILD");
    if (!mode.isEmpty())
        return runChild(mode, qEnvironmentVariable("SENTALIA_STORE_PATH"));
    QCoreApplication app(argc, argv);
    TestQuoteStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_quotestore.moc"
