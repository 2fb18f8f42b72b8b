#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real window on a session bus of its own, under Xvfb, playing into an
# ALSA file device: the media-player interface (the name appears, Play is
# heard and reported, Stop is reported with PropertiesChanged, PlayPause
# plays and stops, Quit ends the program), the computer kept awake from Play
# until playback ends (the portal's stand-in is asked with the window's X11
# handle) and one window per settings folder (a second start hands over and exits
# 0; a socket left by a crash does not block a start).
set -euo pipefail
if [ -z "${SUSURRA_IN_SESSION:-}" ]; then
  SUSURRA_IN_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
audio=$build/tests/e2e/susurra-e2e-audio

work=$(mktemp -d /tmp/susurra-desktop-XXXXXX)
xvfb_pid= app_pid= capture_pid= monitor_pid= standin_pid=
cleanup() {
  for pid in $app_pid $capture_pid $monitor_pid $standin_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "desktop_session_test: $*" >&2; exit 1; }
# A copy of its own: the settings files go next to the program, not into the build tree.
mkdir -p "$work/bin"
cp "$build/src/app/susurra" "$build/src/app/susurra-sound.so" "$work/bin/"
app=$work/bin/susurra

display=
for n in $(seq 161 190); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=:$n; break; fi
done
[ -n "$display" ] || fail "no free X display"
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
# A loaded machine can take seconds to start the server; without it every
# later step fails for a reason that is not its own.
x_up=
for _ in $(seq 400); do
  if xdotool getdisplaygeometry >/dev/null 2>&1; then x_up=1; break; fi
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.05
done
[ -n "$x_up" ] || fail "the X server on $display did not start: $(tail -n 5 "$work/xvfb.log" | tr '\n' ' ')"

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb SUSURRA_BACKEND=alsa
fifo=$work/device.raw
cat >"$work/asound.conf" <<CONF
pcm.null {
  type null
}
pcm.!default {
  type file
  slave.pcm "null"
  file "$fifo"
  format "raw"
}
CONF
export ALSA_CONFIG_PATH=$work/asound.conf
rm -f "$fifo"
"$audio" capture "$fifo" "$work/capture.raw" &
capture_pid=$!
for _ in $(seq 100); do [ -p "$fifo" ] && break; sleep 0.05; done

# The desktop's inhibit services, recording every call.
inhibit_log=$work/inhibit.log
"$build/testing/susurra-inhibit-standin" "$inhibit_log" &
standin_pid=$!
# Inhibit calls and releases, in order, one a line.
inhibits() { grep -v '^held' "$inhibit_log" 2>/dev/null || true; }
held() { grep '^held' "$inhibit_log" 2>/dev/null | tail -n1 | cut -d' ' -f2; }

name=org.mpris.MediaPlayer2.susurra
path=/org/mpris/MediaPlayer2
call() { gdbus call --session --dest "$name" --object-path "$path" --method "$@"; }
property() { call org.freedesktop.DBus.Properties.Get "$1" "$2"; }
wait_for() { for _ in $(seq 200); do eval "$1" >/dev/null 2>&1 && return 0; sleep 0.05; done; return 1; }
main_window() { xdotool search --onlyvisible --name '^Susurra - Denoise by Noise$' 2>/dev/null | head -n1; }

# The two options the window reads; neither opens it.
[ "$("$app" --version)" = "susurra $(sed -n 's/^project(Susurra VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")" ] ||
  fail "--version"
"$app" --help | grep -q -- '--version' || fail "--help"

# A socket left behind by a crash: the first window is killed outright.
"$app" &
app_pid=$!
wait_for '[ -n "$(main_window)" ]' || fail "no window"
kill -KILL "$app_pid"
wait "$app_pid" 2>/dev/null || true
socket=$(ls "$XDG_RUNTIME_DIR"/org.susurra.Susurra.*.instance 2>/dev/null | head -n1)
[ -S "$socket" ] || fail "no socket left behind"
[ "$(stat -c %a "$socket")" = 600 ] || fail "the socket is not the user's alone"
wait_for '[ -z "$(main_window)" ]' || true

"$app" &
app_pid=$!
wait_for '[ -n "$(main_window)" ]' || fail "no window despite the stale socket"
wait_for 'gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method org.freedesktop.DBus.NameHasOwner '"$name"' | grep -q true' || fail "the bus name did not appear"
[[ $(property org.mpris.MediaPlayer2 Identity) == *"'Susurra'"* ]] || fail "Identity"
[[ $(property org.mpris.MediaPlayer2 DesktopEntry) == *"'org.susurra.Susurra'"* ]] || fail "DesktopEntry"
[[ $(property org.mpris.MediaPlayer2.Player PlaybackStatus) == *"'Stopped'"* ]] || fail "not Stopped at start"
[[ $(property org.mpris.MediaPlayer2.Player Metadata) == *"xesam:title"*"Easy Bay Surf"* ]] || fail "Metadata"

dbus-monitor --session "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged'" \
  >"$work/monitor.log" 2>&1 &
monitor_pid=$!
sleep 0.5

call org.mpris.MediaPlayer2.Player.Play >/dev/null
wait_for '[[ $(property org.mpris.MediaPlayer2.Player PlaybackStatus) == *Playing* ]]' || fail "Play: not Playing"
sleep 2
# Sound reached the device: samples that are not all zero.
[ "$(od -An -v -tx1 -N 176400 "$work/capture.raw" | tr -d ' \n0' | wc -c)" -gt 0 ] || fail "Play: no sound at the device"
# Automatic suspend waits: the portal was asked with the window's handle.
handle=x11:$(printf '%x' "$(main_window)")
inhibit="portal Inhibit window=$handle flags=4 reason=Playing noise"
wait_for '[ "$(held)" = 1 ]' || fail "Play: the computer is not kept awake"
[ "$(inhibits)" = "$inhibit" ] || fail "Play: the inhibit call was $(inhibits)"

# The applet's volume slider moves the window's: half way is position 231 of 461.
call org.freedesktop.DBus.Properties.Set org.mpris.MediaPlayer2.Player Volume '<0.5>' >/dev/null
wait_for '[[ $(property org.mpris.MediaPlayer2.Player Volume) == *0.50108* ]]' || fail "Volume: not set"

call org.mpris.MediaPlayer2.Player.Stop >/dev/null
wait_for '[[ $(property org.mpris.MediaPlayer2.Player PlaybackStatus) == *Stopped* ]]' || fail "Stop: not Stopped"
wait_for '[ "$(held)" = 0 ]' || fail "Stop: the inhibitor was kept"
# What most media keys send: it plays, and the next press stops.
call org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
wait_for '[[ $(property org.mpris.MediaPlayer2.Player PlaybackStatus) == *Playing* ]]' || fail "PlayPause: not Playing"
call org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
wait_for '[[ $(property org.mpris.MediaPlayer2.Player PlaybackStatus) == *Stopped* ]]' || fail "PlayPause: not Stopped"
sleep 0.5
grep -q '"Playing"' "$work/monitor.log" || fail "no PropertiesChanged for Playing"
grep -q '"Stopped"' "$work/monitor.log" || fail "no PropertiesChanged for Stopped"
wait_for 'grep -q "\"Volume\"" "$work/monitor.log"' || fail "no PropertiesChanged for Volume"

# One window: a second start hands over to the first and exits 0.
xdotool windowminimize "$(main_window)"
wait_for '[ -z "$(main_window)" ]' || true
"$app" || fail "the second start did not exit 0"
wait_for '[ -n "$(main_window)" ]' || fail "the second start did not raise the first window"
[ "$(xdotool search --name '^Susurra - Denoise by Noise$' | wc -l)" -eq 1 ] || fail "two windows"

# Quit while playing gives the inhibitor back too.
call org.mpris.MediaPlayer2.Player.Play >/dev/null
wait_for '[ "$(held)" = 1 ]' || fail "Play: the computer is not kept awake the second time"
call org.mpris.MediaPlayer2.Quit >/dev/null
for _ in $(seq 200); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
kill -0 "$app_pid" 2>/dev/null && fail "Quit did not end the program"
wait "$app_pid" || fail "the program did not end with status 0"
app_pid=
# Quit leaves as Exit does: the settings files were written.
[ -s "$work/bin/ns.srx" ] && [ -s "$work/bin/fs.srx" ] || fail "Quit wrote no settings files"
wait_for '[ "$(held)" = 0 ]' || fail "Quit: the inhibitor was kept"
# Play, PlayPause and the last Play each took one; Stop, PlayPause and Quit gave each back.
expected=$(printf '%s\nportal Close\n%s\nportal Close\n%s\nportal Close' "$inhibit" "$inhibit" "$inhibit")
[ "$(inhibits)" = "$expected" ] || fail "the inhibit calls were: $(inhibits)"
echo "desktop_session_test: ok"
