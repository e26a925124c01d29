#!/usr/bin/env bash
# The Configure command in the whole program on a real X server (Xvfb, no window manager):
# C opens "Configure...", a level offset typed into its box and Enter save it, and the running
# display shows the new level at once, without a restart. Screenshots are kept in ARTIFACTS.
#   configure_test.sh DECIMON SIMULATOR ARTIFACTS
set -euo pipefail
decimon=$1 simulator=$2 artifacts=$3
mkdir -p "$artifacts"
. "$(dirname "$0")/x_session.sh"
session_begin configure
start_xvfb 1280x800
start_simulator "$simulator" --level 853 --weighting 1 --name "Configure" --location "Xvfb"
write_settings "127.0.0.1:$port"
settings=$XDG_CONFIG_HOME/Corvanta/Decimon.reg

# The picture of the level and dose lines.
level_shot() { import -window root "$artifacts/$1.png"; convert "$artifacts/$1.png" -crop 900x300+190+60 +repage "$work/$1.png"; }

start_display "$decimon"
main=$win
sleep 2.5  # the first tick polls after 500 ms; its result shows at the next tick
level_shot configure-before

xdotool windowfocus --sync "$main" key c
wait_for 5 has_window "Configure..." || fail "C did not open the configuration dialog"
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
