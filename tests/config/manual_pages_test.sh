#!/usr/bin/env bash
# The manual pages: every value the settings store reads has its entry in decimon-settings(5),
# and every entry there is a value it reads; every page renders without a warning of groff's.
#   manual_pages_test.sh SOURCE_DIR
set -euo pipefail
root=$1
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The value names of the store's sources ("Recent%d" for Recent1 to Recent10), and the tags of
# the page's SETTINGS section, "Recent1 ... Recent10" read the same way.
code=$(grep -ohP '"\K[A-Z][A-Za-z]+(%d)?(?=")' "$root"/config/settings_store.cpp | sort -u)
page=$(awk '/^\.SH /{ on = ($2 == "SETTINGS") } on && prev == ".TP" { print } { prev = $0 }' \
  "$root/docs/man/decimon-settings.5" |
  sed -E 's/^\.BR? //; s/^Recent1 .*Recent10$/Recent%d/' | sort -u)
[ "$(wc -l <<<"$code")" -ge 15 ] || fail "found only $(wc -l <<<"$code") settings in the sources"
missing=$(comm -23 <(echo "$code") <(echo "$page"))
[ -z "$missing" ] || fail "decimon-settings(5) lacks:" $missing
stale=$(comm -13 <(echo "$code") <(echo "$page"))
[ -z "$stale" ] || fail "decimon-settings(5) describes what the store does not read:" $stale

for manual in "$root"/docs/man/*.[1-8]; do
  warnings=$(groff -ww -man -z "$manual" 2>&1)
  [ -z "$warnings" ] || fail "$(basename "$manual"): $warnings"
done
echo "manual pages: $(wc -l <<<"$code") settings, $(ls "$root"/docs/man/*.[1-8] | wc -l) pages"
