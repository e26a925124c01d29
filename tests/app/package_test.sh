#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: its name, its dependencies on Qt 6,
# net-snmp, SQLite, libmicrohttpd (with the metrics module's GnuTLS, yaml-cpp and libxcrypt) and
# the display font and Qt's own catalogues, its version (and in a scratch clone: builds before and after a tag against the
# tag's, the source tarball's, and a stop where git cannot count), its files (the Prometheus
# rules valid, the manual pages, the changelog of its version), lintian's verdict, that the installed program starts and serves its metrics page, and that
# decimon-report makes a report without a display. WAYLAND-MODULE, in a build with Qt's Wayland client, is where the program looks for
# its Wayland module, relative to its own folder.
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
              libcrypt1 fonts-arkpandora qt6-translations-l10n; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
! grep -q libqt6network6 <<<"$depends" || fail "Depends has Qt's network library, which nothing uses: $depends"
[ "$(dpkg-deb -f "$deb" Recommends)" = qt6-wayland ] || fail "the package does not recommend Qt's Wayland platform"
# The version rises with each commit, so that a rebuilt package upgrades the installed one; a
# release's tag gives the plain version.
version=$(dpkg-deb -f "$deb" Version) base=${version%%[~+]*}
sources=$(cd "$(dirname "$0")/../.." && pwd)
[ "$version" = "$("$sources/scripts/version.sh" "$base")" ] || fail "the package's version $version is not this build's"
if [ "$version" != "$base" ] && git -C "$sources" rev-parse -q --verify HEAD~1 >/dev/null; then
  earlier=$("$sources/scripts/version.sh" "$base" HEAD~1)
  dpkg --compare-versions "$version" gt "$earlier" || fail "the version $version does not rank above $earlier of the commit before"
fi
# In a clone whose release is tagged at HEAD~1 (the scripts under test committed there): a build
# before the tag ranks below the release, one after it above, the source tarball carries its
# version; without git or VERSION, refused as another user's, or shallow, version.sh stops.
clone=$work/clone
v() { "$clone/scripts/version.sh" "$base" "$@"; }
git clone -q "$sources" "$clone" && cp "$sources"/scripts/{version,source_tarball}.sh "$clone/scripts/"
git -C "$clone" add scripts
for m in scripts after; do git -C "$clone" -c user.name=t -c user.email=t@localhost commit -q --allow-empty -m $m; done
git -C "$clone" tag "v$base" HEAD~1
[ "$(v HEAD~1)" = "$base" ] && dpkg --compare-versions "$(v HEAD~2)" lt "$base" && dpkg --compare-versions "$(v)" gt "$base" ||
  fail "around the tag v$base: $(v HEAD~2), $(v HEAD~1), $(v)"
tar xzf "$("$clone/scripts/source_tarball.sh")" -C "$work" && unpacked=$work/decimon-$(v)
[ "$("$unpacked/scripts/version.sh" "$base")" = "$(v)" ] || fail "the source tarball does not carry $(v)"
stops() { # WHAT COMMAND...: status 1, no version, one line
  local out status=0
  out=$("${@:2}" 2>"$work/err") || status=$?
  [ "$status$out$(wc -l <"$work/err")" = 11 ] || fail "version.sh $1: status $status, \"$out\", said: $(cat "$work/err")"
}
rm "$unpacked/VERSION"
stops "without git or VERSION" "$unpacked/scripts/version.sh" "$base"
mkdir "$work/no-git" && ln -s "$(command -v bash)" "$(command -v dirname)" "$work/no-git/"
stops "without git" env PATH="$work/no-git" "$clone/scripts/version.sh" "$base"
git clone -q --depth 1 "file://$clone" "$work/shallow"
stops "in a shallow clone" "$work/shallow/scripts/version.sh" "$base"
if [ "$(id -u)" = 0 ]; then # git refuses a clone of another user
  chown -R nobody "$clone"
  stops "in another user's clone" env GIT_CONFIG_NOSYSTEM=1 GIT_CONFIG_GLOBAL=/dev/null "$clone/scripts/version.sh" "$base"
fi

contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/decimon ./usr/bin/decimon-levels ./usr/bin/decimon-report ./usr/bin/decimon-meter-sim ./usr/share/applications/decimon.desktop \
            ./usr/share/icons/hicolor/scalable/apps/decimon.svg ./usr/share/icons/hicolor/48x48/apps/decimon.png \
            ./usr/share/icons/hicolor/256x256/apps/decimon.png ./usr/share/decimon/prometheus/decimon.rules.yml \
            ./usr/share/man/man1/decimon.1.gz ./usr/share/man/man5/decimon-settings.5.gz \
            ./usr/share/doc/decimon/changelog.Debian.gz ./usr/share/doc/decimon/copyright \
            ./usr/share/doc/decimon/examples/alertmanager.yml ./usr/share/doc/decimon/examples/decimon-autostart.desktop; do
  grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
done
# Debian's own checks find no error (the warnings left, and why, are in the developers' guide),
# and the changelog's newest entry is this package's version.
lintian --no-cfg --fail-on error "$deb" >"$work/lintian.log" 2>&1 || fail "lintian: $(grep '^E: ' "$work/lintian.log")"
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/decimon/changelog.Debian.gz | gzip -d >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] || fail "the changelog's newest entry is not $version"

# The packaged program starts and stays up (offscreen, against the simulator).
dpkg-deb -x "$deb" "$work/root"
[ "$("$work/root/usr/bin/decimon" --version)" = "decimon $version" ] || fail "decimon --version does not name $version"
# The installed documents: every path that --help names, and every relative link between them.
for path in $("$work/root/usr/bin/decimon" --help | grep -o '/usr/share/[^ ]*'); do
  [ -e "$work/root$path" ] || fail "decimon --help names $path, which the package lacks"
done
while IFS=: read -r document target; do
  [ -e "$(dirname "$document")/${target%%#*}" ] || fail "${document#"$work/root"} links to $target, which the package lacks"
done < <(grep -o '\]([^):]*)' -r "$work/root/usr/share/doc/decimon" --include='*.md' | sed 's/:](\(.*\))$/:\1/')
promtool check rules "$work/root/usr/share/decimon/prometheus/decimon.rules.yml" >/dev/null ||
  fail "promtool refuses the packaged rules"
promtool test rules "$work/root/usr/share/doc/decimon/examples/decimon.rules.test.yml" >/dev/null ||
  fail "the rules' test fails where the package puts it"
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
# decimon-report without a display (no DISPLAY, no WAYLAND_DISPLAY), as cron runs it, on a
# record of one minute yesterday (its default day): the summary and the day, fonts embedded.
sqlite3 "$work/report.sqlite3" "CREATE TABLE minutes (host TEXT, start INTEGER, weighting TEXT, samples INTEGER,
  seconds REAL, leq REAL, lmin REAL, lmax REAL); INSERT INTO minutes VALUES
  ('press', $(date -d 'yesterday 12:00' +%s), 'dBA', 60, 60, 85, 80, 90)"
(unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
 bounded 20 "decimon-report" "$work/root/usr/bin/decimon-report" --database "$work/report.sqlite3" \
   --output "$work/report.pdf" 2>"$work/report.err") && pdfinfo "$work/report.pdf" | grep -q '^Pages: *2$' ||
  { cat "$work/report.err"; fail "the packaged decimon-report makes no report without a display"; }
[ -z "$(pdffonts "$work/report.pdf" | awk 'NR > 2 && $(NF - 4) != "yes"')" ] ||
  fail "the report has fonts that are not embedded: $(pdffonts "$work/report.pdf")"
echo "package: $(basename "$deb") with $depends"
