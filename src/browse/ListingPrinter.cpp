#include "ListingPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

namespace {

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// The listing ends its lines with lone carriage returns; the text document
// wants line feeds. A CR LF pair, should one slip into a quotation, stays one
// line break, and so does a line feed of its own.
QString documentLines(const QString &text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

QString printerLabel(const QPrinter &printer)
{
    if (!printer.printerName().isEmpty())
        return printer.printerName();
    if (!printer.outputFileName().isEmpty())
        return printer.outputFileName();
    return QStringLiteral("la impresora");
}

bool failedState(const QPrinter &printer)
{
    const QPrinter::PrinterState state = printer.printerState();
    return state == QPrinter::Error || state == QPrinter::Aborted;
}

} // namespace

bool ListingPrinter::print(const QString &text, const QFont &font, QString *error)
{
    // Without a default printer a plain QPrinter quietly becomes a PDF
    // printer with no file to write to, and the job vanishes: ask first.
    const QPrinterInfo device = QPrinterInfo::defaultPrinter();
    if (device.isNull())
        return fail(error, QStringLiteral("No hay ninguna impresora predeterminada instalada en el sistema.\n"
                                          "Instale una impresora o elija una como predeterminada y vuelva a intentarlo."));

    QPrinter printer(device, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat)
        return fail(error, QStringLiteral("La impresora predeterminada «%1» no está disponible.").arg(device.printerName()));
    printer.setDocName(QStringLiteral("Sentalia"));
    return printTo(printer, text, font, error);
}

bool ListingPrinter::printTo(QPrinter &printer, const QString &text, const QFont &font, QString *error)
{
    if (!printer.isValid())
        return fail(error, QStringLiteral("La impresora «%1» no está disponible.").arg(printerLabel(printer)));

    // Lay the text out at the printer's own resolution, one page of the
    // document per printed page; lines are kept whole, never split between
    // two pages.
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&printer);
    document.setDefaultFont(font);
    document.setPlainText(documentLines(text));
    const QRectF paper = printer.pageLayout().paintRectPixels(printer.resolution());
    if (paper.isEmpty())
        return fail(error, QStringLiteral("La impresora «%1» no informa el tamaño de su papel.").arg(printerLabel(printer)));
    document.setPageSize(paper.size());

    QPainter painter;
    if (!painter.begin(&printer) || failedState(printer))
        return fail(error, QStringLiteral("No se pudo comenzar la impresión en «%1».").arg(printerLabel(printer)));

    const int pages = qMax(1, document.pageCount());
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer.newPage()) {
            printer.abort();
            painter.end();
            return fail(error, QStringLiteral("La impresora «%1» dejó de responder en la página %2.")
                                   .arg(printerLabel(printer))
                                   .arg(page + 1));
        }
        const QRectF area(0, page * paper.height(), paper.width(), paper.height());
        painter.save();
        painter.translate(0, -area.top());
        document.drawContents(&painter, area);
        painter.restore();
    }

    if (!painter.end() || failedState(printer))
        return fail(error, QStringLiteral("La impresora «%1» no pudo terminar el trabajo.").arg(printerLabel(printer)));
    return true;
}
