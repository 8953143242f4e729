// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListingPrinter.h"

#include "store/Interruption.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <QTextLayout>
#include <QtDebug>

#include <cups/cups.h>

#include <new>

namespace {

// Space left around the text on every page, in device pixels, as a text
// document leaves it.
constexpr qreal Margin = 4;
// Bytes handed to the print server at a time.
constexpr qint64 Chunk = 64 * 1024;

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

bool stopped(QString *error)
{
    if (error)
        error->clear();
    return false;
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

QString outOfMemory()
{
    return QStringLiteral("No hay memoria suficiente para imprimir la lista de frases. No se imprimió nada.");
}

// Where the line that starts at from ends: a lone CR, a lone LF, the pair
// CR LF and the Unicode line and paragraph separators each end one line,
// as the results window shows them. *next is where the following line
// starts.
qsizetype lineEnd(const QString &text, qsizetype from, qsizetype *next)
{
    const char16_t *data = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    for (qsizetype i = from; i < size; ++i) {
        const char16_t c = data[i];
        if ((c > u'\r' && c < 0x2028) || (c != u'\r' && c != u'\n' && c != 0x2028 && c != 0x2029))
            continue;
        *next = (c == u'\r' && i + 1 < size && data[i + 1] == u'\n') ? i + 2 : i + 1;
        return i;
    }
    *next = size + 1;
    return size;
}

// Asks the print server about a queue before anything is sent to it: a
// queue that rejects jobs would swallow this one without a word, and a
// stopped one would keep it. Empty when the queue takes jobs, or when the
// server does not know it (then the submission itself tells).
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

// The printer message for a job the print server did not take, from its
// last answer; its own words go to standard error.
QString lostJob(const QString &name)
{
    const ipp_status_t status = cupsLastError();
    qWarning().noquote() << "Sentalia: CUPS:" << ippErrorString(status) << "-" << cupsLastErrorString();
    switch (status) {
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return QStringLiteral("La impresora predeterminada «%1» no aceptó el trabajo. No se imprimió nada.\n"
                              "Pida que vuelva a aceptar trabajos y vuelva a intentarlo.")
            .arg(name);
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_INTERNAL:
        return QStringLiteral("Se perdió la comunicación con el servidor de impresión mientras se enviaba el trabajo "
                              "a «%1». No se imprimió nada.\n"
                              "Compruebe que el servicio de impresión esté en marcha y vuelva a intentarlo.")
            .arg(name);
    case IPP_STATUS_ERROR_NOT_FOUND:
        return QStringLiteral("El servidor de impresión ya no conoce la impresora «%1». No se imprimió nada.").arg(name);
    case IPP_STATUS_ERROR_REQUEST_ENTITY:
    case IPP_STATUS_ERROR_TOO_MANY_JOBS:
        return QStringLiteral("La impresora «%1» rechazó el trabajo por su tamaño o porque tiene demasiados en "
                              "espera. No se imprimió nada.")
            .arg(name);
    default:
        return QStringLiteral("La impresora «%1» rechazó el trabajo. No se imprimió nada.").arg(name);
    }
}

bool answered()
{
    return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
}

// Hands the finished PDF to the queue as one job. A job the server
// created but did not receive whole is cancelled and purged, so nothing
// half-sent stays queued.
bool submit(const QString &queue, const QString &pdf, QString *error)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("No se pudo leer el trabajo de impresión preparado en %1.").arg(pdf));
    const QByteArray name = queue.toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), "Sentalia", 0, nullptr);
    if (job == 0 || !answered())
        return fail(error, lostJob(queue));
    const auto abandon = [&](const QString &reason) {
        // The reason is read from the server's answer before the cancel
        // replaces it.
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 1);
        return fail(error, reason);
    };
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, "Sentalia", CUPS_FORMAT_PDF, 1)
        != HTTP_STATUS_CONTINUE)
        return abandon(lostJob(queue));
    QByteArray buffer(Chunk, Qt::Uninitialized);
    for (;;) {
        if (Interruption::requested()) {
            cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
            abandon(QString());
            return stopped(error);
        }
        const qint64 read = file.read(buffer.data(), Chunk);
        if (read < 0) {
            const QString reason = lostJob(queue);
            cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
            return abandon(reason);
        }
        if (read == 0)
            break;
        if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, buffer.constData(), size_t(read)) != HTTP_STATUS_CONTINUE) {
            cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
            const QString reason = lostJob(queue);
            return abandon(reason);
        }
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) > IPP_STATUS_OK_CONFLICTING) {
        const QString reason = lostJob(queue);
        return abandon(reason);
    }
    return true;
}

// Lays out and draws the text page by page. Each source line is laid out
// alone at the printer's resolution; its rows go onto the current page
// while they fit, and a row that does not fit starts the next page, so a
// row is never split between two pages.
bool drawPages(QPrinter &printer, QPainter &painter, const QString &text, const QFont &font, const QRectF &paper,
               QString *error, const ListingPrinter::Progress &progress)
{
    const qreal width = qMax<qreal>(1, paper.width() - 2 * Margin);
    const qreal bottom = paper.height() - Margin;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    qreal y = Margin;
    int page = 1;
    const qsizetype total = text.size();
    for (qsizetype from = 0; from <= total;) {
        qsizetype next = 0;
        const qsizetype end = lineEnd(text, from, &next);
        QTextLayout layout(text.mid(from, end - from), font, &printer);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal top = 0;
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
            row.setLeadingIncluded(true);
            row.setLineWidth(width);
            row.setPosition(QPointF(0, top));
            top += row.height();
        }
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine row = layout.lineAt(i);
            if (y + row.height() > bottom && y > Margin) {
                // A blank row that does not fit is the page break itself.
                if (row.textLength() == 0)
                    continue;
                if (progress && !progress(from, total))
                    return stopped(error);
                if (Interruption::requested())
                    return stopped(error);
                if (!printer.newPage())
                    return fail(error, QStringLiteral("La impresora «%1» dejó de responder en la página %2.")
                                           .arg(printerLabel(printer))
                                           .arg(page + 1));
                ++page;
                y = Margin;
            }
            row.draw(&painter, QPointF(Margin, y - row.y()));
            y += row.height();
        }
        from = next;
    }
    if (progress)
        progress(total, total);
    return true;
}

} // namespace

bool ListingPrinter::print(const QString &text, const QFont &font, QString *error, const Progress &progress)
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

    // The queue's own page and resolution, drawn into a file first: only
    // a print made whole is sent, and the server's answer to it is read.
    QPrinter native(device, QPrinter::HighResolution);
    if (!native.isValid() || native.outputFormat() != QPrinter::NativeFormat)
        return fail(error, QStringLiteral("La impresora predeterminada «%1» no está disponible.").arg(device.printerName()));
    const QPageLayout page = native.pageLayout();
    const int resolution = native.resolution();

    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/sentalia-XXXXXX.pdf"));
    if (!file.open())
        return fail(error, QStringLiteral("No se pudo preparar la impresión: no se puede escribir en la carpeta "
                                          "temporal %1.")
                               .arg(QDir::toNativeSeparators(QDir::tempPath())));
    file.close();
    const QByteArray temporary = QFile::encodeName(file.fileName());
    Interruption::track(temporary);

    bool printed = false;
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(file.fileName());
        pdf.setResolution(resolution);
        pdf.setPageLayout(page);
        pdf.setDocName(QStringLiteral("Sentalia"));
        QString reason;
        printed = printTo(pdf, text, font, &reason, progress);
        if (!printed && !reason.isEmpty())
            reason = QStringLiteral("No se pudo preparar la impresión para «%1»: %2")
                         .arg(device.printerName(), reason);
        if (!printed && error)
            *error = reason;
    }
    if (printed)
        printed = submit(device.printerName(), file.fileName(), error);
    file.remove();
    Interruption::release(temporary);
    return printed;
}

bool ListingPrinter::printTo(QPrinter &printer, const QString &text, const QFont &font, QString *error,
                             const Progress &progress)
{
    if (!printer.isValid())
        return fail(error, QStringLiteral("La impresora «%1» no está disponible.").arg(printerLabel(printer)));
    const QRectF paper = printer.pageLayout().paintRectPixels(printer.resolution());
    if (paper.isEmpty())
        return fail(error, QStringLiteral("La impresora «%1» no informa el tamaño de su papel.").arg(printerLabel(printer)));

    // A file that is not finished is not left behind.
    const QString output = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    const auto discard = [&] {
        if (!output.isEmpty())
            QFile::remove(output);
    };

    QPainter painter;
    if (!painter.begin(&printer) || failedState(printer)) {
        discard();
        return fail(error, QStringLiteral("No se pudo comenzar la impresión en «%1».").arg(printerLabel(printer)));
    }
    bool drawn = false;
    try {
        drawn = drawPages(printer, painter, text, font, paper, error, progress);
    } catch (const std::bad_alloc &) {
        drawn = fail(error, outOfMemory());
    }
    if (!drawn) {
        printer.abort();
        painter.end();
        discard();
        return false;
    }
    if (!painter.end() || failedState(printer)) {
        discard();
        return fail(error, QStringLiteral("La impresora «%1» no pudo terminar el trabajo.").arg(printerLabel(printer)));
    }
    // A PDF cut short (a full disk) has no end-of-file mark.
    if (!output.isEmpty()) {
        QFile written(output);
        bool whole = false;
        if (written.open(QIODevice::ReadOnly) && written.size() > 16) {
            written.seek(written.size() - 16);
            whole = written.read(16).contains("%%EOF");
        }
        if (!whole) {
            discard();
            return fail(error, QStringLiteral("No se pudo escribir la impresión completa en «%1».").arg(output));
        }
    }
    return true;
}
