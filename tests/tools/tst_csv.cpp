// SPDX-License-Identifier: GPL-3.0-or-later
#include "CsvReader.h"
#include "CsvWriter.h"

#include <QTest>

#include "RecordMaker.h"

// Quotation CSV: what the writer produces the reader reads back unchanged,
// and malformed input is refused with the line it is on.
class TestCsv : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void readsHandWrittenFiles_data();
    void readsHandWrittenFiles();
    void refusesMalformedInput_data();
    void refusesMalformedInput();

private:
    static QList<QuoteRecord> samples();
};

Q_DECLARE_METATYPE(QList<QuoteRecord>)

namespace {

// A line break inside a field reads back as LF, however it was written.
QString withLf(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

bool sameRecord(const QuoteRecord &read, const QuoteRecord &written)
{
    return read.autor == withLf(written.autor) && read.frace == withLf(written.frace)
        && read.tema == withLf(written.tema) && read.temaIsNull == written.temaIsNull;
}

} // namespace

QList<QuoteRecord> TestCsv::samples()
{
    return {
        makeRecord("Séneca", "No es pobre el que tiene poco.", "SABIDURIA"),
        makeRecord("Cicerón", "La amistad, la prosperidad y la adversidad.", "AMISTAD"),
        makeRecord("Wilde", "Dijo \"hola\", y se fue.", "VIDA"),
        makeRecord("Lao-Tse", "Primera línea\nsegunda línea", "VIDA"),
        makeRecord("Lao-Tse", "Con\r\nCRLF dentro", "VIDA"),
        makeRecord("Listado", "Retorno\rsuelto", "VIDA"),
        makeRecord("D'Alembert", "L'homme est un apprenti.", "L'AMOUR"),
        makeRecord("", "Sin autor.", "VIDA"),
        makeRecord("Sin frase", "", "VIDA"),
        makeRecord("Tema vacío", "Texto.", ""),
        makeRecord("Tema nulo", "Texto.", "", true),
        makeRecord(" Platón", "Blancos en los bordes ", " TEMA "),
        makeRecord("\"Cervantes\"", "\"", "\"\""),
        makeRecord("Coma, al final,", ",", ","),
    };
}

void TestCsv::roundTrip_data()
{
    QTest::addColumn<QList<QuoteRecord>>("records");
    const QList<QuoteRecord> all = samples();
    const char *names[] = {"plain", "commas", "quotes", "LF inside", "CRLF inside", "lone CR inside",
                           "apostrophes", "empty author", "empty text", "empty topic", "NULL topic",
                           "blanks at the edges", "only quotes", "only commas"};
    for (qsizetype i = 0; i < all.size(); ++i)
        QTest::newRow(names[i]) << QList<QuoteRecord>{all.at(i)};
    QTest::newRow("all in one file") << all;
}

void TestCsv::roundTrip()
{
    QFETCH(QList<QuoteRecord>, records);
    QString text = CsvWriter::header();
    for (const QuoteRecord &record : records)
        text += CsvWriter::record(record);
    QList<QuoteRecord> read;
    QString error;
    QVERIFY2(CsvReader::read(text, &read, &error), qPrintable(error));
    QCOMPARE(read.size(), records.size());
    for (qsizetype i = 0; i < records.size(); ++i)
        QVERIFY2(sameRecord(read.at(i), records.at(i)), qPrintable(text));
}

void TestCsv::readsHandWrittenFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fraces");

    QTest::newRow("LF") << "autor,frace,tema\nA,uno,T\nB,dos,T\n" << QStringList{"uno", "dos"};
    QTest::newRow("CRLF") << "autor,frace,tema\r\nA,uno,T\r\nB,dos,T\r\n" << QStringList{"uno", "dos"};
    QTest::newRow("no final line end") << "autor,frace,tema\nA,uno,T" << QStringList{"uno"};
    QTest::newRow("blank lines ignored") << "autor,frace,tema\n\nA,uno,T\n\r\n\nB,dos,T\n\n"
                                         << QStringList{"uno", "dos"};
    QTest::newRow("quoted field over lines") << "autor,frace,tema\nA,\"uno,\n\n\"\"dos\"\"\",T\nB,tres,T\n"
                                             << QStringList{"uno,\n\n\"dos\"", "tres"};
    QTest::newRow("header only") << "autor,frace,tema\n" << QStringList{};
    QTest::newRow("semicolons, as spreadsheets write in Spanish")
        << "autor;frace;tema\r\nA;\"uno; dos, tres\";T\r\nB;cuatro, cinco;T\r\n" << QStringList{"uno; dos, tres", "cuatro, cinco"};
    QTest::newRow("tabs, quoted header") << "\"autor\"\t\"frace\"\t\"tema\"\nA\tuno, dos\tT\n" << QStringList{"uno, dos"};
    QTest::newRow("CRLF inside quotes becomes LF") << "autor,frace,tema\r\nA,\"uno\r\ndos\r\n\r\ntres\",T\r\n"
                                                   << QStringList{"uno\ndos\n\ntres"};
    QTest::newRow("lone CR inside quotes becomes LF") << "autor;frace;tema\nA;\"uno\rdos\r\";T\n"
                                                      << QStringList{"uno\ndos\n"};
    QTest::newRow("byte-order mark and CRLF, as spreadsheets save")
        << QStringLiteral("\uFEFFautor,frace,tema,Index\r\nA,\"uno\ndos\",T,1\r\n") << QStringList{"uno\ndos"};
}

void TestCsv::readsHandWrittenFiles()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fraces);
    QList<QuoteRecord> read;
    QString error;
    QVERIFY2(CsvReader::read(text, &read, &error), qPrintable(error));
    QStringList got;
    for (const QuoteRecord &record : read)
        got << record.frace;
    QCOMPARE(got, fraces);
}

void TestCsv::refusesMalformedInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("where");

    QTest::newRow("other header") << "autor,frase,tema\nA,b,C\n" << "primera línea";
    QTest::newRow("no header") << "Séneca,Texto,VIDA\n" << "primera línea";
    QTest::newRow("empty file") << "" << "primera línea";
    QTest::newRow("two fields") << "autor,frace,tema\nA,b,C\nA,b\n" << "línea 3";
    QTest::newRow("four fields") << "autor,frace,tema\nA,b,C,D\n" << "línea 2";
    QTest::newRow("unclosed quote") << "autor,frace,tema\nA,b,C\nA,\"b,C\nD,e,F\n" << "línea 3";
    QTest::newRow("text after closing quote") << "autor,frace,tema\nA,\"b\"x,C\n" << "línea 2";
    QTest::newRow("quote inside plain field") << "autor,frace,tema\nA,b\"c,D\n" << "línea 2";
    QTest::newRow("line count after quoted break") << "autor,frace,tema\nA,\"b\nc\",D\nE,f\n" << "línea 4";
    QTest::newRow("semicolon header, comma rows") << "autor;frace;tema\nA;b;C\nA,b,C\n" << "línea 3";
    QTest::newRow("text after closing quote, semicolons") << "autor;frace;tema\nA;\"b\",C;D\n" << "línea 2";
}

void TestCsv::refusesMalformedInput()
{
    QFETCH(QString, text);
    QFETCH(QString, where);
    QList<QuoteRecord> read{makeRecord("previo", "previo", "previo")};
    QString error;
    QVERIFY(!CsvReader::read(text, &read, &error));
    QVERIFY2(error.contains(where), qPrintable(error));
    QCOMPARE(read.size(), 1); // nothing handed out on failure
}

QTEST_APPLESS_MAIN(TestCsv)
#include "tst_csv.moc"
