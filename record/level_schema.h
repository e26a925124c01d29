#pragma once
// The database of the exposure record: where it lives and the one table it holds. The schema
// is an interface (sites query it with sqlite3): a change means a new user_version.

#include <string>

inline constexpr int LevelSchemaVersion = 1;

inline constexpr char LevelSchemaSql[] = "PRAGMA user_version = 1;\n"
                                         "CREATE TABLE minutes (\n"
                                         "  host      TEXT    NOT NULL,\n"
                                         "  start     INTEGER NOT NULL,\n"
                                         "  weighting TEXT    NOT NULL,\n"
                                         "  samples   INTEGER NOT NULL,\n"
                                         "  seconds   REAL    NOT NULL,\n"
                                         "  leq       REAL    NOT NULL,\n"
                                         "  lmin      REAL    NOT NULL,\n"
                                         "  lmax      REAL    NOT NULL,\n"
                                         "  PRIMARY KEY (host, start));\n";

// $XDG_DATA_HOME/Corvanta/Decimon/levels.sqlite3, with ~/.local/share for a missing or
// relative XDG_DATA_HOME; empty when neither it nor HOME names an absolute folder.
std::string DefaultLevelDatabasePath();
