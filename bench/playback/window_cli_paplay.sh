#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU and wake-ups of the window, of 'susurra-cli play' and of paplay, each
# playing "Easy Bay Surf" (the first start's sound) in turn through one
# PulseAudio of the script's own (default sink: a pipe at 44100 Hz mono,
# clocked in real time). The window runs under Xvfb with a session bus of its
# own and is started playing through its media-player interface; paplay plays
# the same sound rendered to a file. Never touches the machine's own
# configuration. PERF=1 records a profile of the window (perf report -i FILE).
# MODES="mono stereo" measures each program in both, side by side, on a sink
# of two channels (stereo: two ears' noise, ticked in the window by its
# mnemonic); the default is mono alone on a one-channel sink.
#   bench/playback/window_cli_paplay.sh [build dir] [seconds]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
seconds=${2:-20}
modes=${MODES:-mono}
sink_channels=1
case " $modes " in *" stereo "*) sink_channels=2 ;; esac
app=$build/src/app/susurra
cli=$build/src/cli/susurra-cli
work=$(mktemp -d)
chmod 700 "$work"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/sink.raw"
exec 3<>"$work/sink.raw"
cat <&3 >/dev/null &
pids+=($!)
cat >"$work/server.pa" <<PA
load-module module-native-protocol-unix socket=$work/native auth-anonymous=1
load-module module-pipe-sink file=$work/sink.raw sink_name=capture format=s16le rate=44100 channels=$sink_channels use_system_clock_for_timing=yes
set-default-sink capture
PA
HOME=$work XDG_RUNTIME_DIR=$work PULSE_RUNTIME_PATH=$work PULSE_STATE_PATH=$work \
  pulseaudio --daemonize=no -n -F "$work/server.pa" --exit-idle-time=-1 --system=false \
  --use-pid-file=no --log-target=file:"$work/server.log" &
pids+=($!)
export PULSE_SERVER=unix:$work/native
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

Xvfb -displayfd 4 -screen 0 1280x900x24 -nolisten tcp -noreset 4>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/display")
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work SUSURRA_BACKEND=pulse QT_QPA_PLATFORM=xcb

switches() { # "tid count" for every thread of $1 (voluntary context switches)
  for t in /proc/"$1"/task/*; do
    awk -v t="${t##*/}" '/^voluntary_ctxt_switches/ {print t, $2}' "$t/status" 2>/dev/null
  done
}
# Switches between two of those lists: threads that ended in between are
# left out, threads that began count in full.
switched() { awk 'NR == FNR {a[$1] = $2; next} {s += $2 - ($1 in a ? a[$1] : 0)} END {print s + 0}' <(echo "$1") <(echo "$2"); }
ticks() { awk '{print $14 + $15}' /proc/"$1"/stat; }
report() { # name pid
  local s0 t0 s1 t1
  s0=$(switches "$2"); t0=$(ticks "$2")
  sleep "$seconds"
  s1=$(switches "$2"); t1=$(ticks "$2")
  awk -v b="$1" -v s="$(switched "$s0" "$s1")" -v t=$((t1 - t0)) -v hz="$(getconf CLK_TCK)" -v secs="$seconds" \
    'BEGIN {printf "%-15s CPU %.2f %% of one core, %.1f wake-ups/s (%d s)\n", b, 100 * t / hz / secs, s / secs, secs}'
}

# The window, on a session bus of its own, told to play by its media keys' interface.
dbus-daemon --session --nofork --address="unix:path=$work/bus" >/dev/null 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
for _ in $(seq 100); do [ -S "$work/bus" ] && break; sleep 0.05; done
for mode in $modes; do
stereo_flag=
[ "$mode" = stereo ] && stereo_flag=--stereo
"$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)
if [ "$mode" = stereo ]; then
  for _ in $(seq 100); do
    main=$(xdotool search --onlyvisible --name "^Susurra - Denoise by Noise\$" 2>/dev/null | head -n1) && [ -n "$main" ] && break
    sleep 0.1
  done
  xdotool windowfocus --sync "$main" key alt+2
  sleep 0.5
fi
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.susurra /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Player.Play >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 4 # past the signal making and the first fills
if [ "${PERF:-0}" = 1 ]; then
  perf record -g -o "$work/../susurra-window.perf" -p "$app_pid" -- sleep "$seconds" >/dev/null 2>&1 &
  pids+=($!)
fi
report "window $mode" "$app_pid"
kill "$app_pid"; wait "$app_pid" 2>/dev/null || true

"$cli" play $stereo_flag 2>"$work/cli.err" &
cli_pid=$!
pids+=($cli_pid)
sleep 4
report "cli $mode" "$cli_pid"
kill -INT "$cli_pid"; wait "$cli_pid" 2>/dev/null || true

# The same sound, rendered without fades for the whole measured stretch.
"$cli" render $stereo_flag --fade-in 0 --fade-out 0 --length "00:$(printf '%02d:%02d' $(((seconds + 10) / 60)) $(((seconds + 10) % 60)))" \
  "$work/surf.wav" 2>/dev/null
paplay "$work/surf.wav" &
paplay_pid=$!
pids+=($paplay_pid)
sleep 2
report "paplay $mode" "$paplay_pid"
kill "$paplay_pid"; wait "$paplay_pid" 2>/dev/null || true
done
