#!/usr/bin/env bash
# The test command: installs what is missing, builds everything (through ccache, see
# scripts/deps.sh) and runs every test.
set -euo pipefail
DECIMON_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$DECIMON_ROOT/scripts/deps.sh"

decimon_install_packages "${DECIMON_RUN_PACKAGES[@]}" "${DECIMON_TEST_PACKAGES[@]}"
decimon_enable_test_locale
decimon_use_ccache
"$DECIMON_ROOT/scripts/format.sh" --check
decimon_build "$DECIMON_ROOT/build" -DDECIMON_WERROR=ON "${DECIMON_CCACHE[@]}"

# The engine, its record, the metrics endpoint, the registry and the display's tests that drive
# the worker (the view, the diagnostics dialog, the Configure command) once more under
# ThreadSanitizer: they must report nothing. The display's tests take tests/tsan.supp for Qt's
# own thread pool; the others none.
tsan="$DECIMON_ROOT/build-tsan"
cmake -S "$DECIMON_ROOT" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${DECIMON_CCACHE[@]}" \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DDECIMON_BENCH=OFF
cmake --build "$tsan" --target meter_monitor_test meter_monitor_record_test metrics_test record_test registry_test \
  view_parts_test child_view_test diag_test configure_command_test tsan_canary
for test in monitor/meter_monitor_test monitor/meter_monitor_record_test metrics/metrics_test record/record_test \
  platform/sys/registry_test; do
  DECIMON_TIME_SCALE=3 TSAN_OPTIONS="halt_on_error=1 exitcode=66" "$tsan/tests/$test"
done
for test in view/view_parts_test view/child_view_test diag/diag_test config/dialogs/configure_command_test; do
  DECIMON_TIME_SCALE=3 QT_QPA_PLATFORM=offscreen \
    TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$DECIMON_ROOT/tests/tsan.supp" "$tsan/tests/$test"
done
# The suppressions must not hide our own races: the canary races on purpose in a timer tick
# and in a paint, under Qt's event loop, and both races must be reported.
canary_log="$tsan/tsan-canary.log"
canary_status=0
QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="exitcode=66 suppressions=$DECIMON_ROOT/tests/tsan.supp" \
  "$tsan/tests/tsan_canary" 2>"$canary_log" || canary_status=$?
if [ "$canary_status" -ne 66 ] || ! grep -q ReadInTick "$canary_log" || ! grep -q ReadInPaint "$canary_log"; then
  echo "test.sh: tests/tsan.supp hides a race of ours under Qt's event loop (see $canary_log)" >&2
  exit 1
fi

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer, every child
# process (simulator, snmpd's clients, the display under Xvfb) included: each report goes to a
# file of its own, and any file fails the run. Time bounds in the tests are three times longer
# (DECIMON_TIME_SCALE). The Debian package test is left out: it packages the plain build. This
# build leaves the Wayland compositor's way out, as a build without Qt's Wayland client does: it
# must build and run on X as well.
asan="$DECIMON_ROOT/build-asan"
cmake -S "$DECIMON_ROOT" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDECIMON_WAYLAND=OFF "${DECIMON_CCACHE[@]}" \
  "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined -DDECIMON_BENCH=OFF
cmake --build "$asan"
reports="$asan/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
status=0
DECIMON_TIME_SCALE=3 ASAN_OPTIONS="log_path=$reports/asan:detect_leaks=1" \
  LSAN_OPTIONS="suppressions=$DECIMON_ROOT/tests/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan" \
  ctest --test-dir "$asan" --output-on-failure --parallel 2 -E '^Package\.' || status=$?
if [ -n "$(ls -A "$reports")" ]; then
  cat "$reports"/* >&2
  echo "test.sh: the sanitizers reported faults (above; files in $reports)" >&2
  exit 1
fi
[ "$status" -eq 0 ] || exit "$status"

# The settings file reader and the SNMP answer path under libFuzzer, for a bounded time each.
"$DECIMON_ROOT/scripts/fuzz.sh" 30

ctest --test-dir "$DECIMON_ROOT/build" --output-on-failure --parallel 2
