#!/usr/bin/env bash
# Writes CHANGELOG.md as Debian's changelog on standard output: a "## VERSION (YYYY-MM-DD)"
# section an entry, its "### HEADING" lines as "[ HEADING ]", its "- " items as "* " items
# wrapped within 78 columns. The newest entry carries BUILD-VERSION (this build's, such as
# 1.2.0.0~git42.1a2b3c4) when that is a build of its version, so that the package's version and
# its changelog's agree.
#   debian_changelog.sh CHANGELOG.md BUILD-VERSION "NAME <MAIL>"
set -euo pipefail
changelog=$1 build_version=$2 maintainer=$3

awk -v build="$build_version" -v maintainer="$maintainer" '
  function flush_item() {
    if (item == "") return
    n = split(item, words, " ")
    line = "  *"
    for (i = 1; i <= n; i++) {
      if (length(line) + 1 + length(words[i]) > 78) { print line; line = "   " }
      line = line " " words[i]
    }
    print line
    item = ""
  }
  function close_entry() {
    flush_item()
    if (date == "") return
    cmd = "date -R -u -d " date; cmd | getline stamp; close(cmd)
    printf "\n -- %s  %s\n", maintainer, stamp
    date = ""
  }
  /^## / {
    close_entry()
    if ($0 !~ /^## [0-9][0-9.]* \([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]\)$/) {
      print "debian_changelog.sh: not a version heading: " $0 > "/dev/stderr"; exit 1
    }
    version = $2; date = substr($3, 2, 10)
    if (entries++ == 0 && (build == version || index(build, version "~") == 1 || index(build, version "+") == 1))
      version = build
    if (entries > 1) print ""
    printf "decimon (%s) unstable; urgency=medium\n\n", version
    first = 1
    next
  }
  date == "" { next }  # the introduction
  /^### / { flush_item(); if (!first) print ""; print "  [ " substr($0, 5) " ]"; first = 0; next }
  /^- / { flush_item(); item = substr($0, 3); first = 0; next }
  /^  +[^ ]/ && item != "" { sub(/^ +/, ""); item = item " " $0; next }
  /^$/ { flush_item(); next }
  { print "debian_changelog.sh: cannot place: " $0 > "/dev/stderr"; exit 1 }
  END { close_entry() }
' "$changelog"
