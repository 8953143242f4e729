#pragma once

#include "store/QuoteRecord.h"

#include <QString>

// Writes one quotation as a fortune record: its text as it stands, then the
// author on an attribution line ("\t\t-- Séneca"), then the "%" separator.
// The topic has no place in a fortune record: it is the file's name.
class FortuneWriter {
public:
    static QString record(const QuoteRecord &record);
};
