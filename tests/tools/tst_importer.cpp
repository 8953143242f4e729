// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fixture.h"
#include "Importer.h"
#include "SourceFile.h"

#include "store/Interruption.h"
#include "store/QuoteStore.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include "RecordMaker.h"

// The importer on copies of the fixture collection (see
// tests/fixtures/make-fixtures.sh): which records get Index 1 and which are
// skipped as already present; and the limits on what an import source may
// bring.
class TestImporter : public QObject {
    Q_OBJECT

private slots:
    void indexOneOnFirstRecordOfUnlistedTopic();
    void duplicates_data();
    void duplicates();
    void sourceLimits_data();
    void sourceLimits();
};

Q_DECLARE_METATYPE(QList<QuoteRecord>)

namespace {

QList<QuoteRecord> allRecords(QuoteStore &store)
{
    QList<QuoteRecord> records;
    if (!store.forEachRecord([&](const QuoteRecord &record) { records << record; }))
        qWarning("%s", qPrintable(store.lastError()));
    return records;
}

} // namespace

void TestImporter::indexOneOnFirstRecordOfUnlistedTopic()
{
    Fixture fixture;
    auto store = fixture.open();
    QVERIFY(store);
    const qsizetype before = allRecords(*store).size();

    // tema, whether the record must open the topic with Index 1, and the
    // topic stored
    const struct {
        QString tema;
        bool opens;
        QString stored;
    } plan[] = {
        {"amor", false, "amor"},         // listed, stored in small letters
        {"AMOR", false, "AMOR"},         // the same topic in capitals
        {"HUERFANO", true, "HUERFANO"},  // has records, but none with Index 1
        {"HUERFANO", false, "HUERFANO"},
        {"NUEVO", true, "NUEVO"},
        {"nuevo", false, "nuevo"},
        {"éxito", false, "éxito"},       // ÉXITO is listed
        {"EXITO", true, "EXITO"},        // without the accent it is another topic
        {"L'AMOUR", false, "L'AMOUR"},
        {"niñez", false, "niñez"},       // NIÑEZ is listed
        {"", false, ""},                 // empty text is no topic
        {"VARIOS", true, "VARIOS"},
        {"tema minúsculas", true, "TEMA MINÚSCULAS"}, // a new topic in capitals
        {"tema minúsculas", false, "tema minúsculas"},
        {" vida ", false, "vida"},       // blanks around it: VIDA
        {"PODER\n", false, "PODER"},
        {"\tOTRO ", true, "OTRO"},
    };
    QList<QuoteRecord> records;
    for (const auto &[tema, opens, stored] : plan)
        records << makeRecord(QStringLiteral("Autor"), QStringLiteral("Frase de %1 %2").arg(tema).arg(records.size()), tema);
    records << makeRecord(QStringLiteral("Autor"), QStringLiteral("Sin tema"), QString(), true);

    Importer importer(*store);
    Importer::Summary summary;
    QVERIFY2(importer.run(records, &summary), qPrintable(importer.lastError()));
    QCOMPARE(summary.added, qint64(records.size()));
    QCOMPARE(summary.skipped, qint64(0));
    QCOMPARE(summary.topicsCreated, qint64(6));

    const QList<QuoteRecord> stored = allRecords(*store).mid(before);
    QCOMPARE(stored.size(), records.size());
    for (qsizetype i = 0; i < qsizetype(std::size(plan)); ++i) {
        QCOMPARE(stored.at(i).tema, plan[i].stored);
        QVERIFY2((stored.at(i).hasIndex && stored.at(i).index == 1) == plan[i].opens, qPrintable(plan[i].tema));
        QVERIFY(!stored.at(i).hasIndex || stored.at(i).index == 1);
    }
    QVERIFY(stored.constLast().temaIsNull);
    QVERIFY(!stored.constLast().hasIndex);

    QStringList topics;
    QVERIFY(store->topicList(&topics));
    for (const char *topic : {"HUERFANO", "NUEVO", "EXITO", "VARIOS", "TEMA MINÚSCULAS", "OTRO"})
        QCOMPARE(topics.count(QString::fromUtf8(topic)), 1);
    QCOMPARE(topics.count(QStringLiteral("AMOR")), 0);
}

void TestImporter::duplicates_data()
{
    QTest::addColumn<QList<QuoteRecord>>("records");
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("skipped");

    const QString suerte = QStringLiteral(
        "La suerte es lo que sucede cuando la preparación se encuentra con la oportunidad.");
    QTest::newRow("exact copy of a stored record")
        << QList<QuoteRecord>{makeRecord("Séneca", suerte, "SABIDURIA")} << 0 << 1;
    QTest::newRow("author in other case") << QList<QuoteRecord>{makeRecord("séneca", suerte, "SABIDURIA")} << 1 << 0;
    // Topics compare as the program compares them, blanks around them
    // left out.
    QTest::newRow("topic in other case") << QList<QuoteRecord>{makeRecord("Séneca", suerte, "sabiduria")} << 0 << 1;
    QTest::newRow("topic with blanks around") << QList<QuoteRecord>{makeRecord("Séneca", suerte, " SABIDURIA ")} << 0 << 1;
    QTest::newRow("topic with a line break") << QList<QuoteRecord>{makeRecord("Séneca", suerte, "SABIDURIA\n")} << 0 << 1;
    QTest::newRow("new topic twice, the second in other case")
        << QList<QuoteRecord>{makeRecord("Uno", "Dos", "tema nuevo"), makeRecord("Uno", "Dos", "Tema Nuevo")} << 1 << 1;
    QTest::newRow("text differs by a blank") << QList<QuoteRecord>{makeRecord("Séneca", suerte + " ", "SABIDURIA")} << 1
                                             << 0;
    QTest::newRow("copy inside the import")
        << QList<QuoteRecord>{makeRecord("Uno", "Dos", "TRES"), makeRecord("Uno", "Dos", "TRES"), makeRecord("Uno", "Dos", "TRES")} << 1
        << 2;
    QTest::newRow("stored record with NULL topic")
        << QList<QuoteRecord>{makeRecord("Otro tema nulo", "Registro con tema NULL.", QString(), true)} << 0 << 1;
    QTest::newRow("empty topic is not NULL")
        << QList<QuoteRecord>{makeRecord("Otro tema nulo", "Registro con tema NULL.", QString())} << 1 << 0;
    QTest::newRow("stored NULL author reads as empty")
        << QList<QuoteRecord>{makeRecord(QString(), "Frase sin autor.", "VIDA")} << 0 << 1;
    QTest::newRow("apostrophes") << QList<QuoteRecord>{makeRecord("D'Alembert",
                                                            "L'homme est un apprenti, la douleur est son maître.",
                                                            "L'AMOUR")}
                                 << 0 << 1;
    QTest::newRow("text starting with a byte-order mark")
        << QList<QuoteRecord>{makeRecord("Uno", QStringLiteral("\uFEFFDos"), "TRES")} << 1 << 0;
}

void TestImporter::duplicates()
{
    QFETCH(QList<QuoteRecord>, records);
    QFETCH(int, added);
    QFETCH(int, skipped);

    Fixture fixture;
    auto store = fixture.open();
    QVERIFY(store);
    const qsizetype before = allRecords(*store).size();

    Importer importer(*store);
    Importer::Summary summary;
    QVERIFY2(importer.run(records, &summary), qPrintable(importer.lastError()));
    QCOMPARE(summary.added, qint64(added));
    QCOMPARE(summary.skipped, qint64(skipped));
    QCOMPARE(allRecords(*store).size(), before + added);

    // What is stored reads back as it was given: importing again adds nothing.
    Importer again(*store);
    QVERIFY2(again.run(records, &summary), qPrintable(again.lastError()));
    QCOMPARE(summary.added, qint64(0));
}

void TestImporter::sourceLimits_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("pipe");       // or a regular file
    QTest::addColumn<qint64>("maxSize");  // -1: the real ones
    QTest::addColumn<qint64>("tempFree"); // TMPDIR's free space as the source sees it
    QTest::addColumn<int>("signal");      // arrived before the source is read
    QTest::addColumn<QString>("refusal"); // empty: read whole; TMPDIR stands for the folder

    const QByteArray text = QByteArray("Una frase de prueba.\n%\n").repeated(10000);
    const qint64 KiB = 1024;
    const qint64 MiB = 1024 * KiB;
    const qint64 real = -1;
    QTest::newRow("pipe within both limits") << text << true << MiB << 1024 * MiB << 0 << QString();
    QTest::newRow("pipe over the size limit")
        << text << true << 100 * KiB << 1024 * MiB << 0 << "es demasiado grande para importarlo (más de 100 KiB)";
    QTest::newRow("pipe over TMPDIR's free space less the reserve")
        << text << true << MiB << 64 * MiB + 100 * KiB << 0
        << "es demasiado grande para importarlo: su copia temporal no cabe en TMPDIR (hay 64 MiB libres";
    QTest::newRow("TMPDIR with less than the reserve free")
        << QByteArray("Una frase.\n") << true << real << 10 * MiB << 0 << "no cabe en TMPDIR (hay 10 MiB libres";
    QTest::newRow("regular file over the size limit, refused before it is read")
        << text + QByteArray(1, '\0') << false << 100 * KiB << real << 0 << "(más de 100 KiB)";
    QTest::newRow("signal while a pipe is copied") << text << true << real << real << SIGINT << "se interrumpió la lectura";
}

void TestImporter::sourceLimits()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, pipe);
    QFETCH(qint64, maxSize);
    QFETCH(qint64, tempFree);
    QFETCH(int, signal);
    QFETCH(QString, refusal);

    QTemporaryDir temp;
    QTemporaryDir files;
    QVERIFY(temp.isValid() && files.isValid());
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    SourceFile::setLimitsForTests(maxSize, tempFree);
    Interruption::simulate(signal);
    // The writer meets a closed pipe when the source is refused early.
    const auto oldPipeAction = std::signal(SIGPIPE, SIG_IGN);
    const auto restore = qScopeGuard([&] {
        qputenv("TMPDIR", oldTemp);
        SourceFile::setLimitsForTests(-1, -1);
        Interruption::simulate(0);
        std::signal(SIGPIPE, oldPipeAction);
    });

    QByteArray path = QFile::encodeName(files.filePath(QStringLiteral("frases.fortunes")));
    int ends[2] = {-1, -1};
    std::thread writer;
    if (pipe) {
        QVERIFY(::pipe2(ends, O_CLOEXEC) == 0);
        path = "/dev/fd/" + QByteArray::number(ends[0]);
        writer = std::thread([&] {
            for (qsizetype done = 0; done < bytes.size();) {
                const ssize_t written = ::write(ends[1], bytes.constData() + done, size_t(bytes.size() - done));
                if (written <= 0)
                    break;
                done += written;
            }
            ::close(ends[1]);
        });
    } else {
        QFile file(QFile::decodeName(path));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    SourceFile source;
    QString error;
    const bool opened = source.open(path, QStringLiteral("frases"), &error);
    if (pipe) {
        ::close(ends[0]);
        writer.join();
    }
    if (refusal.isEmpty()) {
        QVERIFY2(opened, qPrintable(error));
        QVERIFY(source.spooled());
        QString line;
        QString read;
        while (source.readLine(&line))
            read += line;
        QCOMPARE(read.toUtf8(), bytes);
    } else {
        QVERIFY(!opened);
        refusal.replace(QStringLiteral("TMPDIR"), temp.path());
        QVERIFY2(error.startsWith(QStringLiteral("frases")) || error.contains(QStringLiteral(" frases")),
                 qPrintable(error));
        QVERIFY2(error.contains(refusal), qPrintable(error));
    }
    QVERIFY2(QDir(temp.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             "the copy stayed in TMPDIR");
}

QTEST_APPLESS_MAIN(TestImporter)
#include "tst_importer.moc"
