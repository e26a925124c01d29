#!/usr/bin/env bash
# Makes the source tarball of the committed HEAD in build-package/: decimon-VERSION.tar.gz, its
# files under decimon-VERSION/, with the file VERSION that scripts/version.sh reads where there is
# no git. Standard output is the tarball's path alone. Changes not committed are not in it.
#   scripts/source_tarball.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd -P)
base=$(sed -n 's/^project(Decimon VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
version=$("$root/scripts/version.sh" "$base")
out=$root/build-package
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
echo "$version" >"$scratch/VERSION"
git -C "$root" archive --format=tar.gz --prefix="decimon-$version/" --add-file="$scratch/VERSION" \
  -o "$out/decimon-$version.tar.gz" HEAD
echo "$out/decimon-$version.tar.gz"
