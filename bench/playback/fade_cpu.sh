#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU of 'susurra-cli play' with a fade running against the same play without
# one, on ALSA into a "file" device whose pipe is read at 88200 bytes a second
# (the pace of a sound card). CPU is utime + stime from /proc/PID/stat from
# 3 s after the start (the signal is made and output runs) to just before the
# command ends, and over the whole run. Goal: under 1 % of one core either way.
#   bench/playback/fade_cpu.sh [build dir] [seconds]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
seconds=${2:-30}
cli=$build/src/cli/susurra-cli
work=$(mktemp -d)
reader=
cleanup() {
  [ -n "$reader" ] && kill "$reader" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/capture.raw"
cat >"$work/asound.conf" <<CONF
</usr/share/alsa/alsa.conf>
pcm.!default {
  type file
  slave.pcm "null"
  file "$work/capture.raw"
  format "raw"
}
CONF
python3 - "$work/capture.raw" <<'PY' &
import os, sys, time
fd = os.open(sys.argv[1], os.O_RDWR)
allowance, last = 0.0, time.monotonic()
while True:
    time.sleep(0.01)
    now = time.monotonic()
    allowance = min(allowance + (now - last) * 88200, 8820)
    last = now
    if allowance >= 2:
        allowance -= len(os.read(fd, int(allowance)))
PY
reader=$!

duration=$(printf '00:%02d:%02d' $((seconds / 60)) $((seconds % 60)))
ticks=$(getconf CLK_TCK)
measure() {
  SUSURRA_BACKEND=alsa ALSA_CONFIG_PATH="$work/asound.conf" \
    "$cli" play --type pink --surf-strength 30 --volume 230 --duration "$duration" "$@" 2>/dev/null &
  local pid=$! cpu=0 base=-1 start t0 t1
  start=$(date +%s.%N)
  while kill -0 "$pid" 2>/dev/null; do
    if stat=$(cat /proc/$pid/stat 2>/dev/null); then
      read -r -a f <<<"${stat##*) }"
      cpu=$((f[11] + f[12]))
      t1=$(date +%s.%N)
      if [ "$base" -lt 0 ] && awk -v a="$start" -v b="$t1" 'BEGIN { exit !(b - a >= 3) }'; then
        base=$cpu
        t0=$t1
      fi
    fi
    sleep 0.2
  done
  wait "$pid" || true
  awk -v c="$cpu" -v b="$base" -v k="$ticks" -v s="$start" -v t0="$t0" -v t1="$t1" -v l="$*" 'BEGIN {
    printf "%-28s steady: %.2f s CPU in %.1f s = %.2f %% of one core; whole run: %.2f s in %.1f s = %.2f %%\n",
      (l == "" ? "no fade" : l), (c - b) / k, t1 - t0, 100 * (c - b) / k / (t1 - t0), c / k, t1 - s, 100 * c / k / (t1 - s) }'
}
measure
measure --fade-out "$seconds"
measure --fade-in 60 --fade-out "$seconds"
