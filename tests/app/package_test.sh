#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: its name, its dependencies on Qt 6,
# net-snmp, SQLite, libmicrohttpd (with the metrics module's GnuTLS, yaml-cpp and libxcrypt) and
# the display font, its files (the Prometheus rules valid), and that the installed program
# starts and serves its metrics page. WAYLAND-MODULE, in a build with Qt's Wayland client, is
# where the program looks for its Wayland module, relative to its own folder.
#   package_test.sh BUILD-DIR SIMULATOR [WAYLAND-MODULE]
set -euo pipefail
build=$1 simulator=$2 wayland_module=${3:-}
. "$(dirname "$0")/x_session.sh"
session_begin package

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/decimon_*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = decimon ] || fail "the package is not named decimon"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libsnmp40 libsqlite3-0 libmicrohttpd12 libgnutls30 libyaml-cpp0.7 \
              libcrypt1 fonts-arkpandora; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
! grep -q libqt6network6 <<<"$depends" || fail "Depends has Qt's network library, which nothing uses: $depends"
[ "$(dpkg-deb -f "$deb" Recommends)" = qt6-wayland ] || fail "the package does not recommend Qt's Wayland platform"
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/decimon ./usr/bin/decimon-levels ./usr/bin/decimon-meter-sim ./usr/share/applications/decimon.desktop \
            ./usr/share/icons/hicolor/scalable/apps/decimon.svg ./usr/share/icons/hicolor/48x48/apps/decimon.png \
            ./usr/share/icons/hicolor/256x256/apps/decimon.png ./usr/share/decimon/prometheus/decimon.rules.yml; do
  grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
done

# The packaged program starts and stays up (offscreen, against the simulator).
dpkg-deb -x "$deb" "$work/root"
promtool check rules "$work/root/usr/share/decimon/prometheus/decimon.rules.yml" >/dev/null ||
  fail "promtool refuses the packaged rules"
if [ -n "$wayland_module" ]; then
  [ -f "$work/root/usr/bin/$wayland_module" ] || fail "the package lacks the Wayland module at usr/bin/$wayland_module"
  grep -q libqt6waylandclient6 <<<"$depends" || fail "Depends lacks Qt's Wayland client for the module: $depends"
fi
start_simulator "$simulator" --level 700
private_dirs
# With the metrics endpoint, which the program serves from its module in /usr/lib/decimon.
endpoint_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
write_settings "127.0.0.1:$port" "\"MetricsAddress\"=\"127.0.0.1:$endpoint_port\""
QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/decimon" >"$work/decimon.log" 2>&1 &
app_pid=$!
session_pids+=("$app_pid")
sleep 3
kill -0 "$app_pid" 2>/dev/null || { cat "$work/decimon.log"; fail "the packaged program did not keep running"; }
echo count >&3
wait_for 2 grep -q '^requests [1-9]' "$work/sim.out" || fail "the packaged program did not poll the meter"
wait_for 5 eval 'curl -sf --max-time 1 "http://127.0.0.1:$endpoint_port/metrics" | grep -q "^decimon_meter_up"' ||
  { cat "$work/decimon.log"; fail "the packaged program serves no metrics page"; }
bounded 10 "decimon-levels --help" "$work/root/usr/bin/decimon-levels" --help | grep -q '^usage: decimon-levels' ||
  fail "the packaged decimon-levels does not start"
echo "package: $(basename "$deb") with $depends"
