#!/usr/bin/env bash
# lupdate brings a copy of each catalogue up to the sources: an entry it leaves unfinished (a
# new or changed text) or vanished (a text gone) fails.
#   translations_test.sh LUPDATE SOURCE-DIR FOLDER...
set -euo pipefail
lupdate=$1 source=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source"/res/translations/*.ts "$work/"
cd "$source" && "$lupdate" -locations none "$@" -ts "$work"/*.ts >/dev/null
if grep -B2 'type="\(unfinished\|vanished\|obsolete\)"' "$work"/*.ts | grep '<source>' >&2; then
  echo "entries above unfinished or vanished: build decimon_update_translations, then translate them" >&2
  exit 1
fi
echo "translations: every catalogue up to the sources"
