#include "record/sqlite_db.h"

void SqliteStatement::Bind(int index, std::string_view text) {
    sqlite3_bind_text(statement_.get(), index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::Bind(int index, std::int64_t number) {
    sqlite3_bind_int64(statement_.get(), index, number);
}

void SqliteStatement::Bind(int index, double number) {
    sqlite3_bind_double(statement_.get(), index, number);
}

int SqliteStatement::Step() {
    return sqlite3_step(statement_.get());
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_.get());
}

std::string SqliteStatement::Text(int column) const {
    const auto* text = sqlite3_column_text(statement_.get(), column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(statement_.get(), column)))
                : std::string();
}

bool SqliteDb::Open(const std::string& path, int flags, int busyTimeoutMs) {
    Close();
    sqlite3* db = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (result != SQLITE_OK) {
        error_ = db ? sqlite3_errmsg(db) : sqlite3_errstr(result);
        errorCode_ = db ? sqlite3_extended_errcode(db) : result;
        sqlite3_close_v2(db);
        return false;
    }
    db_ = db;
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    // A minute's write and a day's read touch a few dozen pages; the default cache (2 MB a
    // connection) would fill up with a whole file's pages at the check after opening and stay
    // full for the display's life.
    sqlite3_exec(db_, "PRAGMA cache_size = -256", nullptr, nullptr, nullptr);
    return true;
}

void SqliteDb::Close() {
    if (db_ != nullptr)
        sqlite3_close_v2(db_);  // a statement still held closes it when finalized
    db_ = nullptr;
}

bool SqliteDb::Exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK || Fail();
}

SqliteStatement SqliteDb::Prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) {
        Fail();
        return {};
    }
    return SqliteStatement(statement);
}

std::int64_t SqliteDb::QueryInteger(const char* sql, std::int64_t fallback) {
    SqliteStatement statement = Prepare(sql);
    if (!statement.Valid())
        return fallback;
    const int result = statement.Step();
    if (result == SQLITE_ROW)
        return statement.Integer(0);
    if (result != SQLITE_DONE)
        Fail();
    return fallback;
}

bool SqliteDb::Fail() {
    error_ = db_ ? sqlite3_errmsg(db_) : "no database";
    errorCode_ = db_ ? sqlite3_extended_errcode(db_) : SQLITE_MISUSE;
    return false;
}
