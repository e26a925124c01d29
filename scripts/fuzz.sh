#!/usr/bin/env bash
# Fuzzes the REGEDIT4 reader of the settings file: builds fuzz/regedit_fuzzer with clang in
# its own build tree and runs it for a bounded time (seconds, default 30) on the seed corpus
# fuzz/corpus. Exits non-zero when the fuzzer finds a fault; the input that caused it is
# left in the build tree's fuzz-artifacts folder.
#   scripts/fuzz.sh [SECONDS]     build tree: $DECIMON_FUZZ_BUILD, default build-fuzz
set -euo pipefail
DECIMON_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${DECIMON_FUZZ_BUILD:-$DECIMON_ROOT/build-fuzz}
SECONDS_TO_RUN=${1:-30}

cmake -S "$DECIMON_ROOT" -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DDECIMON_FUZZ=ON -DDECIMON_TESTS=OFF -DDECIMON_BENCH=OFF >/dev/null
cmake --build "$BUILD" --target regedit_fuzzer

# New inputs go to a corpus of the build tree; the seeds in the source tree stay as they are.
corpus="$BUILD/fuzz-corpus"
artifacts="$BUILD/fuzz-artifacts"
mkdir -p "$corpus" "$artifacts"
status=0
"$BUILD/fuzz/regedit_fuzzer" -max_total_time="$SECONDS_TO_RUN" -max_len=65536 -timeout=10 \
  -rss_limit_mb=2048 -dict="$DECIMON_ROOT/fuzz/regedit.dict" -artifact_prefix="$artifacts/" \
  -print_final_stats=1 "$corpus" "$DECIMON_ROOT/fuzz/corpus" >"$BUILD/fuzz.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 60 "$BUILD/fuzz.log" >&2
  echo "fuzz.sh: regedit_fuzzer failed (exit $status); see $artifacts and $BUILD/fuzz.log" >&2
  exit "$status"
fi
grep -E '^stat::number_of_executed_units' "$BUILD/fuzz.log" || true
echo "fuzz.sh: regedit_fuzzer ran ${SECONDS_TO_RUN}s without a fault"
