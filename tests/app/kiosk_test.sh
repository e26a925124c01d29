#!/usr/bin/env bash
# The wall screen: the desktop entries are valid, and the autostart entry is off until an
# administrator links it into the autostart folder.
#   kiosk_test.sh entries SOURCE-DIR
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }

# Every desktop entry passes desktop-file-validate without a word: errors, warnings or hints.
check_entries() {
  local entry report
  for entry in "$@"; do
    report=$(desktop-file-validate "$entry" 2>&1) || fail "$entry is invalid: $report"
    [ -z "$report" ] || fail "desktop-file-validate has remarks on $entry: $report"
  done
}

case_name=$1; shift
case $case_name in
entries)
  source_dir=$1
  check_entries "$source_dir/app/decimon.desktop" "$source_dir/app/decimon-autostart.desktop"
  echo "kiosk: desktop entries valid"
  ;;
*) fail "unknown case $case_name" ;;
esac
