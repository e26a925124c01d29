#!/usr/bin/env bash
# One display per user and screen, and the end signals, one case per call:
#   lifecycle_test.sh second DECIMON
#     a second start ends with status 0 within 3 s, says one line on standard error and makes
#     no window; the first comes back full screen, in front of a covering window and with the
#     keyboard. A stopped (hung) first holds a second start no longer than 3 s either. After the
#     first is killed (SIGKILL), a new start shows the display and serves the next second start;
#   lifecycle_test.sh signals DECIMON RECORDER
#     SIGTERM, SIGINT and SIGHUP each end the display with status 0, also while the
#     configuration dialog is open, and the screen saver service is given back (UnInhibit);
#     started under nohup, the display lives through SIGHUP and SIGINT and ends on SIGTERM.
# The display runs under Xvfb without a window manager; its meter (127.0.0.1:9) never answers.
set -euo pipefail
. "$(dirname "$0")/x_session.sh"
session_begin lifecycle
start_xvfb 1280x800
write_settings 127.0.0.1:9

geometry() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'; }
# The mapped top-level windows with a class, topmost first.
stacking() { xwininfo -root -children | awk '/": \("/ {print $1}'; }

# second_start WHAT: a second start of the display; it must end with status 0 within 3 s
# and say one line on standard error, containing WHAT.
second_start() {
  local begun status=0 took
  begun=$(milliseconds)
  timeout $((10 * scale)) "$decimon" 2>"$work/second.log" || status=$?
  took=$(($(milliseconds) - begun))
  [ "$status" -eq 0 ] || fail "the second start ended with status $status: $(cat "$work/second.log")"
  [ "$took" -le $((3000 * scale)) ] || fail "the second start took $took ms"
  [ "$(wc -l <"$work/second.log")" -eq 1 ] && grep -q "$1" "$work/second.log" ||
    fail "the second start did not say one line with \"$1\": $(cat "$work/second.log")"
}

case_name=$1; shift
case $case_name in
second)
  decimon=$1
  # Without a session bus the frame would say so on standard error: a second start that got
  # as far as its frame says more than one line.
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
  start_display "$decimon"
  first=$app_pid
  press "$win" f
  wait_for 5 eval '[ "$(geometry "$win")" != "0 0 1280 800" ]' || fail "F did not leave full screen"
  xmessage -geometry 1280x800+0+0 -name cover "another program's window" &
  session_pids+=($!)
  wait_for 5 eval '[ "$(stacking | wc -l)" -eq 2 ] && [ "$(stacking | head -n 1)" != "$win" ]' ||
    fail "the covering window did not come over the display: $(stacking)"

  second_start "already running on :.*; brought it to the front"
  [ "$(stacking | wc -l)" -eq 2 ] || fail "the second start left a window: $(stacking)"
  wait_for 2 eval '[ "$(geometry "$win")" = "0 0 1280 800" ]' || fail "the first is not full screen: $(geometry "$win")"
  [ "$(stacking | head -n 1)" = "$win" ] || fail "the first is not in front: $(stacking)"
  [ "$(printf '0x%x' "$(xdo getwindowfocus)")" = "$win" ] || fail "the first does not have the keyboard"

  # A first that hangs does not answer: the second start still ends in time, and the first
  # lives on once it runs again.
  kill -STOP "$first"
  second_start "did not answer"
  kill -CONT "$first"
  sleep 0.5
  kill -0 "$first" 2>/dev/null || fail "the first ended after it ran again"

  # A first that crashes leaves its lock and socket files behind; the next start shows all the same.
  kill -KILL "$first"
  wait "$first" 2>/dev/null || true
  ls "$XDG_RUNTIME_DIR"/decimon-*.socket >/dev/null || fail "no socket file left behind to test with"
  start_display "$decimon"
  second_start "brought it to the front"
  kill -0 "$app_pid" 2>/dev/null || fail "the display after the crash ended"
  echo "lifecycle: a second start brings the first to the front and ends; hung or crashed firsts do not block"
  ;;

signals)
  decimon=$1 recorder=$2
  start_session_bus
  "$recorder" >"$work/calls" &
  session_pids+=($!)
  wait_for 5 grep -q '^ready$' "$work/calls" || fail "the stand-in service did not start"
  inhibits() { grep -c '^Inhibit ' "$work/calls" || true; }
  # start_inhibited COMMAND...: the display as COMMAND runs it, holding the screen saver ($cookie).
  start_inhibited() {
    cookie=$((7001 + $(inhibits)))
    start_display "$@"
    wait_for 5 grep -q "^Inhibit .* $cookie\$" "$work/calls" || fail "no Inhibit at start: $(cat "$work/calls")"
  }
  # end_by SIGNAL HOW: SIGNAL ends the display with status 0 and gives the screen saver back.
  end_by() {
    kill -"$1" "$app_pid"
    expect_exit 2 "SIG$1 $2"
    grep -q "^UnInhibit $cookie\$" "$work/calls" || fail "SIG$1 did not give the screen saver back: $(cat "$work/calls")"
  }
  for signal in TERM INT HUP; do
    for dialog in none configuration; do
      # A job started with & ignores SIGINT: started from a terminal, the display would not.
      start_inhibited env --default-signal=INT,HUP "$decimon"
      if [ "$dialog" = configuration ]; then
        press "$win" c
        wait_for 5 has_window Configure... || fail "the configuration dialog did not open"
      fi
      end_by "$signal" "with $dialog dialog open"
    done
  done

  # Under nohup in a background job SIGHUP and SIGINT are ignored from the start, and stay so:
  # the display outlives the log-out. SIGTERM still ends it.
  start_inhibited nohup "$decimon"
  kill -HUP "$app_pid"
  kill -INT "$app_pid"
  sleep 1
  kill -0 "$app_pid" 2>/dev/null && has_window || fail "SIGHUP or SIGINT ignored at start ended the display"
  end_by TERM "after SIGHUP and SIGINT under nohup"
  echo "lifecycle: SIGTERM, SIGINT and SIGHUP end the display as File > Exit does; those ignored at start do not"
  ;;

*) fail "unknown case $case_name" ;;
esac
