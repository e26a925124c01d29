#!/usr/bin/env bash
# The whole display's idle cost on a wall screen: the program under Xvfb at a given screen size,
# polling the meter simulator (a moving level) once a second, with a private settings file.
# After the first painted level it samples the display process for 60 s and prints one line per
# figure: CPU share of one core (from /proc/PID/stat), PSS and RSS (from smaps_rollup) at 30 s
# and at 60 s, and the time from start to the first painted level.
#   bench/whole_program.sh [WIDTHxHEIGHT] [BUILD_DIR]
# WIDTHxHEIGHT defaults to 1920x1080; BUILD_DIR (default build) is configured and built if
# needed; a folder that holds only app/decimon and tools/decimon-meter-sim is used as it is.
# SAMPLE_SECONDS (default 60) shortens the sample for a quick look. The display keeps its
# exposure record (in the session's private folder) unless RECORD_LEVELS=0; the script says how
# many minutes it recorded. METRICS=1 turns its metrics endpoint on (on loopback) and has a
# Prometheus of the session's own scrape it every second. PSS shares each library's pages among
# the processes that map it, so the script says how many other processes map Qt's GUI library
# at each sample: for the figures of a quiet run, none. SMAPS=FILE keeps a copy of the display's /proc/PID/smaps at the
# end, for a look at where the memory goes (bench/smaps_by_file.sh sums it by file).
# DECIMON_LANGUAGE=CODE sets the display's Language (de, fr, ...), for its cost beside English.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-1920x1080}
build=${2:-$root/build}
sample=${SAMPLE_SECONDS:-60}
[[ $size =~ ^([0-9]+)x([0-9]+)$ ]] || { echo "usage: $0 [WIDTHxHEIGHT] [BUILD_DIR]" >&2; exit 2; }
width=${BASH_REMATCH[1]} height=${BASH_REMATCH[2]}

if [ -f "$build/build.ninja" ] || [ ! -e "$build" ]; then
  [ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --parallel 2 --target decimon decimon-meter-sim >/dev/null
fi
decimon=$build/app/decimon simulator=$build/tools/decimon-meter-sim
[ -x "$decimon" ] && [ -x "$simulator" ] || { echo "no decimon or decimon-meter-sim in $build" >&2; exit 1; }

. "$root/tests/app/x_session.sh"
session_begin idle
start_xvfb "$size"
start_simulator "$simulator" --walk --name "Idle bench" --location "Xvfb"
record_setting=()
[ "${RECORD_LEVELS:-1}" != 0 ] || record_setting=('"RecordLevels"=dword:00000000')
metrics_setting=()
if [ "${METRICS:-0}" = 1 ]; then
  free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
  endpoint_port=$(free_port) prometheus_port=$(free_port)
  metrics_setting=("\"MetricsAddress\"=\"127.0.0.1:$endpoint_port\"")
  printf 'global:\n  scrape_interval: 1s\nscrape_configs:\n  - job_name: decimon\n    static_configs:\n      - targets: ["127.0.0.1:%s"]\n' \
    "$endpoint_port" >"$work/prometheus.yml"
  prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/tsdb" \
    --web.listen-address="127.0.0.1:$prometheus_port" >"$work/prometheus.log" 2>&1 &
  session_pids+=($!)
fi
language_setting=()
[ -z "${DECIMON_LANGUAGE:-}" ] || language_setting=("\"Language\"=\"$DECIMON_LANGUAGE\"")
write_settings "127.0.0.1:$port" '"PollingInterval"=dword:00000001' "${record_setting[@]}" "${metrics_setting[@]}" \
  "${language_setting[@]}"

# The right half of the level's space in its row: white there only once a reading
# ("85.3 dBA") stands where "---" stood before.
column=$((width * 35 / 100))
row=$((16 + (height - 48) / 5))
left=$((column + 16 + (width - column - 48) / 2))
probe="$((width - 48 - left))x40+$left+$((row - 20))"
level_painted() {
  local share
  share=$(timeout 10 import -window root -crop "$probe" miff:- 2>/dev/null |
    convert miff:- -fill black +opaque white -format '%[fx:mean]' info: 2>/dev/null) &&
    awk -v s="$share" 'BEGIN{exit !(s > 0.02)}'
}

start=$(date +%s.%N)
"$decimon" >"$work/decimon.log" 2>&1 &
app_pid=$!
session_pids+=("$app_pid")
until level_painted; do
  kill -0 "$app_pid" 2>/dev/null || { cat "$work/decimon.log" >&2; fail "the display ended"; }
  awk -v s="$start" -v n="$(date +%s.%N)" 'BEGIN{exit !(n - s > 30)}' && fail "no level painted within 30 s"
  sleep 0.1
done
first_level=$(awk -v s="$start" -v n="$(date +%s.%N)" 'BEGIN{printf "%.2f", n - s}')

ticks_per_second=$(getconf CLK_TCK)
# utime + stime of every thread of the display, in clock ticks.
cpu_ticks() { sed 's/.*) //' "/proc/$app_pid/stat" | awk '{print $12 + $13}'; }
memory_kb() { awk -v key="$1:" '$1 == key {print $2}' "/proc/$app_pid/smaps_rollup"; }
other_qt_programs() { grep -l 'libQt6Gui\.so' /proc/[0-9]*/maps 2>/dev/null | grep -cv "^/proc/$app_pid/" || true; }

cpu_start=$(cpu_ticks)
wall_start=$(date +%s.%N)
sleep $((sample / 2))
pss_half=$(memory_kb Pss) rss_half=$(memory_kb Rss) other_qt_half=$(other_qt_programs)
sleep $((sample - sample / 2))
cpu_end=$(cpu_ticks)
wall_end=$(date +%s.%N)
pss_end=$(memory_kb Pss) rss_end=$(memory_kb Rss)
[ -z "${SMAPS:-}" ] || cp "/proc/$app_pid/smaps" "$SMAPS"
other_qt_end=$(other_qt_programs)

mb() { awk -v k="$1" 'BEGIN{printf "%.1f MB", k / 1024}'; }
echo "screen:               ${width}x$height, one poll a second, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
if [ "${METRICS:-0}" = 1 ]; then
  scrapes=$(curl -sf --max-time 2 --get "http://127.0.0.1:$prometheus_port/api/v1/query" \
    --data-urlencode 'query=count_over_time(up{job="decimon"}[1m])' | python3 -c \
    'import json,sys; r=json.load(sys.stdin)["data"]["result"]; print(r[0]["value"][1] if r else 0)')
  echo "metrics endpoint:     on; Prometheus scraped it $scrapes times in the last minute"
fi
awk -v a="$cpu_start" -v b="$cpu_end" -v t="$ticks_per_second" -v s="$wall_start" -v e="$wall_end" \
  'BEGIN{printf "CPU, share of one core: %.3f %% over %.0f s\n", (b - a) / t / (e - s) * 100, e - s}'
echo "PSS at $((sample / 2)) s:            $(mb "$pss_half")"
echo "PSS at $sample s:            $(mb "$pss_end")"
echo "RSS at $((sample / 2)) s:            $(mb "$rss_half")"
echo "RSS at $sample s:            $(mb "$rss_end")"
echo "first painted level:  $first_level s after start"
echo "other Qt programs:    $other_qt_half at $((sample / 2)) s, $other_qt_end at $sample s"
database=$XDG_DATA_HOME/Corvanta/Decimon/levels.sqlite3
if [ -f "$database" ]; then
  echo "minutes recorded:     $(sqlite3 "$database" 'SELECT count(*) FROM minutes') (while it ran)"
else
  echo "minutes recorded:     none (no database)"
fi
