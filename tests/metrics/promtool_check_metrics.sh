#!/usr/bin/env bash
# promtool check metrics on the page of each state: no parse error and no lint message but the
# one about decimon_record_pending_minutes, whose name (an interface) keeps its unit minutes.
#   promtool_check_metrics.sh PROMTOOL METRICS-PAGE-SAMPLE
set -euo pipefail
promtool=$1 sample=$2
for state in reading none; do
  status=0
  output=$("$sample" "$state" | "$promtool" check metrics 2>&1) || status=$?
  others=$(grep -v '^decimon_record_pending_minutes use base unit "seconds" instead of "minutes"$' <<<"$output" || true)
  if [ -n "$others" ] || { [ $status -ne 0 ] && [ -z "$output" ]; }; then
    echo "FAIL: promtool on the page of state $state (status $status):" >&2
    echo "$output" >&2
    exit 1
  fi
done
echo "promtool check metrics: both pages parse, no lint message but the known one"
