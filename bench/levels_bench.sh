#!/usr/bin/env bash
# decimon-levels over three years of one host's minutes (1,578,240 rows): the time and peak
# memory (RSS) of the daily summary, of the figures of three shifts a day, of their weekly levels and of the minute
# export, beside the sqlite3 shell computing the same daily sums with a GROUP BY. Each is run RUNS times; the median is shown.
#
#   bench/levels_bench.sh [BUILD_DIR] [RUNS]      (default: build, 3)
#
# Needs the tests' build (seed-levels makes the database), /usr/bin/time and sqlite3.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-3}
levels=$build/levels/decimon-levels
. bench/three_years.sh
three_years levels_bench "$build" "$levels" sqlite3
to=$(date -d "$last 00:00 + 1 day" +%s)
echo "database: $(du -m "$database" | cut -f1) MB, $(sqlite3 -readonly "$database" 'SELECT count(*) FROM minutes') rows"

group_by="SELECT date(start, 'unixepoch', 'localtime') AS day, host, group_concat(DISTINCT weighting),
  sum(seconds), 10 * log10(sum(seconds * pow(10, leq / 10)) / sum(seconds)),
  10 * log10(sum(seconds * pow(10, leq / 10)) / 28800),
  100 * sum(seconds * pow(10, (leq - 85) / 10)) / (8 * 3600), max(lmax)
  FROM minutes WHERE start >= $from AND start < $to GROUP BY day, host ORDER BY day, host"

# Prints "wall-seconds cpu-seconds max-rss-kB" of one run of the command, its output dropped.
measure() {
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null
    awk '{ printf "%.2f %.2f %d\n", $1, $2 + $3, $4 }' "$work/time"
}

# The median run as a row of the table.
median() {
    local name=$1
    shift
    median_run "$@" | awk -v name="$name" '{ printf "| %s | %.2f s | %.2f s | %.1f MB |\n", name, $1, $2, $3 / 1024 }'
}

echo "| | wall time | CPU time | peak RSS |"
echo "| --- | --- | --- | --- |"
median "decimon-levels --daily" "$levels" --daily --from "$first" --to "$last"
median "decimon-levels --shifts" "$levels" --shifts --from "$first" --to "$last"
median "decimon-levels --weeks" "$levels" --weeks --from "$first" --to "$last"
median "sqlite3 GROUP BY" sqlite3 -readonly "$database" "$group_by"
median "decimon-levels (minutes)" "$levels" --from "$first" --to "$last"
