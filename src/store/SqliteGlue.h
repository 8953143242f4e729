// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "QuoteRecord.h"

#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// What the store needs between Qt and the engine's C interface: text read
// and bound exactly as stored, records bound and read, the SQL functions
// the queries call, the engine's failures in words, and statements that
// finalize themselves.
class SqliteGlue {
public:
    struct StatementDeleter {
        void operator()(sqlite3_stmt *stmt) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

    // The compiled statement for sql, or none when the engine refuses it;
    // *rc receives the engine's result code either way.
    static Statement prepare(sqlite3 *db, const char *sql, int *rc);

    // A column's stored text, NULL as a null QString.
    static QString columnText(sqlite3_stmt *stmt, int column);
    // Text is always bound as text: an empty QString must never become NULL.
    static void bindText(sqlite3_stmt *stmt, int index, const QString &value);
    // The four columns as parameters 1 to 4, each NULL where the record says
    // so (a missing Index binds nothing, which is NULL too).
    static void bindRecord(sqlite3_stmt *stmt, const QuoteRecord &record);
    // A row of autor, frace, tema, "Index", rowid.
    static QuoteRecord readRecord(sqlite3_stmt *stmt);

    // The engine's failure as a Spanish phrase, its own English words after.
    static QString engineMessage(sqlite3 *db, int rc);

    // Registers sentalia_initial(autor) and sentalia_topic_key(tema) on db,
    // and lets long statements stop once a signal asks the process to end.
    static bool registerFunctions(sqlite3 *db);
};
