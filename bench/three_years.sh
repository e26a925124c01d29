# Sourced by the benchmarks over three years of one host's minutes (levels_bench.sh and
# report_bench.sh). three_years NAME BUILD_DIR TOOL... checks that the tools are there (with
# the tests' seed-levels of BUILD_DIR), makes a private folder for the run ($work, removed at
# exit) with the program's XDG folders in it, and seeds the user's record ($database) with
# 1,096 days of minutes (1,578,240 rows) from $first 00:00 Berlin time; the last day is $last
# and $from the first minute's start.
three_years() {
    local name=$1 build=$2 tool
    shift 2
    local seed=$build/tests/app/seed-levels
    for tool in "$seed" /usr/bin/time "$@"; do
        command -v "$tool" >/dev/null || {
            echo "$name: $tool is missing" >&2
            exit 1
        }
    done
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    export TZ=Europe/Berlin XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/none
    database=$XDG_DATA_HOME/Corvanta/Decimon/levels.sqlite3
    first=2023-12-01
    last=2026-11-30
    from=$(date -d "$first 00:00" +%s)
    "$seed" "$database" soundmeter "$from" 1578240 84.5
}

# The line that `measure "$@"` (the benchmark's own) prints for the median of $runs runs, by
# its first figure, the wall time.
median_run() {
    for ((run = 0; run < runs; ++run)); do
        measure "$@"
    done | sort -n | awk -v middle=$(((runs + 1) / 2)) 'NR == middle'
}
