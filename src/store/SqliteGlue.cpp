// SPDX-License-Identifier: GPL-3.0-or-later
#include "SqliteGlue.h"

#include "FailureText.h"
#include "Interruption.h"
#include "TextRules.h"

#include <QStringDecoder>

#include <sqlcipher/sqlite3.h>

namespace {

// Stored text exactly as it is: QString::fromUtf8 would drop a U+FEFF at
// the start of a value, which then neither exports nor compares as stored.
QString utf8Text(const char *text, qsizetype bytes)
{
    if (bytes < 3 || !QByteArrayView(text, 3).startsWith("\xef\xbb\xbf"))
        return QString::fromUtf8(text, bytes);
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(text, bytes));
}

QString valueText(sqlite3_value *value, int maxBytes = -1)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    if (!text)
        return {};
    int bytes = sqlite3_value_bytes(value);
    if (maxBytes >= 0 && bytes > maxBytes)
        bytes = maxBytes;
    return utf8Text(text, bytes);
}

// sentalia_initial(autor): the plain capital the name is filed under, or NULL.
void initialFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // One code point is at most four bytes of UTF-8.
    const QChar initial = TextRules::initialOf(valueText(argv[0], 4));
    if (initial.isNull()) {
        sqlite3_result_null(ctx);
        return;
    }
    const char letter = char(initial.unicode());
    sqlite3_result_text(ctx, &letter, 1, SQLITE_TRANSIENT);
}

// sentalia_topic_key(tema): the case-insensitive comparison key of a topic.
void topicKeyFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // Most topics are plain ASCII: their key is simply the lower-case text,
    // made here without a round trip through QString.
    const auto *text = reinterpret_cast<const unsigned char *>(sqlite3_value_text(argv[0]));
    const int bytes = sqlite3_value_bytes(argv[0]);
    char small[128];
    if (bytes < int(sizeof small)) {
        bool ascii = true;
        for (int i = 0; i < bytes && ascii; ++i) {
            const unsigned char c = text[i];
            ascii = c < 0x80;
            small[i] = char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        }
        if (ascii) {
            sqlite3_result_text(ctx, small, bytes, SQLITE_TRANSIENT);
            return;
        }
    }
    const QByteArray key = TextRules::topicKey(valueText(argv[0])).toUtf8();
    sqlite3_result_text(ctx, key.constData(), int(key.size()), SQLITE_TRANSIENT);
}

// Long statements stop once a signal asks the process to end.
int interruptionCheck(void *)
{
    return Interruption::requested() != 0;
}

} // namespace

void SqliteGlue::StatementDeleter::operator()(sqlite3_stmt *stmt) const
{
    sqlite3_finalize(stmt);
}

SqliteGlue::Statement SqliteGlue::prepare(sqlite3 *db, const char *sql, int *rc)
{
    sqlite3_stmt *raw = nullptr;
    *rc = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
    Statement stmt(raw);
    if (*rc != SQLITE_OK)
        stmt.reset();
    return stmt;
}

QString SqliteGlue::columnText(sqlite3_stmt *stmt, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    if (!text)
        return {};
    return utf8Text(text, sqlite3_column_bytes(stmt, column));
}

void SqliteGlue::bindText(sqlite3_stmt *stmt, int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SqliteGlue::bindRecord(sqlite3_stmt *stmt, const QuoteRecord &record)
{
    const struct {
        bool isNull;
        const QString &value;
    } texts[] = {{record.autorIsNull, record.autor}, {record.fraceIsNull, record.frace}, {record.temaIsNull, record.tema}};
    for (int i = 0; i < 3; ++i) {
        if (texts[i].isNull)
            sqlite3_bind_null(stmt, i + 1);
        else
            bindText(stmt, i + 1, texts[i].value);
    }
    if (record.hasIndex)
        sqlite3_bind_int64(stmt, 4, record.index);
}

QuoteRecord SqliteGlue::readRecord(sqlite3_stmt *stmt)
{
    QuoteRecord record;
    record.autor = columnText(stmt, 0);
    record.frace = columnText(stmt, 1);
    record.tema = columnText(stmt, 2);
    record.temaIsNull = sqlite3_column_type(stmt, 2) == SQLITE_NULL;
    // The type is read before any conversion, which may change it.
    const int indexType = sqlite3_column_type(stmt, 3);
    record.hasIndex = indexType != SQLITE_NULL;
    if (indexType == SQLITE_FLOAT) {
        // 2.0 is the whole number 2 to the program and to the topic list.
        const double value = sqlite3_column_double(stmt, 3);
        record.index = sqlite3_column_int64(stmt, 3);
        if (value != double(record.index))
            record.indexText = columnText(stmt, 3);
    } else {
        record.index = sqlite3_column_int64(stmt, 3);
        if (indexType == SQLITE_TEXT || indexType == SQLITE_BLOB) {
            record.indexText = columnText(stmt, 3);
            if (record.indexText.isNull())
                record.indexText = QStringLiteral(""); // empty text, not NULL
        }
    }
    record.id = sqlite3_column_int64(stmt, 4);
    record.autorIsNull = sqlite3_column_type(stmt, 0) == SQLITE_NULL;
    record.fraceIsNull = sqlite3_column_type(stmt, 1) == SQLITE_NULL;
    return record;
}

QString SqliteGlue::engineMessage(sqlite3 *db, int rc)
{
    const char *message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const int code = db && rc == SQLITE_ERROR ? sqlite3_errcode(db) : rc;
    return QStringLiteral("%1 (%2)").arg(FailureText::engineReason(code),
                                         QString::fromUtf8(message ? message : sqlite3_errstr(rc)));
}

bool SqliteGlue::registerFunctions(sqlite3 *db)
{
    sqlite3_progress_handler(db, 4096, interruptionCheck, nullptr);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(db, "sentalia_initial", 1, flags, nullptr, initialFunction,
                                      nullptr, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function_v2(db, "sentalia_topic_key", 1, flags, nullptr, topicKeyFunction,
                                      nullptr, nullptr, nullptr) == SQLITE_OK;
}
