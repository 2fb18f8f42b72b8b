#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU and wake-ups of 'susurra-cli play' through a real PulseAudio of its own
# (default sink: a pipe at 44100 Hz mono, clocked in real time), once per
# backend: the sound-server backend, and ALSA through the server's ALSA
# plug-in (what the PortAudio path costs on a desktop). Never touches the
# machine's own configuration.
#   bench/playback/sound_server_wakeups.sh [build dir] [seconds]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
seconds=${2:-20}
cli=$build/src/cli/susurra-cli
work=$(mktemp -d)
server=
reader=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  [ -n "$reader" ] && kill "$reader" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/sink.raw"
exec 3<>"$work/sink.raw"
cat <&3 >/dev/null &
reader=$!
cat >"$work/server.pa" <<PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-pipe-sink file=$work/sink.raw sink_name=capture format=s16le rate=44100 channels=1 use_system_clock_for_timing=yes
set-default-sink capture
PA
HOME=$work XDG_RUNTIME_DIR=$work PULSE_RUNTIME_PATH=$work PULSE_STATE_PATH=$work \
  pulseaudio --daemonize=no -n -F "$work/server.pa" --exit-idle-time=-1 --system=false \
  --use-pid-file=no --log-target=file:"$work/server.log" &
server=$!
export PULSE_SERVER=unix:$work/native
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
# ALSA's "default" goes to this server through the plug-in, for the PortAudio path.
cat >"$work/asound.conf" <<CONF
</usr/share/alsa/alsa.conf>
pcm.!default { type pulse }
ctl.!default { type pulse }
CONF

switches() {  # voluntary context switches of every thread of $1
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ {s += $2} END {print s + 0}'
}
ticks() {  # user + system clock ticks of $1 (getrusage of another process)
  awk '{print $14 + $15}' /proc/"$1"/stat
}

measure() {  # backend
  SUSURRA_BACKEND=$1 ALSA_CONFIG_PATH=$work/asound.conf "$cli" play --type pink --volume 230 \
    2>"$work/$1.err" &
  local pid=$!
  sleep 3  # past the signal making and the first fills
  local s0 t0 s1 t1 hz
  s0=$(switches $pid); t0=$(ticks $pid)
  sleep "$seconds"
  s1=$(switches $pid); t1=$(ticks $pid)
  kill -INT $pid; wait $pid || true
  hz=$(getconf CLK_TCK)
  awk -v b="$1" -v s=$((s1 - s0)) -v t=$((t1 - t0)) -v hz="$hz" -v secs="$seconds" \
    'BEGIN {printf "%-6s CPU %.2f %% of one core, %.1f wake-ups/s (%d s)\n", b, 100 * t / hz / secs, s / secs, secs}'
}

measure pulse
measure alsa
