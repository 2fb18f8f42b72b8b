#!/usr/bin/env bash
# Installs what is missing, builds everything and starts Susurra.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
if [ -x "$build/src/app/susurra" ]; then
  exec "$build/src/app/susurra"
fi
"$build/src/cli/susurra-cli" --help
