#!/usr/bin/env bash
# promtool check metrics on the page of each state: no parse error and no lint message at all.
#   promtool_check_metrics.sh PROMTOOL METRICS-PAGE-SAMPLE
set -euo pipefail
promtool=$1 sample=$2
for state in reading none; do
  status=0
  output=$("$sample" "$state" | "$promtool" check metrics 2>&1) || status=$?
  if [ -n "$output" ] || [ $status -ne 0 ]; then
    echo "FAIL: promtool on the page of state $state (status $status):" >&2
    echo "$output" >&2
    exit 1
  fi
done
echo "promtool check metrics: both pages parse, with no lint message"
