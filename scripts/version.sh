#!/usr/bin/env bash
# The Debian version of a build of COMMIT (HEAD by default), never above the release BASE (the
# project's version) that it leads to, and above every earlier build of the same history:
#   BASE              the release, built from its tag vBASE
#   BASE~gitN.HASH    a build before that tag: Debian's "~" ranks it below BASE
#   BASE+gitN.HASH    a build after it, until the project's version moves on
# where N counts the commits up to COMMIT and HASH is its short hash. Sources without git carry
# their version in the file VERSION, which scripts/source_tarball.sh writes into its tarball. A
# build that cannot ask git (git missing, the clone refused as another user's, a shallow clone,
# which counts too few commits) stops with one line rather than guess, and so does one of
# sources with neither git nor VERSION.
#   scripts/version.sh BASE [COMMIT]
set -euo pipefail
base=$1 commit=${2:-HEAD}
root=$(cd "$(dirname "$0")/.." && pwd -P)
stop() {
  echo "version.sh: $*; the build's version cannot be told" >&2
  exit 1
}
if [ ! -e "$root/.git" ]; then
  [ -s "$root/VERSION" ] || stop "$root has neither its git history nor a VERSION file (scripts/source_tarball.sh writes one)"
  head -n 1 "$root/VERSION"
  exit 0
fi
command -v git >/dev/null || stop "git is not installed"
# One line of git's own: "detected dubious ownership in repository at '...'" for a clone of another user.
shallow=$(git -C "$root" rev-parse --is-shallow-repository 2>&1) ||
  stop "git refuses $root: $(sed -n 's/^fatal: //p' <<<"$shallow" | head -n 1)"
[ "$shallow" = false ] || stop "$root is a shallow clone, which counts too few commits (git fetch --unshallow completes it)"
count=$(git -C "$root" rev-list --count "$commit")
build=git$count.$(git -C "$root" rev-parse --short=10 "$commit")
tagged=$(git -C "$root" rev-parse -q --verify "refs/tags/v$base^{commit}" || true)
if [ "$tagged" = "$(git -C "$root" rev-parse "$commit^{commit}")" ]; then
  echo "$base"
elif [ -n "$tagged" ] && git -C "$root" merge-base --is-ancestor "$tagged" "$commit"; then
  echo "$base+$build"
else
  echo "$base~$build"
fi
