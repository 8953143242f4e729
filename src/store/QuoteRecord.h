#pragma once

#include <QString>

// One row of tabla1 as the store hands it out. Text columns that hold NULL
// come back as empty text; hasIndex/index mirror the "Index" column, and id
// is the row id, the record's stable number (0 for a record not stored yet).
struct QuoteRecord {
    qint64 id = 0;
    QString autor;
    QString frace;
    QString tema;
    bool temaIsNull = false;
    bool hasIndex = false;
    qint64 index = 0;
};
