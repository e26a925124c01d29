#!/usr/bin/env bash
# The documents' recipes that write a settings file never leave the password readable by
# others, not even for a moment. Each recipe (an indented code block that prints into
# Decimon.reg) runs as written under the default umask in a private folder: "~" and /etc/xdg
# are moved there, the display's group is this user's own, and the display itself is a
# stand-in that does nothing. Before every command and at the end, a settings file, once
# there, may be read by its owner alone; a site's file in /etc/xdg also by its group.
# The administrator's guide lists every message the program's sources print, its backup and
# restore recipes run as written, and its removal takes away every file the recipes write.
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

# The administrator's guide's section SECTION (its lines up to the next heading), from the
# chapter that holds it.
#   section CHAPTER... SECTION
section() {
  awk -v title="${!#}" '/^#/ { if (on) exit; on = substr($0, index($0, " ") + 1) == title; next } on' "${@:1:$#-1}"
}
root=$(cd "$(dirname "$0")/../.." && pwd)
guide=()
for document in "$@"; do
  [[ $document != */docs/admin/* ]] || guide+=("$document")
done
[ "${#guide[@]}" -gt 0 ] || fail "no chapter of the administrator's guide (docs/admin) among $*"

# Every message the program's sources print as "decimon: …" has its entry in the guide's list:
# each fixed part of its text, between the values filled in (%s, %1 and the like), is there.
messages=$(section "${guide[@]}" "The messages")
[ -n "$messages" ] || fail "the administrator's guide has no section \"The messages\""
checked=0
while IFS= read -r part; do
  checked=$((checked + 1))
  grep -qF -- "$part" <<<"$messages" || fail "the guide's list of messages lacks: $part"
done < <(grep -rhoP --include='*.cpp' --include='*.h' --exclude-dir={tests,bench,fuzz,tools,.git} --exclude-dir='build*' \
  '"decimon: (?:[^"\\]|\\.)*"' "$root" |
  sed 's/^"//; s/"$//; s/\\"/"/g; s/\\n/\n/g; s/%[0-9]/\n/g; s/%[-.0-9]*l*[a-z]/\n/g' |
  sed 's/^ *//; s/ *$//' | awk 'length >= 4' | sort -u)
[ "$checked" -ge 20 ] || fail "found only $checked parts of messages in the sources"
echo "recipes: the guide lists every message of the program ($checked parts checked)"

# The backup recipe as the guide has it, in a private tree: the wall user's home, the site's
# folder and root's backup folder moved there, runuser a stand-in that runs the command in that
# home. It copies the settings files there are (the user's own may be missing) and the record.
backup=$(section "${guide[@]}" "Backing up" | sed -n 's/^    //p')
tree=$work/backup-run
declare -A settings_file=([user]=$tree/home/wall/.config/Corvanta/Decimon.reg [site]=$tree/etc/xdg/Corvanta/Decimon.reg)
printf '#!/bin/sh\ncd "$WALL_HOME" && exec sh -c "$4"\n' >"$work/bin/runuser"
chmod +x "$work/bin/runuser"
for files in "site user" "site"; do
  rm -rf "$tree"
  mkdir -p "$tree/home/wall/.config/Corvanta" "$tree/home/wall/.local/share/Corvanta/Decimon" "$tree/etc/xdg/Corvanta"
  for which in $files; do echo "$which" >"${settings_file[$which]}"; done
  sqlite3 "$tree/home/wall/.local/share/Corvanta/Decimon/levels.sqlite3" "CREATE TABLE minutes (start INTEGER); INSERT INTO minutes VALUES (0)"
  recipe=$(sed "s|/home/wall|$tree/home/wall|g; s|/etc/xdg|$tree/etc/xdg|g; s|/root/backup|$tree/root/backup|g" <<<"$backup")
  (cd "$tree" && WALL_HOME=$tree/home/wall PATH=$work/bin:$PATH bash -euc "$recipe") ||
    fail "the backup recipe failed with the settings files: $files"$'\n'"$recipe"
  [ "$(stat -c %a "$tree/root/backup")" = 700 ] || fail "the backup folder is readable by others"
  copies=$(cat "$tree"/root/backup/*.reg | sort | xargs)
  [ "$copies" = "$files" ] || fail "the backup holds the settings files \"$copies\", not \"$files\""
  [ "$(sqlite3 "$tree"/root/backup/*.sqlite3 'SELECT count(*) FROM minutes')" = 1 ] || fail "the backup lacks the record"
done
echo "recipes: the backup recipe copies the settings files there are and the record"

# The restore recipe as written, after the last backup above and a minute more in the record:
# the stand-in log-in service notes whether the record is the backup's when it is stopped and
# started; the display is not running (pgrep finds none).
data=$tree/home/wall/.local/share/Corvanta/Decimon
sqlite3 "$data/levels.sqlite3" "INSERT INTO minutes VALUES (60)" && touch "$data/levels.sqlite3-wal"
printf '#!/bin/sh\necho "$1 $(cmp -s %s/levels.sqlite3 %s/levels-backup.sqlite3 && echo restored)" >>"%s/services"\n' \
  "$data" "$tree/root/backup" "$work" >"$work/bin/systemctl"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/pgrep"
chmod +x "$work/bin/systemctl" "$work/bin/pgrep"
recipe=$(section "${guide[@]}" "Restoring" | sed -n 's/^    //p' |
  sed "s|/home/wall|$tree/home/wall|g; s|/root/backup|$tree/root/backup|g; s|-o wall -g wall|-o $(id -un) -g $(id -gn)|")
(PATH=$work/bin:$PATH bash -euc "$recipe") || fail "the restore recipe failed:"$'\n'"$recipe"
[ "$(cat "$work/services")" = "stop "$'\n'"start restored" ] || fail "the restore recipe: $(cat "$work/services")"
[ "$(stat -c %a "$data/levels.sqlite3")" = 600 ] && [ ! -e "$data/levels.sqlite3-wal" ] ||
  fail "the restored record is readable by others, or its old log is left"

# Every file a recipe of the documents writes under /etc or /home is removed in "Removing" (or
# its folder), and no recipe installs a package file by a name that package.sh may not print.
removing=$(section "${guide[@]}" "Removing")
while read -r path; do
  grep -qF -e "$path" -e "$(dirname "$path") " <<<"$removing" || fail "\"Removing\" leaves $path behind"
done < <(sed -n 's/^ \{4,\}//p' "$@" | grep -oP '(>>?|ln -s \S+) \K/(etc|home)/[^\s)]+' | sort -u)
! sed -n 's/^ \{4,\}//p' "$@" | grep 'decimon_.*\.deb' || fail "a recipe names a package file"
echo "recipes: the restore recipe stops the display first, \"Removing\" leaves no file of the recipes behind"
