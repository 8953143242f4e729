// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What in a tabla1 made by another tool would change what a write does
// behind the user's back: a conflict clause that deletes the record in the
// way (REPLACE) or drops the new one without a word (IGNORE), a table
// without row ids (records then have no stable number), a numeric affinity
// on a text column (it turns "1.50" into 1.5), or a collation the engine
// would compare text by other than byte for byte or ASCII case. Each
// finding is one Spanish phrase naming the column or the clause.
//
// A constraint with the default conflict action (ABORT) is not a finding:
// the write it hits fails, and that failure is reported like any other.
class SchemaRules {
public:
    struct Column {
        QString name;
        QString declaredType;
        QString collation; // empty, or the name the engine reports
    };

    // createSql is tabla1's CREATE TABLE statement as sqlite_master keeps
    // it; columns are its columns as the engine describes them.
    static QStringList writeHazards(const QString &createSql, const QList<Column> &columns);

    // The affinity the engine gives a declared type: "TEXT", "NUMERIC",
    // "INTEGER", "REAL" or "BLOB" (none).
    static QString affinity(const QString &declaredType);
};
