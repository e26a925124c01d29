#!/usr/bin/env bash
# The display on Wayland (QT_QPA_PLATFORM=wayland) against the meter simulator, one case per call:
#   wayland_test.sh weston DECIMON SIMULATOR ARTIFACTS
#     under Weston's headless backend it shows the meter over the whole output, then uses less
#     than 1 % of a core while it idles; under Weston as a window in Xvfb (the headless backend
#     has no keyboard) F leaves full screen for a normal window inside the output that shows the
#     meter, and F again covers the output with the meter; SIGTERM ends it with status 0;
#   wayland_test.sh cage DECIMON SIMULATOR ARTIFACTS
#     under cage, run by an unprivileged user, the full-screen main window holds one idle
#     inhibitor on its surface; F leaves full screen and lets the inhibitor go, and as cage keeps
#     its window maximised, which is full screen, the display goes back to full screen and holds
#     a new inhibitor, at each F; SIGTERM ends the display with status 0 and lets it go.
# Screenshots are kept in ARTIFACTS.
set -euo pipefail
case_name=$1 decimon=$2 simulator=$3 artifacts=$4
mkdir -p "$artifacts"
. "$(dirname "$0")/x_session.sh"
. "$(dirname "$0")/wayland_session.sh"
session_begin wayland
# No session bus: what keeps the screen on is the compositor's, or nothing.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus

start_meter() {
  start_simulator "$simulator" --level 853
  write_settings "127.0.0.1:$port"
}

# F on the compositor's window in the X server, which hands it to the display.
press_f() { press "$(compositor_window)" f; }
last_event_is() { [ "$(shell_events | tail -n 1)" = "$1" ]; }
# The display said once on standard error what keeps the screen on.
said_once() {
  [ "$(grep -c 'screen on' "$work/decimon.log")" = 1 ] && grep -q "$1" "$work/decimon.log" ||
    fail "not said once that $1: $(grep 'decimon:' "$work/decimon.log")"
}
end_display() {
  kill -TERM "$app_pid"
  expect_exit 5 "SIGTERM"
}

case $case_name in
weston)
  private_dirs
  start_meter
  start_weston headless-backend.so
  start_wayland_display "$decimon"
  sleep 3  # the first tick polls after 500 ms; its result shows at the next tick
  weston_shot weston-full-screen
  check_meter_shot "$artifacts/weston-full-screen.png"
  said_once 'the Wayland compositor offers no idle inhibit: nothing keeps the screen on'
  # A share of a core: the time is not stretched with DECIMON_TIME_SCALE.
  used=$(cpu_ticks "$app_pid")
  sleep 10
  cpu=$(awk -v t=$(($(cpu_ticks "$app_pid") - used)) -v hz="$(getconf CLK_TCK)" 'BEGIN {printf "%.2f", 100 * t / hz / 10}')
  awk -v s="$cpu" 'BEGIN {exit !(s < 1)}' || fail "the display used $cpu % of a core over 10 s"
  end_display

  start_xvfb 1280x800
  start_weston x11-backend.so
  start_wayland_display "$decimon"
  wait_for 5 compositor_window >/dev/null || fail "no Weston window in the X server"
  sleep 3
  press_f
  wait_for 5 last_event_is normal || fail "F did not ask to leave full screen: $(shell_events)"
  sleep 1
  weston_shot weston-normal
  shot=$artifacts/weston-normal.png
  # Weston's panel at the top and its background in a corner show around the normal window.
  for point in "640 3" "1275 795"; do
    colour=$(pixel "$shot" $point)
    [ "$colour" != FFFFFF ] && [ "$colour" != 4CB1FB ] || fail "after F the window still covers $point ($colour)"
  done
  share=$(share_of "$shot" '#4CB1FB' 1280 800 0 0)
  awk -v s="$share" 'BEGIN {exit !(s > 0.15)}' || fail "the normal window does not show the meter (panel colour share $share)"
  press_f
  wait_for 5 last_event_is full || fail "F did not ask for full screen again: $(shell_events)"
  sleep 1
  weston_shot weston-full-screen-again
  check_meter_shot "$artifacts/weston-full-screen-again.png"
  end_display
  # Weston 10 offers no idle inhibit: the display makes no inhibitor, and runs as well.
  events_are full normal full || fail "the protocol says otherwise: $(shell_events)"
  echo "wayland: under Weston the meter covers the output, $cpu % of a core idle, F leaves and enters full screen"
  ;;

cage)
  # Its headless backend has no keyboard, and cage has no virtual keyboard either (wtype cannot
  # type there): cage runs as a window in Xvfb, through which xdotool's keys reach the display.
  start_xvfb 1280x800
  start_meter
  start_cage "$decimon"
  held() { shell_events | awk '$0 == "inhibit" {n++} $0 == "release" {n--} END {print n + 0}'; }
  # The events after the first $seen, on one line.
  events_since_seen() { shell_events | tail -n +$((seen + 1)) | paste -sd ' '; }
  f_went_round() { [ "$(events_since_seen)" = "normal release full inhibit" ]; }
  # Settled once cage has placed the window: it may answer the first request with no state.
  wait_for 5 last_event_is inhibit && sleep 1
  events=$(shell_events)
  [[ $events == full$'\n'* ]] && last_event_is inhibit && [ "$(held)" = 1 ] ||
    fail "not one inhibitor on the full-screen window: $events"
  said_once 'the Wayland compositor keeps the screen on instead'
  for press in first second; do
    seen=$(shell_events | wc -l)
    press_f
    wait_for 5 f_went_round || fail "the $press F: $(events_since_seen)"
  done
  seen=$(shell_events | wc -l)
  kill -TERM "$app_pid"
  app_pid=$cage_pid
  expect_exit 5 "SIGTERM to the display"
  [ "$(cage_display_status)" = 0 ] || fail "the display ended with status $(cage_display_status) after SIGTERM"
  [ "$(events_since_seen)" = release ] || fail "the inhibitor was not let go at exit: $(events_since_seen)"
  events=$(shell_events)
  [[ $events != *another* ]] || fail "an inhibitor on another surface: $events"
  echo "wayland: under cage an idle inhibitor while full screen, let go and held again round F, let go at exit"
  ;;

*) fail "unknown case $case_name" ;;
esac
