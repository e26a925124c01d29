// seed-levels DATABASE HOST START COUNT LEVEL [WEIGHTING]: adds COUNT whole minutes of HOST at
// LEVEL dB (one poll a second each), the first starting at START (UTC seconds, a multiple of
// 60), to the display's exposure record; makes the database with the record's schema first
// when there is none. For the whole-program tests, which seed a record before the display
// starts.
#include "record/level_schema.h"
#include "record/sqlite_db.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

int Fail(SqliteDb& db, const char* what) {
    if (db.IsOpen())
        db.Fail();  // takes SQLite's message of the call that failed
    std::fprintf(stderr, "seed-levels: %s: %s\n", what, db.Error().c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "usage: seed-levels DATABASE HOST START COUNT LEVEL [WEIGHTING]\n");
        return 2;
    }
    const std::filesystem::path path = argv[1];
    const std::string host = argv[2];
    const std::int64_t start = std::strtoll(argv[3], nullptr, 10);
    const long count = std::strtol(argv[4], nullptr, 10);
    const double level = std::strtod(argv[5], nullptr);
    const std::string weighting = argc == 7 ? argv[6] : "dBA";

    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    SqliteDb db;
    if (!db.Open(path.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, 1000))
        return Fail(db, "open");
    if (db.QueryInteger("PRAGMA user_version", 0) == 0 &&
        !(db.Exec("PRAGMA journal_mode = WAL") && db.Exec(LevelSchemaSql)))
        return Fail(db, "schema");
    SqliteStatement insert = db.Prepare("INSERT INTO minutes VALUES (?1, ?2, ?3, 60, 60.0, ?4, ?4, ?4)");
    if (!insert.Valid() || !db.Exec("BEGIN"))
        return Fail(db, "insert");
    for (long minute = 0; minute < count; ++minute) {
        insert.Bind(1, host);
        insert.Bind(2, start + 60 * static_cast<std::int64_t>(minute));
        insert.Bind(3, weighting);
        insert.Bind(4, level);
        if (insert.Step() != SQLITE_DONE)
            return Fail(db, "insert");
        insert.Reset();
    }
    return db.Exec("COMMIT") ? 0 : Fail(db, "commit");
}
