#!/usr/bin/env bash
# The table of targets at the top of docs/performance.md: one target per figure, and every row
# with the command that measures it again and the commit it was measured on (a commit of this
# history, where the source is a whole git clone).
#   performance_targets_test.sh SOURCE_DIR
set -euo pipefail
root=$1
doc=$root/docs/performance.md

# The rows of the first section's table as figure, target, command and commit, split by \037; a "\|"
# inside a cell is no column's end.
rows=$(awk '/^## / { n++ } n == 1 && /^\|/ && ++row > 2 {
    gsub(/\\\|/, "\001"); split($0, c, / *\| */)
    for (i in c) { gsub(/\001/, "|", c[i]) }
    printf "%s\037%s\037%s\037%s\n", tolower(c[2]), c[3], c[5], c[6] }' "$doc")
[ "$(wc -l <<<"$rows")" -ge 10 ] || { echo "FAIL: found only $(wc -l <<<"$rows") rows in $doc" >&2; exit 1; }

git_history=false
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1 &&
  [ "$(git -C "$root" rev-parse --is-shallow-repository)" = false ]; then
  git_history=true
fi

failed=0
declare -A target_of
while IFS=$'\037' read -r figure target command commit; do
  if [ -n "${target_of[$figure]+set}" ] && [ "${target_of[$figure]}" != "$target" ]; then
    echo "FAIL: two targets for \"$figure\": ${target_of[$figure]} and $target" >&2
    failed=1
  fi
  target_of[$figure]=$target
  [[ $command == \`?*\` ]] || { echo "FAIL: \"$figure\" has no command" >&2; failed=1; }
  if ! [[ $commit =~ ^[0-9a-f]{7,40}$ ]]; then
    echo "FAIL: \"$figure\" names no commit" >&2
    failed=1
  elif $git_history && ! git -C "$root" cat-file -e "$commit^{commit}" 2>/dev/null; then
    echo "FAIL: \"$figure\" names $commit, which is no commit here" >&2
    failed=1
  fi
done <<<"$rows"
[ "$failed" = 0 ] && echo "performance targets: $(wc -l <<<"$rows") rows"
exit "$failed"
