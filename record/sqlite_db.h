#pragma once
// A SQLite connection and its prepared statements, closed by their owners. Nothing throws:
// each call reports success, and the connection keeps SQLite's message of the last failure.

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class SqliteStatement {
public:
    SqliteStatement() = default;
    explicit SqliteStatement(sqlite3_stmt* statement) : statement_(statement) {}

    bool Valid() const { return statement_ != nullptr; }
    sqlite3_stmt* Get() const { return statement_.get(); }

    // Binding by position, counted from 1.
    void Bind(int index, std::string_view text);
    void Bind(int index, std::int64_t number);
    void Bind(int index, double number);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    // Clears the bindings' results for the next run.
    void Reset();

    std::string Text(int column) const;
    std::int64_t Integer(int column) const { return sqlite3_column_int64(statement_.get(), column); }
    double Real(int column) const { return sqlite3_column_double(statement_.get(), column); }
    bool IsNull(int column) const { return sqlite3_column_type(statement_.get(), column) == SQLITE_NULL; }

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
    };
    std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

class SqliteDb {
public:
    SqliteDb() = default;
    ~SqliteDb() { Close(); }
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // sqlite3_open_v2 with `flags` and a page cache of 256 kB; on failure the connection stays closed and Error() says
    // why. The busy time-out bounds every wait for another process's lock.
    bool Open(const std::string& path, int flags, int busyTimeoutMs);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    sqlite3* Get() const { return db_; }

    // Runs one or more statements without results.
    bool Exec(const char* sql);
    // An invalid statement when `sql` does not compile.
    SqliteStatement Prepare(const char* sql);
    // The first column of the first row of `sql`; `fallback` when there is none.
    std::int64_t QueryInteger(const char* sql, std::int64_t fallback);

    // SQLite's message and result code of the last failure.
    const std::string& Error() const { return error_; }
    int ErrorCode() const { return errorCode_; }

    // Takes the connection's current message and code as the last failure; returns false.
    bool Fail();

private:
    sqlite3* db_ = nullptr;
    std::string error_;
    int errorCode_ = SQLITE_OK;
};
