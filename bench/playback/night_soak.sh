#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A long night of the window playing "Easy Bay Surf" (the first start's
# sound), once through a PulseAudio of the script's own and once through
# PipeWire (pipewire, wireplumber and pipewire-pulse on a session bus of
# their own, the graph forced to 44100 Hz). Each server's default sink is a
# pipe at 44100 Hz mono, read by a small reader that finds the longest run of
# silence after the sound began. The window runs under Xvfb and is told to
# play through its media-player interface. Reports, per server: CPU and
# wake-ups of the window, its RSS at the start and at the end, and the
# longest gap. Never touches the machine's own configuration.
#   bench/playback/night_soak.sh [build dir] [minutes] [pulseaudio|pipewire|both]
# One server at a time lets the two soaks run side by side in two shells.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
minutes=${2:-60}
servers=${3:-both}
app=$build/src/app/susurra
work=$(mktemp -d)
chmod 700 "$work"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 4 -screen 0 1280x900x24 -nolisten tcp -noreset 4>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/display")

switches() { # "tid count" for every thread of $1 (voluntary context switches)
  for t in /proc/"$1"/task/*; do
    awk -v t="${t##*/}" '/^voluntary_ctxt_switches/ {print t, $2}' "$t/status" 2>/dev/null
  done
}
# Switches between two of those lists: threads that ended in between are
# left out, threads that began count in full.
switched() { awk 'NR == FNR {a[$1] = $2; next} {s += $2 - ($1 in a ? a[$1] : 0)} END {print s + 0}' <(echo "$1") <(echo "$2"); }
ticks() { awk '{print $14 + $15}' /proc/"$1"/stat; }
rss() { awk '/^VmRSS/ {print $2}' /proc/"$1"/status; }

# Reads the pipe at whatever pace the sink writes; writes the longest run of
# zero samples after the first sound to $2 once a second.
reader() {
  python3 - "$1" "$2" <<'PY' &
import os, sys, array
fd = os.open(sys.argv[1], os.O_RDONLY)
started, run, longest, carry, seen = False, 0, 0, b"", 0
while True:
    data = carry + os.read(fd, 65536)
    if not data:
        break
    n = len(data) // 2 * 2
    carry = data[n:]
    for v in array.array("h", data[:n]):
        if v == 0:
            run += 1
        else:
            if started:
                longest = max(longest, run)
            started, run = True, 0
    seen += n
    if seen >= 88200:
        seen = 0
        with open(sys.argv[2] + ".tmp", "w") as f:
            f.write(str(longest))
        os.replace(sys.argv[2] + ".tmp", sys.argv[2])
PY
  pids+=($!)
}

soak() { # name runtime-dir
  local dir=$2 app_pid s0 t0 r0 s1 t1 r1
  mkdir -p "$dir/home"
  HOME=$dir/home XDG_CONFIG_HOME=$dir/home/config XDG_RUNTIME_DIR=$dir SUSURRA_BACKEND=pulse \
    QT_QPA_PLATFORM=xcb "$app" >"$dir/app.log" 2>&1 &
  app_pid=$!
  pids+=($app_pid)
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.susurra /org/mpris/MediaPlayer2 \
      org.mpris.MediaPlayer2.Player.Play >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 5 # past the signal making and the first fills
  s0=$(switches $app_pid); t0=$(ticks $app_pid); r0=$(rss $app_pid)
  sleep $((minutes * 60))
  s1=$(switches $app_pid); t1=$(ticks $app_pid); r1=$(rss $app_pid)
  kill "$app_pid"; wait "$app_pid" 2>/dev/null || true
  awk -v b="$1" -v s="$(switched "$s0" "$s1")" -v t=$((t1 - t0)) -v hz="$(getconf CLK_TCK)" -v secs=$((minutes * 60)) \
    -v r0="$r0" -v r1="$r1" -v gap="$(cat "$dir/gap" 2>/dev/null || echo '?')" \
    'BEGIN {printf "%-10s CPU %.2f %% of one core, %.1f wake-ups/s, RSS %d -> %d KiB, longest gap %s samples (%d min)\n",
      b, 100 * t / hz / secs, s / secs, r0, r1, gap, secs / 60}'
}

# PulseAudio.
if [ "$servers" != pipewire ]; then
pa=$work/pa
mkdir -p "$pa"
mkfifo "$pa/sink.raw"
reader "$pa/sink.raw" "$pa/gap"
cat >"$pa/server.pa" <<PA
load-module module-native-protocol-unix socket=$pa/native auth-anonymous=1
load-module module-pipe-sink file=$pa/sink.raw sink_name=capture format=s16le rate=44100 channels=1 use_system_clock_for_timing=yes
set-default-sink capture
PA
HOME=$pa XDG_RUNTIME_DIR=$pa PULSE_RUNTIME_PATH=$pa PULSE_STATE_PATH=$pa \
  pulseaudio --daemonize=no -n -F "$pa/server.pa" --exit-idle-time=-1 --system=false \
  --use-pid-file=no --log-target=file:"$pa/server.log" &
pids+=($!)
dbus-daemon --session --nofork --address="unix:path=$pa/bus" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do PULSE_SERVER=unix:$pa/native pactl info >/dev/null 2>&1 && break; sleep 0.1; done
PULSE_SERVER=unix:$pa/native DBUS_SESSION_BUS_ADDRESS=unix:path=$pa/bus soak pulseaudio "$pa"
fi
[ "$servers" = pulseaudio ] && exit 0

# PipeWire, with its pulse server, on a bus of its own.
pw=$work/pw
mkdir -p "$pw"
mkfifo "$pw/sink.raw"
reader "$pw/sink.raw" "$pw/gap"
export XDG_RUNTIME_DIR=$pw DBUS_SESSION_BUS_ADDRESS=unix:path=$pw/bus
dbus-daemon --session --nofork --address="$DBUS_SESSION_BUS_ADDRESS" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$pw/bus" ] && break; sleep 0.05; done
HOME=$pw pipewire >"$pw/pipewire.log" 2>&1 &
pids+=($!)
sleep 1
HOME=$pw wireplumber >"$pw/wireplumber.log" 2>&1 &
pids+=($!)
HOME=$pw pipewire-pulse >"$pw/pipewire-pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do PULSE_SERVER=unix:$pw/pulse/native pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pw-metadata -n settings 0 clock.force-rate 44100 >/dev/null
export PULSE_SERVER=unix:$pw/pulse/native
pactl load-module module-pipe-sink file="$pw/sink.raw" sink_name=capture format=s16le rate=44100 channels=1 >/dev/null
pactl set-default-sink capture
soak pipewire "$pw"
