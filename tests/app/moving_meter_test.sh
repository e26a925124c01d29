#!/usr/bin/env bash
# A meter whose name moves to another address is read there again without a restart: the
# display reads "meterbox" at 127.0.0.1 (85.3 dB, in "Hall 1"); the hosts file then names
# ::1, where another meter answers on the same port (61.2 dB, in "Annex, west wing"), and the
# first meter is stopped. Within 40 s the display shows the second meter's location in its
# footer and, painted with it, the second meter's level. Screenshots are kept in ARTIFACTS.
# Runs as root in a mount namespace of its own, with a private /etc/hosts.
#   moving_meter_test.sh DECIMON SIMULATOR ARTIFACTS
set -euo pipefail
decimon=$1 simulator=$2 artifacts=$3
if [ -z "${DECIMON_MOVING_TEST_NAMESPACE:-}" ]; then
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for a private mount namespace"; exit 77; }
  exec unshare -m env DECIMON_MOVING_TEST_NAMESPACE=1 "$0" "$@"
fi
mkdir -p "$artifacts"
. "$(dirname "$0")/x_session.sh"
session_begin moving

echo "hosts: files" >"$work/nsswitch.conf"
echo "127.0.0.1 meterbox" >"$work/hosts"
mount --bind "$work/nsswitch.conf" /etc/nsswitch.conf && mount --bind "$work/hosts" /etc/hosts

start_xvfb 1280x800
start_simulator "$simulator" --level 853 --weighting 1 --name "Press shop" --location "Hall 1"
"$simulator" --address ::1 --port "$port" --level 612 --weighting 1 --name "Press shop" --location "Annex, west wing" \
  </dev/null >"$work/sim2.out" &
session_pids+=($!)
wait_for 10 grep -q listening "$work/sim2.out" || fail "the second simulator did not start on [::1]:$port"
write_settings "meterbox:$port"

# shot NAME: a screenshot, cut into $work/NAME-level.png (the level and dose lines) and
# $work/NAME-footer.png (the footer line).
shot() {
  screenshot "$artifacts/moving-$1.png"
  convert "$artifacts/moving-$1.png" -crop 900x300+190+60 +repage "$work/$1-level.png"
  convert "$artifacts/moving-$1.png" -crop 1280x40+0+760 +repage "$work/$1-footer.png"
}
# differs NAME OTHER PART: that part of the two screenshots differs in more than 100 pixels.
differs() {
  local changed
  changed=$(compare -metric AE "$work/$1-$3.png" "$work/$2-$3.png" null: 2>&1 || true)
  [ "${changed%% *}" -gt 100 ] 2>/dev/null
}

# within LIMIT COMMAND...: COMMAND succeeds before LIMIT seconds (scaled) have passed since
# the move. Not wait_for: each try takes a screenshot, which is slow.
within() {
  local limit=$(($1 * scale))
  shift
  until "$@"; do
    [ $((SECONDS - moved)) -lt "$limit" ] || return 1
    sleep 0.2
  done
}

start_display "$decimon"
sleep 3  # the first tick polls after 500 ms; its result shows at the next tick
shot first
# The name now leads to the other meter; the first one is gone.
echo "::1 meterbox" >"$work/hosts"
kill "$sim_pid"
moved=$SECONDS
# The footer and the level come from one write-back and are painted together: the other
# meter's location in the footer means that the level beside it is the other meter's too.
new_meter_shown() { shot found && differs found first footer; }
within 40 new_meter_shown ||
  fail "the display did not read the meter at its new address within 40 s"
differs found first level || fail "the level shown at the new address is the old meter's"
kill -0 "$app_pid" 2>/dev/null || fail "the display ended"
echo "moving meter: read at its new address $((SECONDS - moved)) s after its name moved"
