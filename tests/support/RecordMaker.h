// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"

// A record as a test writes it down: author, text, topic (NULL if asked).
inline QuoteRecord makeRecord(const QString &autor, const QString &frace, const QString &tema,
                              bool temaIsNull = false)
{
    QuoteRecord record;
    record.autor = autor;
    record.frace = frace;
    record.tema = tema;
    record.temaIsNull = temaIsNull;
    return record;
}
