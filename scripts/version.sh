#!/usr/bin/env bash
# The Debian version of a build of COMMIT (HEAD by default): BASE, the project's version, for a
# release built from its tag vBASE or for sources without their git history (a tarball);
# otherwise BASE+gitN.HASH, where N counts the commits up to COMMIT and HASH is its short hash.
# A commit's count is above that of every commit before it, so dpkg ranks a later build of
# main above an earlier one, and both above the release BASE. A shallow clone counts too few
# commits: build packages from full clones.
#   scripts/version.sh BASE [COMMIT]
set -euo pipefail
base=$1 commit=${2:-HEAD}
root=$(cd "$(dirname "$0")/.." && pwd -P)
# Only the history of these sources: a tarball unpacked inside another repository has none.
if [ "$(git -C "$root" rev-parse --show-toplevel 2>/dev/null)" != "$root" ]; then
  echo "$base"
  exit 0
fi
if [ "$(git -C "$root" rev-parse --is-shallow-repository)" = true ]; then
  echo "version.sh: a shallow clone; its package version ranks below those of full clones" >&2
fi
if [ -n "$(git -C "$root" tag --points-at "$commit" --list "v$base")" ]; then
  echo "$base"
else
  echo "$base+git$(git -C "$root" rev-list --count "$commit").$(git -C "$root" rev-parse --short=10 "$commit")"
fi
