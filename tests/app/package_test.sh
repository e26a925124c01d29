#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: its name, its dependencies on Qt 6,
# net-snmp, SQLite and the display font, its files, and that the installed program starts.
# WAYLAND-MODULE, in a build with Qt's Wayland client, is where the program looks for its
# Wayland module, relative to its own folder.
#   package_test.sh BUILD-DIR SIMULATOR [WAYLAND-MODULE]
set -euo pipefail
build=$1 simulator=$2 wayland_module=${3:-}
work=$(mktemp -d /tmp/decimon-package-XXXXXX)
sim_pid= app_pid=
cleanup() {
  for pid in $app_pid $sim_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  exec 3>&- 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/decimon_*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = decimon ] || fail "the package is not named decimon"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libsnmp40 libsqlite3-0 fonts-arkpandora; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
! grep -q libqt6network6 <<<"$depends" || fail "Depends has Qt's network library, which nothing uses: $depends"
[ "$(dpkg-deb -f "$deb" Recommends)" = qt6-wayland ] || fail "the package does not recommend Qt's Wayland platform"
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/decimon ./usr/bin/decimon-levels ./usr/bin/decimon-meter-sim ./usr/share/applications/decimon.desktop \
            ./usr/share/icons/hicolor/scalable/apps/decimon.svg ./usr/share/icons/hicolor/48x48/apps/decimon.png \
            ./usr/share/icons/hicolor/256x256/apps/decimon.png; do
  grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
done

# The packaged program starts and stays up (offscreen, against the simulator).
dpkg-deb -x "$deb" "$work/root"
if [ -n "$wayland_module" ]; then
  [ -f "$work/root/usr/bin/$wayland_module" ] || fail "the package lacks the Wayland module at usr/bin/$wayland_module"
  grep -q libqt6waylandclient6 <<<"$depends" || fail "Depends lacks Qt's Wayland client for the module: $depends"
fi
mkfifo "$work/sim.in"
"$simulator" --port 0 --level 700 <"$work/sim.in" >"$work/sim.out" &
sim_pid=$!
exec 3>"$work/sim.in"
for _ in $(seq 100); do grep -q listening "$work/sim.out" 2>/dev/null && break; sleep 0.05; done
port=$(head -n 1 "$work/sim.out" | sed 's/.*://')
mkdir -p "$work/config/Corvanta" "$work/runtime" && chmod 700 "$work/runtime"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon]\n"HostName"="127.0.0.1:%s"\n' "$port" \
  >"$work/config/Corvanta/Decimon.reg"
XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen \
  "$work/root/usr/bin/decimon" >"$work/decimon.log" 2>&1 &
app_pid=$!
sleep 3
kill -0 "$app_pid" 2>/dev/null || { cat "$work/decimon.log"; fail "the packaged program did not keep running"; }
echo count >&3
sleep 0.2
requests=$(sed -n 's/^requests //p' "$work/sim.out")
[ "${requests:-0}" -gt 0 ] || fail "the packaged program did not poll the meter"
"$work/root/usr/bin/decimon-levels" --help | grep -q '^usage: decimon-levels' ||
  fail "the packaged decimon-levels does not start"
echo "package: $(basename "$deb") with $depends"
