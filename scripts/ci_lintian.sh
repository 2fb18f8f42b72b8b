#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package as the README does and checks it with lintian;
# any error or warning fails. Uses the build tree $BUILD_DIR (build/ by
# default); extra arguments go to the configure step.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}

BUILD_DIR=$build "$root/scripts/build.sh" -DSUSURRA_BUILD_APP=ON "$@"
rm -f "$build"/susurra_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/susurra_*.deb)
echo "=== lintian $(basename "$deb")"
lintian --fail-on error,warning --display-info --info "$deb"
echo "lintian: no errors or warnings"
