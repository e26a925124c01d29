#!/usr/bin/env bash
# Fuzzes the REGEDIT4 reader of the settings file (fuzz/regedit_fuzzer) and the SNMP answer
# path (fuzz/snmp_answer_fuzzer): builds both with clang in their own build tree and runs each
# for a bounded time (seconds, default 30) on its seed corpus. Exits non-zero when a fuzzer
# finds a fault; the input that caused it is left in the build tree's fuzz-artifacts folder.
#   scripts/fuzz.sh [SECONDS] [TARGET...]   build tree: $DECIMON_FUZZ_BUILD, default build-fuzz
#   TARGET: regedit_fuzzer, snmp_answer_fuzzer (default both)
# Installs what it needs when it is missing (the build's and the tests' packages: clang and its
# fuzzer runtime are among the latter) and compiles through ccache as the test command does.
set -euo pipefail
DECIMON_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$DECIMON_ROOT/scripts/deps.sh"
decimon_install_packages "${DECIMON_RUN_PACKAGES[@]}" "${DECIMON_TEST_PACKAGES[@]}"
decimon_use_ccache
BUILD=${DECIMON_FUZZ_BUILD:-$DECIMON_ROOT/build-fuzz}
SECONDS_TO_RUN=${1:-30}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(regedit_fuzzer snmp_answer_fuzzer)

declare -A SEEDS=([regedit_fuzzer]=corpus [snmp_answer_fuzzer]=snmp-corpus)
declare -A DICTS=([regedit_fuzzer]=regedit.dict [snmp_answer_fuzzer]=snmp.dict)

cmake -S "$DECIMON_ROOT" -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ "${DECIMON_CCACHE[@]}" \
  -DDECIMON_FUZZ=ON -DDECIMON_TESTS=OFF -DDECIMON_BENCH=OFF >/dev/null
cmake --build "$BUILD" --target "${TARGETS[@]}"

for target in "${TARGETS[@]}"; do
  # New inputs go to a corpus of the build tree; the seeds in the source tree stay as they are.
  corpus="$BUILD/fuzz-corpus/$target"
  artifacts="$BUILD/fuzz-artifacts/$target"
  log="$BUILD/$target.log"
  mkdir -p "$corpus" "$artifacts"
  status=0
  "$BUILD/fuzz/$target" -max_total_time="$SECONDS_TO_RUN" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -dict="$DECIMON_ROOT/fuzz/${DICTS[$target]}" -artifact_prefix="$artifacts/" \
    -print_final_stats=1 "$corpus" "$DECIMON_ROOT/fuzz/${SEEDS[$target]}" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz.sh: $target failed (exit $status); see $artifacts and $log" >&2
    exit "$status"
  fi
  grep -E '^stat::number_of_executed_units' "$log" || true
  echo "fuzz.sh: $target ran ${SECONDS_TO_RUN}s without a fault"
done
