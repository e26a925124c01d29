#!/usr/bin/env bash
# The run command: installs what building and running need when it is missing (not the test
# tools), builds, and shows the display against the bundled meter simulator (a moving level on
# a free loopback port). The simulator stops when the display exits. Run from a desktop session;
# with sudo, the display itself runs as the invoking user.
set -euo pipefail
DECIMON_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$DECIMON_ROOT/scripts/deps.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "decimon: no display to show the meter on (neither DISPLAY nor WAYLAND_DISPLAY is set); run this from a desktop session." >&2
  exit 1
fi

decimon_install_packages "${DECIMON_RUN_PACKAGES[@]}"
decimon_build "$DECIMON_ROOT/build-run" -DDECIMON_TESTS=OFF -DDECIMON_BENCH=OFF

# Under sudo, the simulator and the display run as the user who asked for them.
as_user=()
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
  as_user=(runuser -u "$SUDO_USER" --)
fi

work=$(mktemp -d /tmp/decimon-demo-XXXXXX)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
[ ${#as_user[@]} -eq 0 ] || chown "$SUDO_USER" "$work"

"${as_user[@]}" "$DECIMON_ROOT/build-run/tools/decimon-meter-sim" --port 0 --walk \
  --name "Demo meter" --location "Workshop" </dev/null >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 100); do
  listening=$(head -n 1 "$work/sim.out")
  [ -n "$listening" ] && break
  kill -0 "$sim_pid" 2>/dev/null || { echo "decimon: the meter simulator did not start" >&2; exit 1; }
  sleep 0.05
done
[ -n "$listening" ] || { echo "decimon: the meter simulator did not say where it listens" >&2; exit 1; }
port=${listening##*:}
echo "Meter simulator: ${listening#listening on }"

# The display's own settings file, in a private configuration folder, names the simulator.
mkdir -p "$work/config/Corvanta"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon]\n"HostName"="127.0.0.1:%s"\n' "$port" \
  >"$work/config/Corvanta/Decimon.reg"
[ ${#as_user[@]} -eq 0 ] || chown -R "$SUDO_USER" "$work/config"

# The session's runtime folder (a Wayland display's socket lives there), else a private one.
runtime=${XDG_RUNTIME_DIR:-}
[ ${#as_user[@]} -eq 0 ] || runtime=/run/user/$(id -u "$SUDO_USER")
if [ ! -d "$runtime" ]; then
  runtime=$work/runtime
  mkdir -m 700 "$runtime"
  [ ${#as_user[@]} -eq 0 ] || chown "$SUDO_USER" "$runtime"
fi
# The simulator's levels are recorded in the private folder too, not in the user's own record.
"${as_user[@]}" env XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$runtime" \
  "$DECIMON_ROOT/build-run/app/decimon"
