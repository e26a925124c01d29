#!/usr/bin/env bash
# The package command: installs what building needs when it is missing (not the test tools),
# builds the display without its tests and benchmarks in build-package/, and makes the Debian
# package there. Standard output is the package's path alone; the build talks on standard error.
#   scripts/package.sh
set -euo pipefail
DECIMON_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$DECIMON_ROOT/scripts/deps.sh"

build=$DECIMON_ROOT/build-package
{
  decimon_install_packages "${DECIMON_RUN_PACKAGES[@]}"
  decimon_build "$build" -DDECIMON_TESTS=OFF -DDECIMON_BENCH=OFF
  rm -rf "$build/packages"
  (cd "$build" && cpack -G DEB -B "$build/packages")
} >&2
ls "$build"/packages/decimon_*.deb
