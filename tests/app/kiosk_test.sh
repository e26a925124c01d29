#!/usr/bin/env bash
# The wall screen, one case per call:
#   kiosk_test.sh entries SOURCE-DIR
#     the desktop entries are valid;
#   kiosk_test.sh bus DECIMON RECORDER X-CLOSE-WINDOW
#     on a private session bus without a screen saver service the X server takes over; with a
#     stand-in service: Inhibit when the display starts full screen, UnInhibit after F,
#     Inhibit again after F, UnInhibit at exit;
#   kiosk_test.sh no-bus DECIMON X-SCREEN-SAVER-STATE X-CLOSE-WINDOW
#     with no bus the display starts, says so once, and holds off the X server's screen saver
#     while its window lives; with no bus and no X server it says so once and runs on;
#   kiosk_test.sh guide BUILD-DIR SIMULATOR X-CLOSE-WINDOW
#     the administrator's guide's wall-screen steps on X as far as a machine without a real
#     display allows: the package installs, its entries validate, the autostart entry is off
#     until linked into the wall user's autostart folder, and its command starts the display
#     full screen under Xvfb with the site's pre-seeded settings.
# The display runs under Xvfb without a window manager, against a meter on loopback.
set -euo pipefail
. "$(dirname "$0")/x_session.sh"
session_begin kiosk

# Every desktop entry passes desktop-file-validate without a word: errors, warnings or hints.
check_entries() {
  local entry report
  for entry in "$@"; do
    report=$(desktop-file-validate "$entry" 2>&1) || fail "$entry is invalid: $report"
    [ -z "$report" ] || fail "desktop-file-validate has remarks on $entry: $report"
  done
}


# Closes the window as a window manager would; the display must end with status 0.
close_display() {
  local status=0
  "$close_window" "$win"
  wait_for 5 eval '! kill -0 "$app_pid" 2>/dev/null' || fail "the display did not end within 5 s of closing"
  wait "$app_pid" || status=$?
  [ "$status" -eq 0 ] || fail "the display ended with status $status"
}

# The display's lines on standard error about keeping the screen on.
screen_lines() { grep -c 'screen' "$work/decimon.log" || true; }

case_name=$1; shift
case $case_name in
entries)
  source_dir=$1
  check_entries "$source_dir/app/decimon.desktop" "$source_dir/app/decimon-autostart.desktop"
  echo "kiosk: desktop entries valid"
  ;;

bus)
  decimon=$1 recorder=$2 close_window=$3
  start_xvfb 1280x800
  write_settings 127.0.0.1:9
  start_session_bus

  # A bus without the service: the X server takes over, said once.
  start_display "$decimon"
  wait_for 5 grep -q 'the X server keeps the screen on' "$work/decimon.log" ||
    fail "not said that the bus has no service: $(cat "$work/decimon.log")"
  close_display
  [ "$(screen_lines)" = 1 ] || fail "said more than once: $(cat "$work/decimon.log")"

  "$recorder" >"$work/calls" &
  session_pids+=($!)
  wait_for 5 grep -q '^ready$' "$work/calls" || fail "the stand-in service did not start"

  calls_are() { [ "$(grep -v '^ready$' "$work/calls")" = "$(printf '%s\n' "$@")" ]; }
  inhibit="Inhibit Decimon|Showing the sound level full screen"
  start_display "$decimon"
  wait_for 5 calls_are "$inhibit 7001" || fail "no Inhibit at start in full screen: $(cat "$work/calls")"
  press "$win" f
  wait_for 5 calls_are "$inhibit 7001" "UnInhibit 7001" || fail "no UnInhibit after F: $(cat "$work/calls")"
  press "$win" f
  wait_for 5 calls_are "$inhibit 7001" "UnInhibit 7001" "$inhibit 7002" ||
    fail "no Inhibit after F again: $(cat "$work/calls")"
  close_display
  calls_are "$inhibit 7001" "UnInhibit 7001" "$inhibit 7002" "UnInhibit 7002" ||
    fail "no UnInhibit at exit: $(cat "$work/calls")"
  [ "$(screen_lines)" = 0 ] || fail "the display complained although the service was there: $(cat "$work/decimon.log")"
  echo "kiosk: Inhibit, UnInhibit after F, Inhibit after F, UnInhibit at exit"
  ;;

no-bus)
  decimon=$1 saver_state=$2 close_window=$3
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
  saver_is() { [ "$("$saver_state")" = "$1" ]; }
  start_xvfb 1280x800
  write_settings 127.0.0.1:9
  # The screen saver starts after 2 s without input, and the probe sees it.
  xset s 2 0
  wait_for 4 saver_is on || fail "the X server's screen saver did not start on its own"
  xset s reset
  start_display "$decimon"
  sleep 3
  saver_is off || fail "the screen saver started under the full-screen display"
  [ "$(screen_lines)" = 1 ] && grep -q 'the X server keeps the screen on' "$work/decimon.log" ||
    fail "not said once that the X server keeps the screen on: $(cat "$work/decimon.log")"
  press "$win" f
  sleep 3
  saver_is off || fail "the screen saver started while the display's window lives"
  close_display
  wait_for 4 saver_is on || fail "the screen saver did not come back after the display ended"

  # Neither a bus nor an X server: said once, and the display runs on.
  QT_QPA_PLATFORM=offscreen "$decimon" >"$work/decimon.log" 2>&1 &
  app_pid=$!
  session_pids+=("$app_pid")
  sleep 2
  kill -0 "$app_pid" 2>/dev/null || fail "the display did not run on without bus and X server"
  [ "$(screen_lines)" = 1 ] && grep -q 'nothing keeps the screen on' "$work/decimon.log" ||
    fail "not said once that nothing keeps the screen on: $(cat "$work/decimon.log")"
  echo "kiosk: without a bus the X server keeps the screen on; without either the display runs on"
  ;;

guide)
  build=$1 simulator=$2 close_window=$3
  # Step 2, the package: apt would install it here, and it unpacks into a root of its own,
  # so that this machine's /usr and /etc stay as they are.
  (cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || fail "cpack failed: $(cat "$work/cpack.log")"
  deb=$(ls "$work"/out/decimon_*.deb)
  apt-get install --simulate "$deb" >"$work/apt.log" 2>&1 || fail "apt cannot install the package: $(cat "$work/apt.log")"
  grep -q '^Inst decimon ' "$work/apt.log" || fail "apt would not install decimon: $(cat "$work/apt.log")"
  root=$work/root
  dpkg-deb -x "$deb" "$root"
  # On a clean machine apt brings every library the display links, so each must be named.
  depends=$(dpkg-deb -f "$deb" Depends)
  multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
  for library in $(objdump -p "$root/usr/bin/decimon" | awk '/NEEDED/ {print $2}'); do
    package=$(dpkg -S "*/$multiarch/$library" | head -n 1 | cut -d: -f1)
    grep -q "\b$package\b" <<<"$depends" || fail "Depends lacks $package (for $library): $depends"
  done
  autostart=/usr/share/decimon/decimon-autostart.desktop
  check_entries "$root/usr/share/applications/decimon.desktop" "$root$autostart"
  ! dpkg-deb -c "$deb" | grep -q '/autostart/' || fail "the package starts the display for every user"

  # Step 4, the link into the wall user's autostart folder (a home inside the private root).
  user_autostart=$root/home/wall/.config/autostart
  mkdir -p "$user_autostart"
  ln -s "$root$autostart" "$user_autostart/decimon.desktop"
  check_entries "$user_autostart/decimon.desktop"

  # Step 5, the site's settings, pointing at the simulator.
  start_simulator "$simulator" --level 700
  XDG_CONFIG_HOME=$root/etc/xdg write_settings "127.0.0.1:$port"
  chmod 640 "$root/etc/xdg/Corvanta/Decimon.reg"

  # Step 6, the log-in: the session runs the entry's command, the user has no settings yet.
  command=$(sed -n 's/^Exec=//p' "$user_autostart/decimon.desktop")
  [[ $command != *%* ]] || fail "the autostart command has field codes: $command"
  start_xvfb 1280x800
  # shellcheck disable=SC2086  # the command is split into words as the session splits it
  start_display env PATH="$root/usr/bin:$PATH" XDG_CONFIG_DIRS="$root/etc/xdg" $command
  sleep 2
  geometry=$(xwininfo -id "$win" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
  [ "$geometry" = 1280x800 ] || fail "the display did not start full screen: $geometry"
  echo count >&3
  wait_for 2 grep -q '^requests [1-9]' "$work/sim.out" || fail "the display did not poll the site's meter"
  close_display
  exec 3>&-
  echo "kiosk: the wall-screen guide on $(basename "$deb"): installs, entries valid, starts from autostart"
  ;;

*) fail "unknown case $case_name" ;;
esac
