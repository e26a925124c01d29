#pragma once
// The database of the exposure record: where it lives and the one table it holds. The schema
// is an interface (sites query it with sqlite3): a change means a new user_version. The rows
// live in the primary key itself (WITHOUT ROWID), so host and start are not stored twice.

#include <string>

inline constexpr int LevelSchemaVersion = 1;

// Run as it stands on a new file, comments and all: sqlite3's ".schema" shows the table as the
// administrator's guide (docs/admin-guide.md) documents it.
inline constexpr char LevelSchemaSql[] =
    "PRAGMA user_version = 1;\n"
    "CREATE TABLE minutes (\n"
    "  host      TEXT    NOT NULL,  -- HostName while the minute was recorded\n"
    "  start     INTEGER NOT NULL,  -- start of the minute, seconds since 1970-01-01 UTC, a multiple of 60\n"
    "  weighting TEXT    NOT NULL,  -- \"dBA\", \"dBC\", \"dBz\" or \"---\", as shown\n"
    "  samples   INTEGER NOT NULL,  -- good polls taken in the minute\n"
    "  seconds   REAL    NOT NULL,  -- time covered: polls' intervals split at the minute's turn, at most 60\n"
    "  leq       REAL    NOT NULL,  -- energy mean of the shown levels, weighted by the seconds each stood for\n"
    "  lmin      REAL    NOT NULL,\n"
    "  lmax      REAL    NOT NULL,\n"
    "  PRIMARY KEY (host, start)) WITHOUT ROWID;\n";

// $XDG_DATA_HOME/Corvanta/Decimon/levels.sqlite3, with ~/.local/share for a missing or
// relative XDG_DATA_HOME; empty when neither it nor HOME names an absolute folder.
std::string DefaultLevelDatabasePath();
