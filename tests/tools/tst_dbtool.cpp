#include "Fixture.h"

#include "store/QuoteStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <unistd.h>


// sentalia-db as the user runs it: commands, exit codes, messages, and the
// promise that a failed import leaves the collection exactly as it was.
class TestDbTool : public QObject {
    Q_OBJECT

private slots:
    void createMakesFileTheShellReads();
    void check_data();
    void check();
    void usageErrors_data();
    void usageErrors();
    void refusesDatabaseInUse_data();
    void refusesDatabaseInUse();
    void failedImportChangesNothing_data();
    void failedImportChangesNothing();
    void importSummaryAndOptions();
    void csvExportReadsBackExactly();
    void fortuneExportReadsBack();
    void failedExportWritesNothing();
    void concurrentCreatesKeepOneCollection();

private:
    struct Result {
        int code = -1;
        QString out;
        QString err;
    };
    // unprivileged: as nobody when the tests run as the superuser, so that
    // file permissions bind the tool.
    static Result runTool(const QStringList &arguments, bool unprivileged = false);
    static QString tool() { return QStringLiteral(SENTALIA_BUILD_DIR "/sentalia-db"); }
    static bool writeFile(const QString &path, const QByteArray &bytes);
    static QList<QuoteRecord> records(const QString &path);
    // A collection whose tabla1 refuses the text "FALLA", as a stand-in for
    // any engine error in the middle of an import.
    static bool makeRefusingCollection(const QString &path);
};

TestDbTool::Result TestDbTool::runTool(const QStringList &arguments, bool unprivileged)
{
    QProcess process;
    if (unprivileged && geteuid() == 0)
        process.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=nobody"),
                                                             QStringLiteral("--regid=nogroup"),
                                                             QStringLiteral("--clear-groups"), tool()}
                                                     + arguments);
    else
        process.start(tool(), arguments);
    Result result;
    if (!process.waitForStarted(10000) || !process.waitForFinished(60000)) {
        result.err = QStringLiteral("sentalia-db did not run");
        return result;
    }
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

bool TestDbTool::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
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

void TestDbTool::createMakesFileTheShellReads()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nuevo.mdb"));
    Result result = runTool({QStringLiteral("create"), path});
    QCOMPARE(result.code, 0);
    QVERIFY(records(path).isEmpty());
    QVERIFY(QuoteStore::open(path));

    const QByteArray made = Fixture::readFile(path);
    QVERIFY(!made.startsWith("SQLite format 3")); // encrypted
    result = runTool({QStringLiteral("create"), path});
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains(QStringLiteral("ya existe")), qPrintable(result.err));
    QCOMPARE(Fixture::readFile(path), made);

    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (shell.isEmpty())
        QSKIP("the sqlcipher shell is not installed");
    QProcess process;
    process.start(shell, {path});
    process.write("PRAGMA key='qolvent';\n.tables\n");
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.readAllStandardOutput().trimmed(), QByteArray("tabla1"));
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
    QTest::newRow("no file") << QStringList{"check"} << 2;
    QTest::newRow("import without source") << QStringList{"import", "x.mdb"} << 2;
    QTest::newRow("unknown format") << QStringList{"export", "x.mdb", "--format", "xml"} << 2;
    QTest::newRow("option of another command") << QStringList{"check", "x.mdb", "--tema", "VIDA"} << 2;
    QTest::newRow("option without value") << QStringList{"import", "x.mdb", "a.csv", "--autor"} << 2;
    QTest::newRow("empty option value") << QStringList{"import", "x.mdb", "a.csv", "--tema="} << 2;
    QTest::newRow("unknown option") << QStringList{"check", "x.mdb", "--rapido"} << 2;
    QTest::newRow("one file too many") << QStringList{"create", "a.mdb", "b.mdb"} << 2;
    QTest::newRow("help") << QStringList{"--help"} << 0;
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
    } else {
        for (const char *command : {"create", "import", "export", "check"})
            QVERIFY(result.out.contains(QString::fromLatin1(command)));
        // The help page shows each command with every option it takes.
        QFile page(QStringLiteral(SENTALIA_SOURCE_DIR "/resources/Ayuda/sentalia_db.htm"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(page.readAll()).split(QLatin1Char('\n'));
        static const QRegularExpression synopsis(QStringLiteral("^  (create|import|export|check) (.*)$"),
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
}

void TestDbTool::refusesDatabaseInUse()
{
    QFETCH(QStringList, arguments);

    Fixture fixture;
    const QString source = fixture.folder() + QStringLiteral("/vida.fortunes");
    QVERIFY(writeFile(source, "La vida es sue\xc3\xb1o.\n\t\t-- Calder\xc3\xb3n\n%\n"));
    arguments.insert(1, fixture.path());
    arguments.replaceInStrings(QStringLiteral("SOURCE"), source);
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
    QTest::addColumn<QString>("secondSource"); // "missing", "collection", "read-only folder" or none
    QTest::addColumn<QString>("reason");

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
    QTest::newRow("collection in a read-only folder")
        << false << QByteArray() << "read-only folder" << "no permite escribir";
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
    // The collection stays writable; only its folder refuses new files,
    // so the journal cannot be made.
    const bool readOnlyFolder = secondSource == QLatin1String("read-only folder");
    const auto all = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto enter = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    if (readOnlyFolder) {
        QVERIFY(QFile::setPermissions(fixture.path(), all | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(fixture.folder(), all | enter));
    }
    const Result result = runTool(arguments, readOnlyFolder);
    if (readOnlyFolder)
        QVERIFY(QFile::setPermissions(fixture.folder(), all | enter | QFile::WriteOwner));
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains(reason), qPrintable(result.err));
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

    // Empty quotations are skipped, each reported with its line.
    Result result = runTool({QStringLiteral("import"), db, fortunes, csv});
    QCOMPARE(result.code, 0);
    QVERIFY2(result.out.contains(
                 QStringLiteral("4 frases agregadas, 0 repetidas omitidas, 2 temas nuevos, 2 vacías omitidas")),
             qPrintable(result.out));
    QVERIFY2(result.err.contains(QStringLiteral("niñez.fortunes, línea 6: la frase está vacía")), qPrintable(result.err));
    QVERIFY2(result.err.contains(QStringLiteral("frases.csv, línea 4: la frase está vacía")), qPrintable(result.err));
    result = runTool({QStringLiteral("import"), db, fortunes, csv});
    QCOMPARE(result.code, 0);
    QVERIFY2(result.out.contains(QStringLiteral("0 frases agregadas, 4 repetidas omitidas, 0 temas nuevos, 2 vac")),
             qPrintable(result.out));

    // --tema replaces the file's name (upper-cased); --autor fills the gaps.
    result = runTool({QStringLiteral("import"), db, fortunes, csv, QStringLiteral("--tema"), QStringLiteral("infancia"),
                      QStringLiteral("--autor=Refranero")});
    QCOMPARE(result.code, 0);
    QVERIFY2(result.out.contains(QStringLiteral("3 frases agregadas, 1 repetidas omitidas, 1 temas nuevos, 2 vac")),
             qPrintable(result.out));

    const QList<QuoteRecord> stored = records(db);
    QCOMPARE(stored.size(), 7);
    const auto row = [&](int i) {
        const QuoteRecord &r = stored.at(i);
        return QStringList{r.autor, r.frace, r.temaIsNull ? QStringLiteral("<NULL>") : r.tema,
                           r.hasIndex ? QString::number(r.index) : QStringLiteral("-")};
    };
    QCOMPARE(row(0), (QStringList{"William Wordsworth", "El niño es padre del hombre.", "NIÑEZ", "1"}));
    QCOMPARE(row(1), (QStringList{"Anónimo", "Sin autor conocido.", "NIÑEZ", "-"}));
    QCOMPARE(row(2), (QStringList{"Platón", "Uno, dos", "VIDA", "1"}));
    QCOMPARE(row(3), (QStringList{"Anónimo", "Sin autor en CSV", "<NULL>", "-"}));
    QCOMPARE(row(4), (QStringList{"William Wordsworth", "El niño es padre del hombre.", "INFANCIA", "1"}));
    QCOMPARE(row(5), (QStringList{"Refranero", "Sin autor conocido.", "INFANCIA", "-"}));
    QCOMPARE(row(6), (QStringList{"Refranero", "Sin autor en CSV", "INFANCIA", "-"}));
}

void TestDbTool::csvExportReadsBackExactly()
{
    Fixture fixture;
    const Result exported = runTool({QStringLiteral("export"), fixture.path()});
    QCOMPARE(exported.code, 0);
    QVERIFY(exported.out.startsWith(QStringLiteral("autor,frace,tema,Index\n")));

    const QString csv = fixture.folder() + QStringLiteral("/copia.csv");
    QVERIFY(writeFile(csv, exported.out.toUtf8()));
    const QString copy = fixture.folder() + QStringLiteral("/copia.mdb");
    QCOMPARE(runTool({QStringLiteral("create"), copy}).code, 0);
    QCOMPARE(runTool({QStringLiteral("import"), copy, csv}).code, 0);

    const Result again = runTool({QStringLiteral("export"), copy, QStringLiteral("--format=csv")});
    QCOMPARE(again.code, 0);
    QCOMPARE(again.out, exported.out);

    const QList<QuoteRecord> original = records(fixture.path());
    const QList<QuoteRecord> restored = records(copy);
    QCOMPARE(restored.size(), original.size());
    for (qsizetype i = 0; i < original.size(); ++i) {
        QCOMPARE(restored.at(i).autor, original.at(i).autor);
        QCOMPARE(restored.at(i).frace, original.at(i).frace);
        QCOMPARE(restored.at(i).tema, original.at(i).tema);
        QCOMPARE(restored.at(i).temaIsNull, original.at(i).temaIsNull);
        // Index as it was, irregular ones included (AMISTAD has two records
        // with Index 1, HUERFANO none); NULL apart from empty text.
        QCOMPARE(restored.at(i).hasIndex, original.at(i).hasIndex);
        QCOMPARE(restored.at(i).index, original.at(i).index);
        QCOMPARE(restored.at(i).autorIsNull, original.at(i).autorIsNull);
        QCOMPARE(restored.at(i).fraceIsNull, original.at(i).fraceIsNull);
    }
}

void TestDbTool::fortuneExportReadsBack()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("frase.mdb"));
    QCOMPARE(runTool({QStringLiteral("create"), db}).code, 0);
    const QString csv = dir.filePath(QStringLiteral("frases.csv"));
    QVERIFY(writeFile(csv, "autor,frace,tema\n"
                           "Lao-Tse,\"Primer verso, largo.\n\nSegundo p\xc3\xa1rrafo.\",VIDA\n"
                           "An\xc3\xb3nimo,\"- \xc2\xbfQui\xc3\xa9n?\n- Yo.\",VIDA\n"
                           "Robnell G. Rivera,Nunca subestimes el poder de las palabras.,VIDA\n"
                           "D'Alembert,L'homme est un apprenti.,L'AMOUR\n"
                           "Otro,Fuera del tema.,OTRO\n"));
    QCOMPARE(runTool({QStringLiteral("import"), db, csv}).code, 0);

    const Result fortune = runTool({QStringLiteral("export"), db, QStringLiteral("--format"), QStringLiteral("fortune"),
                                    QStringLiteral("--tema"), QStringLiteral("vida")});
    QCOMPARE(fortune.code, 0);
    QVERIFY(fortune.out.contains(QStringLiteral("\t\t-- Robnell G. Rivera\n%\n")));
    QVERIFY(!fortune.out.contains(QStringLiteral("Fuera del tema")));

    const QString file = dir.filePath(QStringLiteral("vida.fortunes"));
    QVERIFY(writeFile(file, fortune.out.toUtf8()));
    const QString copy = dir.filePath(QStringLiteral("copia.mdb"));
    QCOMPARE(runTool({QStringLiteral("create"), copy}).code, 0);
    QCOMPARE(runTool({QStringLiteral("import"), copy, file}).code, 0);

    const QStringList vida{QStringLiteral("--tema"), QStringLiteral("VIDA")};
    const Result original = runTool(QStringList{QStringLiteral("export"), db} + vida);
    const Result restored = runTool(QStringList{QStringLiteral("export"), copy} + vida);
    QCOMPARE(restored.code, 0);
    QCOMPARE(restored.out, original.out);
    QCOMPARE(records(copy).size(), 3);
}

void TestDbTool::failedExportWritesNothing()
{
    // Many pages of records, and a damaged one near the end: the export
    // fails after it has read most of them.
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("frase.mdb"));
    QVERIFY(Fixture::makeCollection(db,
                                    "CREATE TABLE tabla1 (autor TEXT, frace TEXT, tema TEXT, \"Index\" INTEGER);"
                                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                                    " INSERT INTO tabla1 SELECT 'Autor ' || i, 'Frase número ' || i || ' con texto"
                                    " de relleno para ocupar la página.', 'VIDA', i = 1 FROM n;"));
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

QTEST_GUILESS_MAIN(TestDbTool)
#include "tst_dbtool.moc"
