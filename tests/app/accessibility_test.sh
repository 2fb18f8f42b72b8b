#!/usr/bin/env bash
# The real window on an X server, a session bus and an accessibility bus of
# its own, read through AT-SPI as a screen reader reads it
# (accessibility_check.py says what must hold). Needs xvfb, xdotool,
# at-spi2-core and python3-pyatspi.
set -euo pipefail
if [ -z "${SUSURRA_IN_SESSION:-}" ]; then
  SUSURRA_IN_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

display=
for n in $(seq 130 160); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=:$n; break; fi
done
[ -n "$display" ] || { echo "accessibility: no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress \
    >/dev/null 2>&1 && break
  sleep 0.05
done

printf '</usr/share/alsa/alsa.conf>\npcm.!default {\n  type null\n}\n' >"$work/asound.conf"
export ALSA_CONFIG_PATH=$work/asound.conf PULSE_SERVER=unix:$work/none
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
export LANGUAGE=en LANG=C.UTF-8 LC_ALL=C.UTF-8

"$build/src/app/susurra" >"$work/app.log" 2>&1 &
pids+=($!)
main=
for _ in $(seq 300); do
  main=$(xdotool search --onlyvisible --name '^Susurra - Denoise by Noise$' 2>/dev/null | head -n1) && [ -n "$main" ] && break
  sleep 0.05
done
[ -n "$main" ] || { echo "accessibility: the window did not appear" >&2; cat "$work/app.log" >&2; exit 1; }
/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/accessibility_check.py" "$main" "$@"
