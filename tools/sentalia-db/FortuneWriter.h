#pragma once

#include "store/QuoteRecord.h"

#include <QString>

// Writes one quotation as a fortune record that FortuneParser reads back to
// the same text and author: its text line by line, then the author on an
// attribution line ("\t\t-- Séneca"; "Anónimo" when there is none), then the
// "%" separator. The topic has no place in a fortune record: it is the
// file's name.
//
// A line the parser would join to the one above, take for an attribution or
// a separator, or trim, is written after a backslash, which the parser reads
// as "this line as it stands"; an author the parser would shorten ("Séneca,
// el joven") is written after one too. What the form cannot hold: a
// carriage return at the end of a line of text, and runs of blanks in an
// author's name (written as one blank). An empty quotation has no record.
class FortuneWriter {
public:
    static QString record(const QuoteRecord &record);
};
