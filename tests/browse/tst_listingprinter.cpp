// SPDX-License-Identifier: GPL-3.0-or-later
// Printing a listing: the text goes to a PDF printer through the same code
// the default printer uses, and pdftotext (poppler-utils) reads it back.

#include "AllocationFailure.h"
#include "NoPrintServer.h"
#include "app/AppSetup.h"
#include "browse/Listing.h"
#include "browse/ListingPrinter.h"
#include "skin/Skin.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString &pdf)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

int pdfPages(const QString &pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"),
                                                         QRegularExpression::MultilineOption)
                                          .match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The lines that carry text, trimmed.
QStringList textLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(QRegularExpression(QStringLiteral("[\\n\\f]")))) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines;
}

QString squeezed(const QString &text)
{
    return text.simplified();
}

QFont listingFont()
{
    return Skin::comic(9.75, true);
}

} // namespace

class TestListingPrinter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void printsTheTextLineByLine_data();
    void printsTheTextLineByLine();
    void longListingPrintsOnSeveralPagesInOneDocument();
    void thousandsOfPagesPrintWhole();
    void printsInTheGivenFont_data();
    void printsInTheGivenFont();
    void unwritableOutputIsReported();
    void outOfMemoryIsReported();
    void noDefaultPrinterIsReported();

private:
    QString printToPdf(const QString &text, const QFont &font);
    static void toPdf(QPrinter &printer, const QString &path);

    QTemporaryDir m_dir;
    QString m_error; // why printToPdf() failed
    NoPrintServer m_printServer;
    int m_files = 0;
};

void TestListingPrinter::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const char *tool : {"pdftotext", "pdfinfo", "pdffonts"})
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
                 qPrintable(QStringLiteral("%1 missing: install poppler-utils").arg(QLatin1String(tool))));
    AppSetup::configure(*qApp);
    // No print server for this process: the default-printer case below
    // must meet a machine without printers, whatever this one has.
    QVERIFY2(m_printServer.isValid(), qPrintable(m_printServer.error()));
}

void TestListingPrinter::toPdf(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

// The PDF the text was printed to, or nothing (and m_error says why).
QString TestListingPrinter::printToPdf(const QString &text, const QFont &font)
{
    const QString path = m_dir.filePath(QStringLiteral("listing%1.pdf").arg(++m_files));
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, path);
    m_error.clear();
    return ListingPrinter::printTo(printer, text, font, &m_error) ? path : QString();
}

void TestListingPrinter::printsTheTextLineByLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("absent");
    // Rows of the page from each printed line to the next: one CR ends a
    // line, two leave a blank line, a CR LF pair counts as one line end.
    QTest::addColumn<QList<int>>("steps");

    Listing listing;
    listing.add(QStringLiteral("La amistad es un alma que habita en dos cuerpos."), QStringLiteral("Aristóteles"));
    listing.add(QStringLiteral("Poderoso caballero es don Dinero."), QStringLiteral("Quevedo"));
    listing.add(QStringLiteral("El movimiento no existe."), QStringLiteral("zenón de Elea"));

    QTest::newRow("whole listing")
        << listing.text()
        << QStringList{QStringLiteral("La amistad es un alma que habita en dos cuerpos."), QStringLiteral("--Aristóteles--"),
                       QStringLiteral("Poderoso caballero es don Dinero."), QStringLiteral("--Quevedo--"),
                       QStringLiteral("El movimiento no existe."), QStringLiteral("--zenón de Elea--")}
        << QStringList{} << QList<int>{1, 2, 1, 2, 1};

    // What the results window hands over when part of the text is selected.
    const QString selection = QStringLiteral("Poderoso caballero es don Dinero.\r--Quevedo--");
    QVERIFY(listing.text().contains(selection));
    QTest::newRow("selection only")
        << selection
        << QStringList{QStringLiteral("Poderoso caballero es don Dinero."), QStringLiteral("--Quevedo--")}
        << QStringList{QStringLiteral("Aristóteles"), QStringLiteral("amistad"), QStringLiteral("zenón"),
                       QStringLiteral("movimiento")}
        << QList<int>{1};

    QTest::newRow("selection inside a line")
        << QStringLiteral("caballero es don")
        << QStringList{QStringLiteral("caballero es don")}
        << QStringList{QStringLiteral("Poderoso"), QStringLiteral("Dinero"), QStringLiteral("Quevedo")}
        << QList<int>{};

    QTest::newRow("blank lines kept, line feed inside a quotation")
        << QString(Listing::block(QStringLiteral("Texto con\nsalto de línea."), QStringLiteral("Yeats")) +
                   QStringLiteral("\r\r\r") + Listing::block(QStringLiteral("Otra."), QStringLiteral("Nadie")))
        << QStringList{QStringLiteral("Texto con"), QStringLiteral("salto de línea."), QStringLiteral("--Yeats--"),
                       QStringLiteral("Otra."), QStringLiteral("--Nadie--")}
        << QStringList{} << QList<int>{1, 1, 3, 1};

    QTest::newRow("apostrophes and accents")
        << Listing::block(QStringLiteral("L'homme est un apprenti, la douleur est son maître."), QStringLiteral("D'Alembert"))
        << QStringList{QStringLiteral("L'homme est un apprenti, la douleur est son maître."), QStringLiteral("--D'Alembert--")}
        << QStringList{} << QList<int>{1};

    QTest::newRow("line breaks keep their count")
        << QStringLiteral("uno\r\ndos\rtres\r\rcuatro")
        << QStringList{QStringLiteral("uno"), QStringLiteral("dos"), QStringLiteral("tres"), QStringLiteral("cuatro")}
        << QStringList{} << QList<int>{1, 1, 2};

    // A search that found nothing is printed all the same.
    QTest::newRow("empty listing: one blank page") << QString() << QStringList{} << QStringList{} << QList<int>{};
}

void TestListingPrinter::printsTheTextLineByLine()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, absent);
    QFETCH(QList<int>, steps);

    const QString pdf = printToPdf(text, listingFont());
    QVERIFY2(!pdf.isEmpty(), qPrintable(m_error));
    QCOMPARE(pdfPages(pdf), 1);
    const QString printed = pdfText(pdf);
    QCOMPARE(textLines(printed), lines);
    for (const QString &word : absent)
        QVERIFY2(!printed.contains(word), qPrintable(word));

    if (steps.isEmpty())
        return;
    const QStringList raw = printed.split(QLatin1Char('\n'));
    QList<int> found;
    qsizetype row = -1;
    for (const QString &line : lines) {
        const qsizetype next = raw.indexOf(QRegularExpression(
            QStringLiteral("^\\s*%1\\s*$").arg(QRegularExpression::escape(line))), row + 1);
        QVERIFY2(next > row, qPrintable(line));
        if (row >= 0)
            found << int(next - row);
        row = next;
    }
    QCOMPARE(found, steps);
}

void TestListingPrinter::longListingPrintsOnSeveralPagesInOneDocument()
{
    Listing listing;
    const int records = 150;
    for (int i = 1; i <= records; ++i)
        listing.add(QStringLiteral("Frase número %1 de la prueba de varias páginas.").arg(i), QStringLiteral("Autor %1").arg(i));

    const QString pdf = printToPdf(listing.text(), listingFont());
    QVERIFY2(!pdf.isEmpty(), qPrintable(m_error));
    const int pages = pdfPages(pdf);
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));

    // Every quotation and author line exactly once, in order, none cut at a
    // page break.
    const QStringList lines = textLines(pdfText(pdf));
    QCOMPARE(lines.size(), 2 * records);
    for (int i = 1; i <= records; ++i) {
        QCOMPARE(lines.at(2 * (i - 1)), QStringLiteral("Frase número %1 de la prueba de varias páginas.").arg(i));
        QCOMPARE(lines.at(2 * (i - 1) + 1), QStringLiteral("--Autor %1--").arg(i));
    }
    // Each page carries text: nothing was laid out beyond the last page.
    for (int page = 1; page <= pages; ++page) {
        const QString text = run(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf,
                                  QStringLiteral("-")});
        QVERIFY2(!squeezed(text).isEmpty(), qPrintable(QStringLiteral("page %1 is blank").arg(page)));
    }
}

// Past 2^31 / 64 device pixels (about 2,500 A4 pages at 1,200 dpi) one
// long layout would overflow its coordinates; page by page it does not.
void TestListingPrinter::thousandsOfPagesPrintWhole()
{
    Listing listing;
    const int records = 72000;
    for (int i = 1; i <= records; ++i)
        listing.add(QStringLiteral("Frase %1 de una lista muy larga, de miles de páginas.").arg(i), QStringLiteral("Autor %1").arg(i));

    const QString path = m_dir.filePath(QStringLiteral("thousands.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, path);
    printer.setResolution(1200);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QString error;
    int calls = 0;
    QVERIFY2(ListingPrinter::printTo(printer, listing.text(), listingFont(), &error,
                                     [&calls](qsizetype, qsizetype) { return ++calls > 0; }),
             qPrintable(error));
    const int pages = pdfPages(path);
    QVERIFY2(pages > 2800, qPrintable(QString::number(pages)));
    // The progress was told between the pages.
    QCOMPARE(calls, pages);

    const auto page = [&](int number) {
        return squeezed(run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(number), QStringLiteral("-l"),
                                                          QString::number(number), path, QStringLiteral("-")}));
    };
    QVERIFY2(page(1).startsWith(QStringLiteral("Frase 1 de una lista muy larga, de miles de páginas. --Autor 1--")),
             qPrintable(page(1).left(200)));
    const QString last = page(pages);
    QVERIFY2(last.endsWith(QStringLiteral("Frase %1 de una lista muy larga, de miles de páginas. --Autor %1--").arg(records)),
             qPrintable(last.right(200)));
    QVERIFY2(!page(pages / 2 + 1).isEmpty(), "a page in the middle is blank");
}

void TestListingPrinter::printsInTheGivenFont_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<QString>("fontName");
    QTest::addColumn<QString>("otherName");

    QTest::newRow("listing font") << Skin::comic(9.75, true) << QStringLiteral("ComicNeue-Bold")
                                  << QStringLiteral("LiberationSans");
    QTest::newRow("another font") << Skin::arial(12, false) << QStringLiteral("LiberationSans")
                                  << QStringLiteral("ComicNeue");
}

void TestListingPrinter::printsInTheGivenFont()
{
    QFETCH(QFont, font);
    QFETCH(QString, fontName);
    QFETCH(QString, otherName);

    const QString pdf = printToPdf(Listing::block(QStringLiteral("Caminante, no hay camino."), QStringLiteral("Machado")), font);
    QVERIFY2(!pdf.isEmpty(), qPrintable(m_error));
    const QString fonts = run(QStringLiteral("pdffonts"), {pdf});
    QVERIFY2(fonts.contains(fontName), qPrintable(fonts));
    QVERIFY2(!fonts.contains(otherName), qPrintable(fonts));
}

void TestListingPrinter::unwritableOutputIsReported()
{
    const QString path = m_dir.filePath(QStringLiteral("no/such/folder/listing.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, path);
    QString error;
    QVERIFY(!ListingPrinter::printTo(printer, QStringLiteral("Algo que imprimir.\r--Alguien--\r\r"), listingFont(), &error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY(!QFile::exists(path));
}

// Memory runs out half-way through the pages (a quotation far longer than
// the rest comes to be laid out): the message, and no file left behind.
void TestListingPrinter::outOfMemoryIsReported()
{
    Listing listing;
    for (int i = 1; i <= 200; ++i)
        listing.add(QStringLiteral("Frase corta %1.").arg(i), QStringLiteral("Autor %1").arg(i));
    listing.add(QStringLiteral("palabra ").repeated(8000), QStringLiteral("Autor prolijo"));

    const QString path = m_dir.filePath(QStringLiteral("no-memory.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, path);
    QString error;
    bool armed = false;
    const bool printed =
        ListingPrinter::printTo(printer, listing.text(), listingFont(), &error, [&armed](qsizetype, qsizetype) {
            if (!armed)
                AllocationFailure::failAbove(1024 * 1024);
            armed = true;
            return true;
        });
    const int refused = AllocationFailure::refused();
    AllocationFailure::failAbove(0);
    QVERIFY2(refused > 0, "no allocation was refused");
    QVERIFY(!printed);
    QVERIFY2(error.startsWith(QLatin1String("No hay memoria suficiente para imprimir")), qPrintable(error));
    QVERIFY(!QFile::exists(path));
}

void TestListingPrinter::noDefaultPrinterIsReported()
{
    QVERIFY2(QPrinterInfo::defaultPrinter().isNull(), "this process should see no print server");
    QString error;
    QVERIFY(!ListingPrinter::print(QStringLiteral("Algo que imprimir.\r--Alguien--\r\r"), listingFont(), &error));
    QVERIFY2(error.contains(QLatin1String("No hay ninguna impresora predeterminada")), qPrintable(error));
}

QTEST_MAIN(TestListingPrinter)
#include "tst_listingprinter.moc"
