#include "ListingPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include <cups/cups.h>

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

// Asks the print server about a queue before anything is sent to it: a
// queue that rejects jobs would swallow this one without a word, and a
// stopped one would keep it. Empty when the queue takes jobs, or when the
// server does not know it (then printing itself tells).
QString queueRefusal(const QString &name)
{
    cups_dest_t *dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    QString refusal;
    if (const cups_dest_t *dest = cupsGetDest(name.toUtf8().constData(), nullptr, count, dests)) {
        const char *accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
        const char *state = cupsGetOption("printer-state", dest->num_options, dest->options);
        if (accepting && qstrcmp(accepting, "false") == 0)
            refusal = QStringLiteral("La impresora predeterminada «%1» no acepta trabajos en este momento.\n"
                                     "Pida que vuelva a aceptarlos y vuelva a intentarlo.")
                          .arg(name);
        else if (state && QByteArray(state).toInt() == IPP_PSTATE_STOPPED)
            refusal = QStringLiteral("La impresora predeterminada «%1» está detenida.\n"
                                     "Póngala en marcha y vuelva a intentarlo.")
                          .arg(name);
    }
    cupsFreeDests(count, dests);
    return refusal;
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

    const QString refusal = queueRefusal(device.printerName());
    if (!refusal.isEmpty())
        return fail(error, refusal);

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
