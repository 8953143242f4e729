// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// One row of tabla1 as the store hands it out. Text columns that hold NULL
// come back as empty text; hasIndex/index mirror the "Index" column, and id
// is the row id, the record's stable number (0 for a record not stored yet).
// The IsNull flags tell a NULL column from empty text, so that a copy of a
// collection keeps both as they were.
//
// A collection made by another tool may hold an Index that is not a whole
// number (1.5, "uno"): index then is what the engine makes of it as an
// integer, as the program reads it, and indexText keeps the stored value as
// text, so that an export can write it as it is. indexText is null (not
// just empty) for a whole number, also one stored as 2.0, and for NULL.
struct QuoteRecord {
    qint64 id = 0;
    QString autor;
    QString frace;
    QString tema;
    bool temaIsNull = false;
    bool hasIndex = false;
    qint64 index = 0;
    bool autorIsNull = false;
    bool fraceIsNull = false;
    QString indexText;
};
