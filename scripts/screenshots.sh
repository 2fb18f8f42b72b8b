#!/usr/bin/env bash
# Runs the real program under Xvfb on ALSA's silent null device, measures how
# long the main window takes to appear and how much memory it then uses, and
# saves screenshots of the main window and the About box into
# $BUILD_DIR/screenshots (build/screenshots by default). Needs xvfb and
# xdotool, and a build with the window (scripts/build.sh).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
app=$build/src/app/susurra
grab=$build/tools/susurra-screen-grab
out=$build/screenshots
mkdir -p "$out"

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own.
display=
for n in $(seq 90 120); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=:$n; break; fi
done
[ -n "$display" ] || { echo "screenshots: no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
# A loaded machine can take seconds to start the server: wait for it, and
# say so plainly when it never comes.
x_up=
for _ in $(seq 400); do
  if xdotool getdisplaygeometry >/dev/null 2>&1; then x_up=1; break; fi
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.05
done
if [ -z "$x_up" ]; then
  echo "screenshots: the X server on $display did not start:" >&2
  tail -n 5 "$work/xvfb.log" >&2
  exit 1
fi

# Sound goes nowhere; settings and caches stay in the scratch folder.
printf '</usr/share/alsa/alsa.conf>\npcm.!default {\n  type null\n}\n' >"$work/asound.conf"
export ALSA_CONFIG_PATH=$work/asound.conf
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
export QT_QPA_PLATFORM=xcb
# The window's English titles are what the searches below look for.
export LANGUAGE=en LC_ALL=C.UTF-8

# Waits for a visible window named exactly $1 and prints its id.
wait_window() {
  for _ in $(seq 1000); do
    if id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1) && [ -n "$id" ]; then
      echo "$id"; return 0
    fi
    sleep 0.01
  done
  echo "screenshots: no window \"$1\"" >&2
  return 1
}

start=$(date +%s%N)
"$app" &
app_pid=$!
main=$(wait_window "Susurra - Denoise by Noise")
shown=$(date +%s%N)
sleep 1
rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$app_pid/status")
echo "window shown after $(( (shown - start) / 1000000 )) ms; memory in use (RSS) ${rss_kb} kB"

"$grab" "$main" "$out/main_window.png"

# Tools is the fourth control in tab order; the focus starts on Play.
xdotool windowfocus --sync "$main"
xdotool key Tab Tab Tab Return
about=$(wait_window "About Susurra")
sleep 0.5
"$grab" "$about" "$out/about_box.png"
xdotool key Escape
sleep 0.3
xdotool windowfocus --sync "$main"
xdotool key Escape
for _ in $(seq 200); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$app_pid" 2>/dev/null; then
  echo "screenshots: the window did not end on Escape" >&2
  exit 1
fi
wait "$app_pid" || true
app_pid=
# The German window at scale 1.5 on a 1920 x 1080 screen (1280 x 720 logical
# pixels), and the window on a small 1024 x 600 screen, where it scrolls.
shot_on_screen() { # geometry scale language file
  local display2= pid= xpid= id=
  for n in $(seq 121 150); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display2=:$n; break; fi
  done
  [ -n "$display2" ] || return 1
  Xvfb "$display2" -screen 0 "$1x24" -nolisten tcp >>"$work/xvfb.log" 2>&1 &
  xpid=$!
  for _ in $(seq 100); do DISPLAY=$display2 xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
  DISPLAY=$display2 QT_SCALE_FACTOR=$2 LANGUAGE=$3 LC_ALL=C.UTF-8 "$app" 2>>"$work/app.log" &
  pid=$!
  for _ in $(seq 300); do
    id=$(DISPLAY=$display2 xdotool search --onlyvisible --name '^Susurra - ' 2>/dev/null | head -n1) && [ -n "$id" ] && break
    sleep 0.05
  done
  sleep 1
  DISPLAY=$display2 "$grab" "$id" "$4"
  kill "$pid" "$xpid" 2>/dev/null || true
  wait "$pid" "$xpid" 2>/dev/null || true
}
shot_on_screen 1920x1080 1.5 de "$out/main_window_de_scale1.5.png"
shot_on_screen 1024x600 1 en "$out/main_window_1024x600.png" || { cat "$work/app.log" >&2; exit 1; }
echo "screenshots: $out/main_window.png $out/about_box.png $out/main_window_de_scale1.5.png $out/main_window_1024x600.png"
