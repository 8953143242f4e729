// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"

#include <QString>

// Writes one quotation as a fortune record that FortuneParser reads back to
// the same text and author, and that Debian's fortune shows as the
// quotation reads: its text line by line, then the author on an attribution
// line ("\t\t-- Séneca"; "Anónimo" when there is none), then the "%"
// separator. The topic has no place in a fortune record: it is the file's
// name.
//
// Where the parser would read a line otherwise (join it to the next one,
// trim its blanks, take it for a separator) or would cut the author
// ("Séneca, el joven (4 a.C.)", "?"), the line ends in a tab, which no
// reader sees and the parser reads as "this line as it stands". Two kinds of
// line still need a visible backslash at their start: one made of "%" and
// blanks other than a lone "%", and one that starts with a byte-order mark.
// What the form cannot hold: tabs and line breaks in an author, written as
// blanks. An empty quotation has no record.
class FortuneWriter {
public:
    static QString record(const QuoteRecord &record);
};
