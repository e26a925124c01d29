#!/usr/bin/env bash
# The catalogues hold every text the sources mark for translation, each translated, and
# nothing the sources no longer have: lupdate brings a copy of each up to the sources, and
# any entry it leaves unfinished (a new or changed text) or vanished (a text gone) fails.
#   translations_test.sh LUPDATE SOURCE-DIR FOLDER...
set -euo pipefail
lupdate=$1 source=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source"/res/translations/*.ts "$work/"
cd "$source"
"$lupdate" -locations none "$@" -ts "$work"/*.ts >/dev/null
status=0
for ts in "$work"/*.ts; do
  open=$(grep -c 'type="\(unfinished\|vanished\|obsolete\)"' "$ts" || true)
  if [ "$open" != 0 ]; then
    echo "$(basename "$ts"): $open entries unfinished or vanished; cmake --build build --target decimon_update_translations, then translate them:" >&2
    grep -B2 'type="\(unfinished\|vanished\|obsolete\)"' "$ts" | grep '<source>' >&2
    status=1
  fi
done
[ "$status" = 0 ] && echo "translations: every catalogue up to the sources"
exit "$status"
