#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and the tests need, builds everything and runs every
# test.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh" run test
"$root/scripts/build.sh" -DSUSURRA_BUILD_TESTS=ON
ctest --test-dir "${BUILD_DIR:-$root/build}" --output-on-failure --timeout 600
