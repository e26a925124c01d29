#!/usr/bin/env bash
# Formats every C++ file of the repository with .clang-format, or with --check only lists the
# files that are not formatted and fails if there is one.
#   scripts/format.sh [--check]
# Installs clang-format (of the tests' packages) when it is missing.
set -euo pipefail
DECIMON_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$DECIMON_ROOT/scripts/deps.sh"
decimon_install_packages clang-format
cd "$DECIMON_ROOT"

# The tracked sources; outside a git checkout, every source below the root but the build trees.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
fi
if [ "${1:-}" = "--check" ]; then
  unformatted=()
  for file in "${files[@]}"; do
    clang-format --style=file "$file" | cmp -s "$file" - || unformatted+=("$file")
  done
  if [ ${#unformatted[@]} -gt 0 ]; then
    printf 'not formatted (run scripts/format.sh): %s\n' "${unformatted[@]}" >&2
    exit 1
  fi
else
  clang-format --style=file -i "${files[@]}"
fi
