#!/usr/bin/env bash
# The Configure command in the whole program on a real X server (Xvfb, no window manager):
# C opens "Configure...", a level offset typed into its box and Enter save it, and the running
# display shows the new level at once, without a restart. Screenshots are kept in ARTIFACTS.
#   configure_test.sh DECIMON SIMULATOR ARTIFACTS
set -euo pipefail
decimon=$1 simulator=$2 artifacts=$3
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/decimon-configure-XXXXXX)
xvfb_pid= sim_pid= app_pid=
cleanup() {
  for pid in $app_pid $sim_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Time bounds stretch under the sanitizers (scripts/test.sh sets DECIMON_TIME_SCALE).
scale=${DECIMON_TIME_SCALE:-1}

# A private X server on a display number it picks itself, so that parallel runs never share one.
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq $((100 * scale))); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$work/display")
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$simulator" --port 0 --level 853 --weighting 1 --name "Configure" --location "Xvfb" >"$work/sim.out" </dev/null &
sim_pid=$!
for _ in $(seq $((100 * scale))); do grep -q listening "$work/sim.out" 2>/dev/null && break; sleep 0.05; done
port=$(head -n 1 "$work/sim.out" | sed 's/.*://')
[ -n "$port" ] || fail "the simulator did not start"

export XDG_CONFIG_HOME=$work/config
settings=$XDG_CONFIG_HOME/Corvanta/Decimon.reg
mkdir -p "$(dirname "$settings")"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon]\n"HostName"="127.0.0.1:%s"\n' "$port" >"$settings"

# A window of the display by its title (Qt also makes unmapped helper windows with the
# program's name, which carry no class).
window_named() { xwininfo -root -tree 2>/dev/null | awk -v name="\"$1\": (\"decimon\"" 'index($0, name) {print $1; exit}'; }
wait_window() { for _ in $(seq $((100 * scale))); do [ -n "$(window_named "$1")" ] && return 0; sleep 0.05; done; return 1; }
# The picture of the level and dose lines.
level_shot() { import -window root "$artifacts/$1.png"; convert "$artifacts/$1.png" -crop 900x300+190+60 +repage "$work/$1.png"; }

"$decimon" >"$work/decimon.log" 2>&1 &
app_pid=$!
wait_window Decimon || fail "no window named Decimon"
main=$(window_named Decimon)
sleep 2.5  # the first tick polls after 500 ms; its result shows at the next tick
level_shot configure-before

xdotool windowfocus --sync "$main" key c
wait_window "Configure..." || fail "C did not open the configuration dialog"
dialog=$(window_named "Configure...")
sleep 0.3
import -window root "$artifacts/configure-dialog.png"
# From the host list, Tab passes New->, Edit->, Delete..., the shift box and the polling box.
xdotool windowfocus --sync "$dialog" key --delay 50 Tab Tab Tab Tab Tab Tab ctrl+a
xdotool type --delay 50 10
xdotool key Return
for _ in $(seq $((40 * scale))); do [ -z "$(window_named "Configure...")" ] && break; sleep 0.05; done
[ -z "$(window_named "Configure...")" ] || fail "Enter did not close the configuration dialog"

grep -q '"LevelOffset"=dword:0000000a' "$settings" || fail "the offset was not saved: $(cat "$settings")"
sleep 0.5
level_shot configure-after
changed=$(compare -metric AE "$work/configure-before.png" "$work/configure-after.png" null: 2>&1 || true)
[ "${changed%% *}" -gt 500 ] 2>/dev/null || fail "the level on the screen did not change (${changed} pixels)"
kill -0 "$app_pid" 2>/dev/null || fail "the display ended"
echo "configure: C opens the dialog, Enter saves the offset, the screen shows it at once"
