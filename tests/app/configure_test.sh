#!/usr/bin/env bash
# The Configure command in the whole program on a real X server (Xvfb, no window manager), one
# case per call:
#   saves (the default)  C opens "Configure...", a level offset typed into its box and Enter
#       save it, and the running display shows the new level at once, without a restart;
#   read-only  the same with the settings folder on a read-only file system: a box "Error"
#       says that the save failed, the file stays as it was, and the new level shows all the same;
#   broken  a settings file whose first line is not REGEDIT4: the display runs on the factory
#       defaults and says so once on standard error; C answers with a box "Error" and opens no
#       dialog, the second time too, and the file stays as it was.
# The last two run as root in a mount namespace of their own, for the read-only folder and for
# a private /etc/hosts that puts the default meter name on loopback. Screenshots go to ARTIFACTS.
#   configure_test.sh DECIMON SIMULATOR ARTIFACTS [saves|read-only|broken]
set -euo pipefail
decimon=$1 simulator=$2 artifacts=$3 case_name=${4:-saves}
if [ "$case_name" != saves ] && [ -z "${DECIMON_CONFIGURE_TEST_NAMESPACE:-}" ]; then
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for a private mount namespace"; exit 77; }
  exec unshare -m env DECIMON_CONFIGURE_TEST_NAMESPACE=1 "$0" "$@"
fi
mkdir -p "$artifacts"
. "$(dirname "$0")/x_session.sh"
session_begin configure
start_xvfb 1280x800
start_simulator "$simulator" --level 853 --weighting 1 --name "Configure" --location "Xvfb"
write_settings "127.0.0.1:$port"
settings=$XDG_CONFIG_HOME/Corvanta/Decimon.reg

# The picture of the level and dose lines.
level_shot() { screenshot "$artifacts/$1.png"; convert "$artifacts/$1.png" -crop 900x300+190+60 +repage "$work/$1.png"; }

# Whether no window of the display with that title is there.
no_window() { [ -z "$(window_named "$1")" ]; }

# The box "Error" is up (its picture goes to ARTIFACTS); Enter answers it.
answer_error_box() {
  wait_for 5 has_window Error || fail "no box \"Error\" $1"
  sleep 0.3
  screenshot "$artifacts/configure-error-$case_name.png"
  press "$(window_named Error)" Return
  wait_for 2 no_window Error || fail "Enter did not close the box \"Error\""
}

# C, an offset of 10 typed into the configuration dialog and Enter, which closes the dialog.
type_offset() {
  press "$win" c
  wait_for 5 has_window "Configure..." || fail "C did not open the configuration dialog"
  local dialog
  dialog=$(window_named "Configure...")
  sleep 0.3
  screenshot "$artifacts/configure-dialog.png"
  # From the host list, Tab passes New->, Edit->, Delete..., the shift box and the polling box.
  press "$dialog" --delay 50 Tab Tab Tab Tab Tab Tab ctrl+a
  xdo type --delay 50 10
  xdo key Return
  wait_for 2 no_window "Configure..." || fail "Enter did not close the configuration dialog"
}

case $case_name in
saves | read-only)
  if [ "$case_name" = read-only ]; then
    cp "$settings" "$work/before.reg"
    mount --bind "${settings%/*}" "${settings%/*}"
    trap 'umount "${settings%/*}"; session_end' EXIT # the work folder cannot go while it is mounted
    mount -o remount,bind,ro "${settings%/*}"
  fi
  start_display "$decimon"
  sleep 2.5 # the first tick polls after 500 ms; its result shows at the next tick
  level_shot configure-before
  type_offset
  if [ "$case_name" = saves ]; then
    grep -q '"LevelOffset"=dword:0000000a' "$settings" || fail "the offset was not saved: $(cat "$settings")"
  else
    answer_error_box "after a save to a read-only folder"
    cmp -s "$settings" "$work/before.reg" || fail "the settings file changed: $(cat "$settings")"
  fi
  sleep 0.5
  level_shot "configure-after-$case_name"
  changed=$(compare -metric AE "$work/configure-before.png" "$work/configure-after-$case_name.png" null: 2>&1 || true)
  [ "${changed%% *}" -gt 500 ] 2>/dev/null || fail "the level on the screen did not change (${changed} pixels)"
  kill -0 "$app_pid" 2>/dev/null || fail "the display ended"
  echo "configure ($case_name): C opens the dialog, Enter takes the offset, the screen shows it at once"
  ;;

broken)
  # The factory defaults name the meter "soundmeter": here that is loopback, not the DNS.
  echo "127.0.0.1 soundmeter" >"$work/hosts"
  echo "hosts: files" >"$work/nsswitch.conf"
  mount --bind "$work/hosts" /etc/hosts && mount --bind "$work/nsswitch.conf" /etc/nsswitch.conf
  printf 'REGEDIT\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon]\n"Password"="secret"\n' >"$settings"
  cp "$settings" "$work/before.reg"
  start_display "$decimon"
  sleep 1 # the keyboard focus goes to the view at its first paint
  for attempt in first second; do
    press "$win" c
    answer_error_box "after the $attempt C"
    no_window "Configure..." && no_window "Configuration Authentication..." ||
      fail "the $attempt C opened a dialog"
  done
  said=$(grep -c "settings file $settings cannot be read (its first line is not REGEDIT4)" "$work/decimon.log" || true)
  [ "$said" = 1 ] || fail "standard error did not say once which file and why: $(cat "$work/decimon.log")"
  cmp -s "$settings" "$work/before.reg" || fail "the settings file changed: $(cat "$settings")"
  kill -0 "$app_pid" 2>/dev/null || fail "the display ended"
  echo "configure (broken): the display runs, C says the file cannot be read and opens nothing"
  ;;

*) fail "unknown case $case_name" ;;
esac
