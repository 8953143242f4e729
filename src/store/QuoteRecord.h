#pragma once

#include <QString>

// One row of tabla1 as the store hands it out. Text columns that hold NULL
// come back as empty text; hasIndex/index mirror the "Index" column.
struct QuoteRecord {
    QString autor;
    QString frace;
    QString tema;
    bool temaIsNull = false;
    bool hasIndex = false;
    qint64 index = 0;
};
