#!/usr/bin/env bash
# Sums a /proc/PID/smaps copy (bench/whole_program.sh's SMAPS=FILE) by mapped file: PSS and RSS
# in kB, largest PSS first; anonymous memory as [heap], [anon] and the like.
#   bench/smaps_by_file.sh SMAPS-FILE [LINES]
set -euo pipefail
awk '
  /^[0-9a-f]+-[0-9a-f]+ / { name = (NF >= 6) ? $6 : "[anon]"; sub(".*/", "", name); next }
  $1 == "Pss:" { pss[name] += $2 }
  $1 == "Rss:" { rss[name] += $2 }
  END { for (n in pss) printf "%8d %8d  %s\n", pss[n], rss[n], n }
' "$1" | sort -rn | head -n "${2:-25}" | awk 'BEGIN { print "  PSS kB   RSS kB  file" } { print }'
