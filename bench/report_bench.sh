#!/usr/bin/env bash
# decimon-report over three years of one host's minutes (1,578,240 rows) judged in three shifts
# a day: the time, peak memory (RSS) and file size of a month's report (31 day pages and the
# summary) and of a year's (366 day pages), against the targets of 1 s and 64 MB for the month
# and 5 s and 64 MB for the year. Each is run RUNS times; the median is shown.
#
#   bench/report_bench.sh [BUILD_DIR] [RUNS]      (default: build, 3)
#
# Needs the tests' build (seed-levels makes the database), /usr/bin/time and pdfinfo.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-3}
report=$build/report/decimon-report
. bench/three_years.sh
three_years report_bench "$build" "$report" pdfinfo
echo "database: $(du -m "$database" | cut -f1) MB, 1578240 rows; load average $(cut -d' ' -f1-3 /proc/loadavg)"

# Prints "wall-seconds cpu-seconds max-rss-kB file-bytes pages" of one run.
measure() {
    rm -f "$work/report.pdf"
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$report" "$@" --output "$work/report.pdf"
    local size pages
    size=$(stat -c %s "$work/report.pdf")
    pages=$(pdfinfo "$work/report.pdf" | awk '/^Pages:/ { print $2 }')
    awk -v size="$size" -v pages="$pages" '{ printf "%.2f %.2f %d %d %d\n", $1, $2 + $3, $4, size, pages }' "$work/time"
}

# The median run as a row of the table.
median() {
    local name=$1
    shift
    median_run "$@" | awk -v name="$name" \
        '{ printf "| %s | %d | %.2f s | %.2f s | %.1f MB | %.2f MB |\n", name, $5, $1, $2, $3 / 1024, $4 / 1048576 }'
}

echo "| report | pages | wall time | CPU time | peak RSS | file |"
echo "| --- | --- | --- | --- | --- | --- |"
median "month (2026-10)" --from 2026-10-01 --to 2026-10-31
median "year (2024)" --from 2024-01-01 --to 2024-12-31
