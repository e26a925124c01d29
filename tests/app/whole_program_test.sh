#!/usr/bin/env bash
# The whole program on a real X server (Xvfb, no window manager) against the meter simulator:
# it starts full screen covering the screen, shows the meter (panel colour, white digits, no
# menu bar), F leaves full screen and shows the menu, and closing the window ends the process
# with status 0, also while the meter is silent. In full screen Alt+F, X ends the program, and
# a German desktop language paints the same picture as the "C" locale, the setting Language
# shows the wall in German, and an X server that goes away costs no minute, whatever Qt's
# logging rules; of two displays over one record one records at a time. Screenshots are kept
# in ARTIFACTS.
#   whole_program_test.sh DECIMON SIMULATOR X-CLOSE-WINDOW ARTIFACTS
set -euo pipefail
decimon=$1 simulator=$2 close_window=$3 artifacts=$4
mkdir -p "$artifacts"
. "$(dirname "$0")/x_session.sh"
session_begin whole
start_xvfb 1280x800
start_simulator "$simulator" --level 853 --weighting 1 --name "Press shop" --location "Hall 3"
write_settings "127.0.0.1:$port" '"SnmpTimeout"=dword:000000fa' '"SnmpRetries"=dword:00000001' '"ShiftLenHours"="7.5"'

geometry() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'; }

# show_display [NAME=VALUE | -u NAME]...: the display, its environment changed as env does it.
show_display() { start_display env "$@" "$decimon"; }

close_display() {
  "$close_window" "$win"
  expect_exit "$1" "closing its window"
}

# 1. Full screen over the whole screen, showing the meter.
show_display
sleep 3  # the first tick polls after 500 ms; its result shows at the next tick
read -r x y w h <<<"$(geometry "$win")"
[ "$x $y $w $h" = "0 0 1280 800" ] || fail "full-screen window at $x,$y ${w}x$h, not 0,0 1280x800"
screenshot "$artifacts/full-screen.png"
check_meter_shot "$artifacts/full-screen.png"

# 2. F leaves full screen: a normal window with its menu bar.
press "$win" f
sleep 1
read -r x y w h <<<"$(geometry "$win")"
[ "$w $h" != "1280 800" ] || fail "F did not leave full screen"
screenshot "$artifacts/normal.png"
menu=$(pixel "$artifacts/normal.png" $((x + 5)) $((y + 5)))
[ "$menu" != FFFFFF ] && [ "$menu" != 4CB1FB ] || fail "no menu bar at the top of the normal window ($menu)"
close_display 5

# 3. Closing while the meter is silent still ends the display, within one poll's bound.
show_display
sleep 1.5
echo "silent on" >&3
sleep 1
close_display 5
echo "silent off" >&3

# 4. The menu's keys in full screen: Alt+F, X ends the program.
show_display
sleep 1
press "$win" alt+f
sleep 0.5
xdo key x
expect_exit 5 "Alt+F, X in full screen"

# 5. A German desktop language (comma as decimal point) paints what the "C" locale paints:
# "85.3 dBA", and the dose of the file's 7.5-hour shift.
locale -a | grep -qix 'de_DE.utf8' || fail "de_DE.UTF-8 is not generated (scripts/test.sh generates it)"
for lang in C de_DE.UTF-8; do
  show_display -u LC_ALL -u LC_NUMERIC LANG=$lang
  sleep 3
  shot=$artifacts/lang-$lang.png
  screenshot "$shot"
  close_display 5
  # "85.3 dBA" reaches far to the right of where "---" ends.
  share=$(share_of "$shot" white 300 70 700 130)
  awk -v s="$share" 'BEGIN{exit !(s > 0.02)}' || fail "no reading shown under LANG=$lang (white share $share)"
done
differing=$(compare -metric AE "$artifacts/lang-C.png" "$artifacts/lang-de_DE.UTF-8.png" null: 2>&1 || true)
[ "$differing" = 0 ] || fail "under LANG=de_DE.UTF-8 $differing pixels differ from the picture under LANG=C"

# 6. "Language"="de": the wall in German, read off the screen by OCR (white texts made black).
write_settings "127.0.0.1:$port" '"SnmpTimeout"=dword:000000fa' '"SnmpRetries"=dword:00000001' '"ShiftLenHours"="7.5"' '"Language"="de"'
show_display
sleep 3
screenshot "$artifacts/language-de.png"
close_display 5
read_text() { convert "$artifacts/language-de.png" -crop "$1" +repage -fill black -opaque white -fill white +opaque black png:- | tesseract stdin stdout -l deu --psm 6 2>/dev/null | tr '\n' ' '; }
labels=$(read_text 440x420+16+100) values=$(read_text 800x420+460+100)
[[ $labels == *"Aktueller Schallpegel"* && $values =~ 85,3\ dBA.*6\ ?h\ ?59\ ?min ]] || fail "the German wall reads \"$labels\" and \"$values\""

write_settings "127.0.0.1:$port" '"SnmpTimeout"=dword:000000fa' '"SnmpRetries"=dword:00000001' '"ShiftLenHours"="7.5"'

# 7. The X server goes away while the display records, with Qt's messages on and with every
# one of them turned off: within 2 s it ends with one line and status 1, and the minute under
# way (a poll a second) is in the record.
for rules in '' '*=false'; do
  [ -n "$rules" ] && start_xvfb 1280x800  # the first server went away
  rm -f "$XDG_DATA_HOME/Corvanta/Decimon/levels.sqlite3"*  # no part of the minute from a display before
  show_display QT_LOGGING_RULES="$rules"
  sleep 4  # polling for 3 s and more before the minute's fourth second
  while (($(date +%s) % 60 < 4 || $(date +%s) % 60 > 56)); do sleep 1; done # polls in the minute
  minute=$(($(date +%s) / 60 * 60)) lines=$(wc -l <"$work/decimon.log")
  kill "$xvfb_pid"
  wait_for 2 eval '! kill -0 "$app_pid" 2>/dev/null' || fail "the display did not end within $((2 * scale)) s of the X server"
  status=0 && wait "$app_pid" || status=$?
  said=$(tail -n +$((lines + 1)) "$work/decimon.log")
  # (A line before it may say that the minute of the display before was measured again.)
  [[ $status = 1 && $said =~ (^|$'\n')"decimon: the display server went away ("[^$'\n']*$ ]] ||
    fail "status $status when the X server went away under QT_LOGGING_RULES='$rules', said: $said"
  samples=$(sqlite3 "$XDG_DATA_HOME/Corvanta/Decimon/levels.sqlite3" "SELECT samples FROM minutes WHERE start = $minute")
  [ "${samples:-0}" -ge 3 ] || fail "the minute under way has ${samples:-no} samples in the record (rules '$rules')"
done
# 8. Two displays of one user on two screens over one record: the second records nothing and
# says so, takes the record over within a minute of the first's end, and its minutes reach it.
record=$XDG_DATA_HOME/Corvanta/Decimon/levels.sqlite3
start_xvfb 1280x800
show_display
first_display=$DISPLAY
start_xvfb 1280x800
"$decimon" >"$work/second.log" 2>&1 &
second_pid=$!
session_pids+=("$second_pid")
wait_for 10 grep -q "another display records the levels in" "$work/second.log" ||
  fail "the second display did not say that it records nothing: $(cat "$work/second.log")"
wait_for 10 has_window || fail "the second display shows no window"
press "$(window_id)" h  # its history screen says that it records nothing
sleep 1
screenshot "$artifacts/second-display-history.png"
DISPLAY=$first_display close_display 5
first_end=$(($(date +%s) / 60 * 60))
wait_for 65 grep -q "this display records the levels in" "$work/second.log" ||
  fail "the second display did not take the record over within a minute: $(cat "$work/second.log")"
kill -TERM "$second_pid"
wait "$second_pid" || fail "the second display ended with status $? at SIGTERM"
later=$(sqlite3 "$record" "SELECT count(*) FROM minutes WHERE start > $first_end")
[ "$later" -ge 1 ] || fail "no minute of the second display after the first ended is in the record"
echo "whole program: full screen, meter shown, F toggles, closes with status 0, menu keys, any desktop language, the wall in German, the minute under way kept when X goes, whatever the logging rules, one recorder per record"
