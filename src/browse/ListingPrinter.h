// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

#include <functional>

class QPrinter;

// Prints a listing as the results window shows it: the given text (lone
// carriage returns start new lines) in the given font, page after page, as
// one job. No dialog, no header or footer.
//
// The text is laid out and drawn one page at a time, each page in its own
// coordinates, so a listing of any length prints whole: nothing is ever
// placed thousands of pages down one long layout.
//
// A print that cannot be made whole is not sent. Every failure comes back
// as false with a Spanish sentence in *error; a print stopped on purpose
// (by the progress function or by a signal) comes back as false with an
// empty *error.
class ListingPrinter {
public:
    // Told how many characters of the total are laid out, between pages;
    // false stops the print.
    using Progress = std::function<bool(qsizetype done, qsizetype total)>;

    // On the system's default printer: the pages go to a temporary PDF at
    // the queue's page size and resolution, and that file is handed to the
    // print server as one job, which is confirmed or reported lost.
    static bool print(const QString &text, const QFont &font, QString *error, const Progress &progress = {});
    // On a printer the caller set up (a PDF file in the tests).
    static bool printTo(QPrinter &printer, const QString &text, const QFont &font, QString *error,
                        const Progress &progress = {});
};
