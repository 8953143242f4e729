// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fixture.h"
#include "store/FailureText.h"
#include "store/QuoteStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The rules are checked where they act: on tables made by the engine
// itself, through the store's two ways of opening a collection.
class TestSchemaRules : public QObject {
    Q_OBJECT

private slots:
    void tablesThatChangeWrites_data();
    void tablesThatChangeWrites();
};

// A tabla1 made by another tool whose clauses would delete, drop or alter
// records on a write is refused for writing, naming the clause, and opens
// for reading with the same finding as a warning; the default conflict
// action, NOCASE and text in comments or literals are no finding.
void TestSchemaRules::tablesThatChangeWrites_data()
{
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("finding"); // empty: writable

    QTest::newRow("column UNIQUE ON CONFLICT REPLACE")
        << "autor TEXT, frace TEXT UNIQUE ON CONFLICT REPLACE, tema TEXT, \"Index\" INTEGER"
        << "la columna frace tiene UNIQUE ON CONFLICT REPLACE";
    QTest::newRow("table UNIQUE ON CONFLICT IGNORE")
        << "autor TEXT, frace TEXT, tema TEXT, \"Index\" INTEGER, UNIQUE (frace, tema) ON CONFLICT IGNORE"
        << "la tabla tiene UNIQUE ON CONFLICT IGNORE";
    QTest::newRow("NOT NULL ON CONFLICT IGNORE, lower case")
        << "autor text not null on conflict ignore, frace text, tema text, \"Index\" integer"
        << "la columna autor tiene NOT NULL ON CONFLICT IGNORE";
    QTest::newRow("quoted column, PRIMARY KEY ON CONFLICT REPLACE")
        << "\"autor\" TEXT, [frace] TEXT, tema TEXT PRIMARY KEY ON CONFLICT REPLACE, \"Index\" INTEGER"
        << "la columna tema tiene PRIMARY KEY ON CONFLICT REPLACE";
    QTest::newRow("named NOT NULL ON CONFLICT REPLACE, nested parentheses")
        << "autor TEXT DEFAULT (lower('X')), frace TEXT CONSTRAINT f NOT NULL ON CONFLICT REPLACE, tema TEXT, "
           "\"Index\" INTEGER CHECK (\"Index\" IN (1, NULL))"
        << "la columna frace tiene NOT NULL ON CONFLICT REPLACE";
    QTest::newRow("WITHOUT ROWID") << "autor TEXT, frace TEXT, tema TEXT, \"Index\" INTEGER, PRIMARY KEY (autor, frace)) "
                                      "WITHOUT ROWID"
                                   << "WITHOUT ROWID";
    QTest::newRow("NUMERIC quotation") << "autor TEXT, frace NUMERIC, tema TEXT, \"Index\" INTEGER"
                                       << "la columna frace es de tipo NUMERIC";
    QTest::newRow("INT topic") << "autor TEXT, frace TEXT, tema BIGINT, \"Index\" INTEGER"
                               << "la columna tema es de tipo BIGINT";
    QTest::newRow("FLOAT author") << "autor FLOAT, frace TEXT, tema TEXT, \"Index\" INTEGER"
                                  << "la columna autor es de tipo FLOAT";
    QTest::newRow("COLLATE RTRIM") << "autor TEXT, frace TEXT COLLATE RTRIM, tema TEXT, \"Index\" INTEGER"
                                   << "la columna frace compara con COLLATE RTRIM";
    QTest::newRow("plain UNIQUE: the write fails instead")
        << "autor TEXT, frace TEXT UNIQUE, tema TEXT, \"Index\" INTEGER" << "";
    QTest::newRow("ON CONFLICT ABORT, NOCASE, no types")
        << "autor COLLATE NOCASE, frace UNIQUE ON CONFLICT ABORT, tema VARCHAR(40), \"Index\"" << "";
    QTest::newRow("clause only in a literal and a comment")
        << "autor TEXT DEFAULT 'ON CONFLICT REPLACE', frace TEXT /* ON CONFLICT IGNORE */, tema TEXT, \"Index\" INTEGER"
        << "";
    QTest::newRow("numeric Index is fine") << "autor TEXT, frace TEXT, tema TEXT, \"Index\" REAL" << "";
}

void TestSchemaRules::tablesThatChangeWrites()
{
    QFETCH(QString, columns);
    QFETCH(QString, finding);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    QString sql = QStringLiteral("CREATE TABLE tabla1 (%1").arg(columns);
    if (!columns.contains(QLatin1String("WITHOUT ROWID")))
        sql += QLatin1Char(')');
    sql += QStringLiteral(";\nINSERT INTO tabla1 VALUES ('Séneca', 'La vida es larga.', 'VIDA', 1);");
    QVERIFY(Fixture::makeCollection(path, sql.toUtf8().constData()));
    const QByteArray before = Fixture::readFile(path);

    {
        const QuoteStore::OpenResult writing = QuoteStore::open(path);
        QCOMPARE(bool(writing), finding.isEmpty());
        if (!finding.isEmpty()) {
            QCOMPARE(writing.failure, QuoteStore::Failure::ForeignSchema);
            QVERIFY2(writing.reason.contains(finding), qPrintable(writing.reason));
            const QString sentence = FailureText::sentence(writing.failure, path, writing.reason);
            QVERIFY2(sentence.contains(finding) && sentence.contains(path), qPrintable(sentence));
        }
    }
    QCOMPARE(Fixture::readFile(path), before);
    const QuoteStore::OpenResult reading = QuoteStore::openForReading(QFile::encodeName(path));
    QVERIFY2(reading, qPrintable(reading.reason));
    const QString warnings = reading.store->schemaWarnings().join(QLatin1Char('\n'));
    QCOMPARE(warnings.isEmpty(), finding.isEmpty());
    QVERIFY2(warnings.contains(finding), qPrintable(warnings));
}

QTEST_GUILESS_MAIN(TestSchemaRules)

#include "tst_schemarules.moc"
