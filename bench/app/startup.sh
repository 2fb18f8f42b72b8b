#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of the main window against a bare Qt Widgets dialog, side by side
# under Xvfb: each is started RUNS times (default 15), alternating, and timed
# from the start to the MapNotify of its window; prints both medians and
# their ratio. Needs a build with -DSUSURRA_BUILD_BENCH=ON and the app.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
runs=${RUNS:-15}
app=$build/src/app/susurra
bare=$build/bench/app/susurra-bare-dialog
timer=$build/bench/app/susurra-map-timer

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display itself and names it on fd 3; without
# -noreset it resets when the last client leaves and refuses the next one.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
display=:$(head -n1 "$work/display")
export DISPLAY=$display
up=
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && { up=1; break; }; sleep 0.05; done
[ -n "$up" ] || { echo "startup: Xvfb did not start on $display" >&2; cat "$work/xvfb.log" >&2; exit 1; }

# Sound to ALSA's null device through the ALSA backend; settings and caches in the scratch folder.
printf '</usr/share/alsa/alsa.conf>\npcm.!default {\n  type null\n}\n' >"$work/asound.conf"
export ALSA_CONFIG_PATH=$work/asound.conf SUSURRA_BACKEND=${SUSURRA_BACKEND:-alsa}
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb
chmod 700 "$work"

# One warm-up run each fills the page cache.
"$timer" "$app" >/dev/null
"$timer" "$bare" >/dev/null
for _ in $(seq "$runs"); do
  "$timer" "$app" >>"$work/app.ms"
  "$timer" "$bare" >>"$work/bare.ms"
done
median() { sort -n "$1" | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
app_ms=$(median "$work/app.ms")
bare_ms=$(median "$work/bare.ms")
echo "runs: $runs each"
echo "susurra:     median $app_ms ms to the window's MapNotify ($(sort -n "$work/app.ms" | tr '\n' ' '))"
echo "bare dialog: median $bare_ms ms ($(sort -n "$work/bare.ms" | tr '\n' ' '))"
awk -v a="$app_ms" -v b="$bare_ms" 'BEGIN {printf "ratio: %.2f\n", a / b}'
