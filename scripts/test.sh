#!/usr/bin/env bash
# The test command: installs what is missing, builds everything and runs every test.
set -euo pipefail
DECIMON_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$DECIMON_ROOT/scripts/deps.sh"

decimon_install_packages
decimon_build "$DECIMON_ROOT/build"
ctest --test-dir "$DECIMON_ROOT/build" --output-on-failure --parallel 2
