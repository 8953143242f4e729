#include "Fixture.h"
#include "Importer.h"

#include "store/QuoteStore.h"

#include <QTest>

#include "RecordMaker.h"

// The importer on copies of the fixture collection (see
// tests/fixtures/make-fixtures.sh): which records get Index 1 and which are
// skipped as already present.
class TestImporter : public QObject {
    Q_OBJECT

private slots:
    void indexOneOnFirstRecordOfUnlistedTopic();
    void duplicates_data();
    void duplicates();
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

    // tema, and whether the record must open the topic with Index 1
    const QList<QPair<QString, bool>> plan = {
        {"amor", false},      // listed, stored in small letters
        {"AMOR", false},      // the same topic in capitals
        {"HUERFANO", true},   // has records, but none with Index 1
        {"HUERFANO", false},
        {"NUEVO", true},
        {"nuevo", false},
        {"éxito", false},     // ÉXITO is listed
        {"EXITO", true},      // without the accent it is another topic
        {"L'AMOUR", false},
        {"niñez", false},     // NIÑEZ is listed
        {"", false},          // empty text is no topic
        {"VARIOS", true},
    };
    QList<QuoteRecord> records;
    for (const auto &[tema, opens] : plan)
        records << makeRecord(QStringLiteral("Autor"), QStringLiteral("Frase de %1 %2").arg(tema).arg(records.size()), tema);
    records << makeRecord(QStringLiteral("Autor"), QStringLiteral("Sin tema"), QString(), true);

    Importer importer(*store);
    Importer::Summary summary;
    QVERIFY2(importer.run(records, &summary), qPrintable(importer.lastError()));
    QCOMPARE(summary.added, qint64(records.size()));
    QCOMPARE(summary.skipped, qint64(0));
    QCOMPARE(summary.topicsCreated, qint64(4));

    const QList<QuoteRecord> stored = allRecords(*store).mid(before);
    QCOMPARE(stored.size(), records.size());
    for (qsizetype i = 0; i < plan.size(); ++i) {
        QCOMPARE(stored.at(i).tema, plan.at(i).first);
        QVERIFY2((stored.at(i).hasIndex && stored.at(i).index == 1) == plan.at(i).second,
                 qPrintable(plan.at(i).first));
        QVERIFY(!stored.at(i).hasIndex || stored.at(i).index == 1);
    }
    QVERIFY(stored.constLast().temaIsNull);
    QVERIFY(!stored.constLast().hasIndex);

    QStringList topics;
    QVERIFY(store->topicList(&topics));
    for (const char *topic : {"HUERFANO", "NUEVO", "EXITO", "VARIOS"})
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
    QTest::newRow("topic in other case") << QList<QuoteRecord>{makeRecord("Séneca", suerte, "sabiduria")} << 1 << 0;
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

QTEST_APPLESS_MAIN(TestImporter)
#include "tst_importer.moc"
