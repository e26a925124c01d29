#!/usr/bin/env bash
# The history picture of the whole program on a real X server (Xvfb) against the meter
# simulator, with a record seeded for the simulator's host in a private XDG_DATA_HOME: over
# the last eight hours four at 88 dB, an hour's gap, then three at 70 dB. H shows the history
# (the panel stays, the chart's bars are tall for the loud hours, low for the quiet ones and
# absent in the gap, the figures stand in the lower part); H again brings back the meter
# picture pixel for pixel as before, and so does Esc. Screenshots are kept in ARTIFACTS.
#   history_test.sh DECIMON SIMULATOR SEED-LEVELS X-CLOSE-WINDOW ARTIFACTS
set -euo pipefail
decimon=$1 simulator=$2 seed=$3 close_window=$4 artifacts=$5
mkdir -p "$artifacts"
. "$(dirname "$0")/x_session.sh"
session_begin history
start_xvfb 1280x800
start_simulator "$simulator" --level 853 --weighting 1 --name "Press shop" --location "Hall 3"
host=127.0.0.1:$port
write_settings "$host" '"SnmpTimeout"=dword:000000fa' '"SnmpRetries"=dword:00000001'
export XDG_DATA_HOME=$work/data
database=$XDG_DATA_HOME/Corvanta/Decimon/levels.sqlite3

# The window holds the current minute and the 479 before it. The last two stay free for
# what the display records itself.
first=$(($(date +%s) / 60 * 60 - 479 * 60))
"$seed" "$database" "$host" "$first" 240 88.0
"$seed" "$database" "$host" $((first + 300 * 60)) 178 70.0
"$seed" "$database" "another-meter" "$first" 480 99.0

differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
shoot() {
  sleep "$2"
  screenshot "$artifacts/history-$1.png"
}

start_display "$decimon"
shoot meter 3  # the first poll's level shows at the second tick

press "$win" h
shoot shown 2
shot=$artifacts/history-shown.png
[ "$(differing "$artifacts/history-meter.png" "$shot")" -gt 20000 ] || fail "H did not change the picture"
[ "$(pixel "$shot" 4 4)" = FFFFFF ] || fail "the corner outside the panel is not white"
[ "$(pixel "$shot" 20 400)" = 4CB1FB ] || fail "the panel is not in the panel colour"
# The chart spans about x 90 to 1190 and y 50 to 390 at this size: eight hours of minutes.
loud=$(share_of "$shot" '#B7E0FD' 200 300 200 60)
gap=$(share_of "$shot" '#B7E0FD' 60 300 680 60)
quiet=$(share_of "$shot" '#B7E0FD' 200 300 900 60)
awk -v l="$loud" -v g="$gap" -v q="$quiet" 'BEGIN{exit !(l > 2 * q && q > 0.05 && g == 0)}' ||
  fail "the chart's bars are not as recorded (loud $loud, gap $gap, quiet $quiet)"
figures=$(share_of "$shot" white 1000 300 90 440)
awk -v s="$figures" 'BEGIN{exit !(s > 0.03)}' || fail "no figures under the chart (white share $figures)"

xdo key h
shoot back 1
[ "$(differing "$artifacts/history-meter.png" "$artifacts/history-back.png")" = 0 ] ||
  fail "after H the meter picture differs from before"

xdo key h
sleep 1
xdo key Escape
shoot esc 1
[ "$(differing "$artifacts/history-meter.png" "$artifacts/history-esc.png")" = 0 ] ||
  fail "after Esc the meter picture differs from before"

"$close_window" "$win"
expect_exit 5 "closing its window"
echo "history: H shows the seeded record's chart and figures, H and Esc bring back the meter picture"
