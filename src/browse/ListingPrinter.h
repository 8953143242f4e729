#pragma once

#include <QFont>
#include <QString>

class QPrinter;

// Prints a listing as the results window shows it: the given text (lone
// carriage returns start new lines) in the given font, page after page, as
// one job. No dialog, no header or footer.
class ListingPrinter {
public:
    // On the system's default printer. False, with a reason in Spanish,
    // when there is no printer or the job fails.
    static bool print(const QString &text, const QFont &font, QString *error);
    // On a printer the caller set up (a PDF file in the tests).
    static bool printTo(QPrinter &printer, const QString &text, const QFont &font, QString *error);
};
