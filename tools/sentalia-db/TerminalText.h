// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Text that crosses the terminal: the arguments the user typed, the
// messages and the plain-text listings. They follow the character set of
// the user's locale (LC_CTYPE) when it is a real 8-bit one (ISO-8859-1,
// ISO-8859-15, ...); under UTF-8, and under C or POSIX (ASCII, in practice
// a UTF-8 terminal whose locale is unset), they are UTF-8. Qt's local 8-bit
// conversion is always UTF-8, so the conversion goes through iconv.
// Files the tool writes (CSV, TSV, JSON, fortune) are always UTF-8.
class TerminalText {
public:
    // The locale's character set as nl_langinfo(CODESET) names it, read
    // once; "UTF-8" when the terminal text is UTF-8.
    static QByteArray charset();
    static bool isUtf8();

    // The bytes of an argument as text; false when they are not valid in
    // the locale's character set.
    static bool decode(const QByteArray &bytes, QString *text);
    // Text for the terminal; a character the locale's set lacks becomes '?'.
    static QByteArray encode(const QString &text);

    // Tests: read the locale again (after setlocale).
    static void reset();
};
