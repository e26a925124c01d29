#!/usr/bin/env bash
# The test command: installs what is missing, builds everything and runs every test.
set -euo pipefail
DECIMON_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$DECIMON_ROOT/scripts/deps.sh"

decimon_install_packages
decimon_enable_test_locale
"$DECIMON_ROOT/scripts/format.sh" --check
decimon_build "$DECIMON_ROOT/build" -DDECIMON_WERROR=ON

# The monitoring engine once more under ThreadSanitizer: it must report nothing.
cmake -S "$DECIMON_ROOT" -B "$DECIMON_ROOT/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DDECIMON_BENCH=OFF
cmake --build "$DECIMON_ROOT/build-tsan" --target meter_monitor_test
TSAN_OPTIONS="halt_on_error=1 exitcode=66" "$DECIMON_ROOT/build-tsan/tests/monitor/meter_monitor_test"

# The SNMP session once more under UndefinedBehaviorSanitizer: the meter's answers reach
# the text copies unchecked, so any undefined behaviour there fails the run.
cmake -S "$DECIMON_ROOT" -B "$DECIMON_ROOT/build-ubsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS=-fsanitize=undefined -fno-sanitize-recover=all" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=undefined \
  -DDECIMON_BENCH=OFF
cmake --build "$DECIMON_ROOT/build-ubsan" --target snmp_device_test
"$DECIMON_ROOT/build-ubsan/tests/snmp/snmp_device_test"

# The settings file reader under libFuzzer, for a bounded time.
"$DECIMON_ROOT/scripts/fuzz.sh" 30

ctest --test-dir "$DECIMON_ROOT/build" --output-on-failure --parallel 2
