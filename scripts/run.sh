#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and running need, builds the two programs (no tests)
# and starts Susurra.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh" run
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} -DSUSURRA_BUILD_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)" --target susurra susurra-cli
exec "$build/src/app/susurra"
