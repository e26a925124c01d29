#pragma once
// The database of the exposure record: where it lives and the tables it holds. The schema is
// an interface (sites query it with sqlite3): a change means a new user_version, and the
// writer upgrades an older file in one transaction. The rows live in the primary key itself
// (WITHOUT ROWID), so host and start are not stored twice.
//
// Version 1 held the minutes; version 2 added the meters: per host, the meter's name, location
// and level offset each time they change; version 3 the shift patterns: the site's shifts in
// force each time they change.

#include <array>
#include <cstddef>
#include <string>

inline constexpr int LevelSchemaVersion = 3;

inline constexpr char MinutesTableSql[] =
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

inline constexpr char MetersTableSql[] =
    "CREATE TABLE meters (\n"
    "  host         TEXT    NOT NULL,  -- HostName\n"
    "  since        INTEGER NOT NULL,  -- when the display first recorded these values, seconds since 1970-01-01 UTC\n"
    "  name         TEXT    NOT NULL,  -- the meter's sysName, as it reported it\n"
    "  location     TEXT    NOT NULL,  -- the meter's sysLocation, as it reported it\n"
    "  level_offset INTEGER NOT NULL,  -- LevelOffset: decibels added to the meter's levels\n"
    "  PRIMARY KEY (host, since)) WITHOUT ROWID;\n";

inline constexpr char ShiftPatternsTableSql[] =
    "CREATE TABLE shift_patterns (\n"
    "  since    INTEGER NOT NULL,  -- when the display took these shifts into force, seconds since 1970-01-01 UTC\n"
    "  shifts   TEXT    NOT NULL,  -- the shifts in force, as the setting Shifts is written: "
    "\"06:00-14:00,14:00-22:00\"\n"
    "  rejected TEXT    NOT NULL,  -- why the setting Shifts was not used and the shifts are the default; empty when "
    "it was\n"
    "  PRIMARY KEY (since)) WITHOUT ROWID;\n";

namespace level_schema_detail {

template <std::size_t... Sizes>
constexpr std::array<char, (Sizes + ...) - sizeof...(Sizes) + 1> Join(const char (&... parts)[Sizes]) {
    std::array<char, (Sizes + ...) - sizeof...(Sizes) + 1> joined{};
    std::size_t at = 0;
    for (const char* part : {static_cast<const char*>(parts)...})
        for (; *part != '\0'; ++part)
            joined[at++] = *part;
    return joined;
}

inline constexpr auto Schema =
    Join("PRAGMA user_version = 3;\n", MinutesTableSql, MetersTableSql, ShiftPatternsTableSql);
inline constexpr auto UpgradeFromOne = Join("PRAGMA user_version = 3;\n", MetersTableSql, ShiftPatternsTableSql);
inline constexpr auto UpgradeFromTwo = Join("PRAGMA user_version = 3;\n", ShiftPatternsTableSql);

}  // namespace level_schema_detail

// Run as it stands on a new file, comments and all: sqlite3's ".schema" shows the tables as
// the administrator's guide (docs/admin/record.md) documents them.
inline constexpr const char* LevelSchemaSql = level_schema_detail::Schema.data();
// Run on a file of version 1 or 2, in the same transaction as the check of its version.
inline constexpr const char* LevelUpgradeFromOneSql = level_schema_detail::UpgradeFromOne.data();
inline constexpr const char* LevelUpgradeFromTwoSql = level_schema_detail::UpgradeFromTwo.data();

// $XDG_DATA_HOME/Corvanta/Decimon/levels.sqlite3, with ~/.local/share for a missing or
// relative XDG_DATA_HOME; empty when neither it nor HOME names an absolute folder.
std::string DefaultLevelDatabasePath();
