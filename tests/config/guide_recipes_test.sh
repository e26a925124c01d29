#!/usr/bin/env bash
# The documents' recipes that write a settings file never leave the password readable by
# others, not even for a moment. Each recipe (an indented code block that prints into
# Decimon.reg) runs as written under the default umask in a private folder: "~" and /etc/xdg
# are moved there, the display's group is this user's own, and the display itself is a
# stand-in that does nothing. Before every command and at the end, a settings file, once
# there, may be read by its owner alone; a site's file in /etc/xdg also by its group.
#   guide_recipes_test.sh DOCUMENT...
set -euo pipefail
work=$(mktemp -d /tmp/decimon-recipes-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The recipes without their indentation, each followed by a line "--".
extract_recipes() {
  awk '
    function flush() {
      if (block ~ /Decimon\.reg/ && block ~ /printf/) printf "%s--\n", block
      block = ""
    }
    /^    / { line = $0; sub(/^ +/, "", line); block = block line "\n"; next }
    { flush() }
    END { flush() }
  ' "$1"
}

user_file=$work/home/.config/Corvanta/Decimon.reg
site_file=$work/etc/xdg/Corvanta/Decimon.reg
mkdir -p "$work/bin"
printf '#!/bin/sh\n' >"$work/bin/decimon"
chmod +x "$work/bin/decimon"

# Runs one recipe; a DEBUG trap, which subshells inherit (-T), checks the modes before each command.
run_recipe() {
  local recipe=${1//\/etc\/xdg/$work/etc/xdg}
  recipe=${recipe//root:wall/$(id -un):$(id -gn)}
  (
    cd "$work"
    export HOME=$work/home USER_FILE=$user_file SITE_FILE=$site_file PATH=$work/bin:$PATH
    bash -T -c '
      allow() {
        [ -e "$1" ] || return 0
        local mode
        mode=$(stat -c %a "$1")
        (((8#$mode & ~8#$2) == 0)) || { echo "FAIL: before \`$BASH_COMMAND\` $1 has mode $mode" >&2; exit 1; }
      }
      trap "allow \"\$USER_FILE\" 600; allow \"\$SITE_FILE\" 640" DEBUG
      umask 022
      set -e
      '"$recipe"'
      allow "$USER_FILE" 600
      allow "$SITE_FILE" 640
    '
  )
}

recipes=0
recipe=
while IFS= read -r line; do
  if [ "$line" != -- ]; then
    recipe+=$line$'\n'
    continue
  fi
  recipes=$((recipes + 1))
  rm -rf "$work/home" "$work/etc"
  mkdir -p "$work/home" "$work/etc"
  run_recipe "$recipe" || fail "recipe $recipes failed:"$'\n'"$recipe"
  recipe=
  made=$(find "$work/home" "$work/etc" -name Decimon.reg -printf '%p %m %g\n')
  case $made in
  "$user_file 600 "*) ;;
  "$site_file 640 $(id -gn)") ;;
  *) fail "recipe $recipes made: ${made:-no settings file}" ;;
  esac
done < <(for document in "$@"; do extract_recipes "$document"; done)
[ "$recipes" -ge 2 ] || fail "found $recipes recipes in $*, expected the user's and the site's"
echo "recipes: $recipes recipes make their settings files private from the start"
