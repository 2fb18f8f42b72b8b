#!/usr/bin/env bash
# End-to-end test of the installed program: builds the Debian package,
# installs it system-wide with apt-get (run it as root where that is fine: CI)
# and drives /usr/bin/susurra under Xvfb with real key presses. The stream of
# its only sound device, an ALSA "file" device, is compared with what the
# engine must have sent, the To File WAV with susurra-cli render, the saved
# settings in the configuration folder and in a second start. Prints the
# installed size, the dependencies, the start-up time and the memory in use.
# Uses the build tree $BUILD_DIR (default build/, with the tests); screenshots
# and logs go to $BUILD_DIR/e2e/.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$build/e2e
audio=$build/tests/e2e/susurra-e2e-audio
failures=0

step() { echo "--- $*"; }
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "FAIL: $*" >&2; exit 1; }

# --- The package ------------------------------------------------------------
step "building the package"
cmake --build "$build" --parallel "$(nproc)" || die "the build failed"
[ -x "$audio" ] || die "$audio is missing: configure with the tests"
rm -rf "$out" && mkdir -p "$out"
rm -f "$build"/susurra_*.deb
(cd "$build" && cpack -G DEB >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; die "cpack failed"; }
deb=$(ls "$build"/susurra_*.deb)
dpkg -I "$deb" | sed -n '/Package:/,$p'
dpkg -c "$deb" | awk '{print $6}' >"$out/package-files.txt"

step "installing $(basename "$deb")"
export DEBIAN_FRONTEND=noninteractive
apt-get remove -y susurra >/dev/null 2>&1 || true
apt-get install -y --no-install-recommends "$deb" >"$out/apt.log" 2>&1 || { cat "$out/apt.log"; die "apt-get install failed"; }
echo "installed size: $(dpkg-query -W -f='${Installed-Size}' susurra) KiB"
for f in /usr/bin/susurra /usr/bin/susurra-cli /usr/share/susurra/susurra.html \
  /usr/share/applications/org.susurra.Susurra.desktop /usr/share/metainfo/org.susurra.Susurra.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/org.susurra.Susurra.svg /usr/share/icons/hicolor/48x48/apps/org.susurra.Susurra.png \
  /usr/share/man/man1/susurra-cli.1.gz /usr/share/bash-completion/completions/susurra-cli; do
  [ -e "$f" ] || fail "$f is not installed"
done
desktop-file-validate /usr/share/applications/org.susurra.Susurra.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net /usr/share/metainfo/org.susurra.Susurra.metainfo.xml || fail "appstreamcli validate"
if command -v man >/dev/null; then
  man -l /usr/share/man/man1/susurra-cli.1.gz >/dev/null 2>&1 || fail "the manual page does not format"
fi

# --- A display, a sound device and a fresh home ----------------------------
work=$(mktemp -d /tmp/susurra-e2e-XXXXXX)
xvfb_pid= app_pid= capture_pid=
cleanup() { kill $app_pid $capture_pid $xvfb_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

display=
for n in $(seq 130 160); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=:$n; break; fi
done
[ -n "$display" ] || die "no free X display"
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 200); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done

export HOME=$work/home
mkdir -p "$HOME"
unset XDG_CONFIG_HOME
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
export LC_ALL=C.UTF-8

# ALSA reads only this configuration: one device, "default", of type file.
fifo=$work/device.raw
printf 'pcm.null { type null }\npcm.!default { type file slave.pcm "null" file "%s" format "raw" }\n' "$fifo" \
  >"$work/asound.conf"
export ALSA_CONFIG_PATH=$work/asound.conf
capture=$out/capture.raw
# The device blocks until someone reads: keep a capture running while the
# program runs.
start_capture() {
  rm -f "$fifo"
  "$audio" capture "$fifo" "$1" &
  capture_pid=$!
  for _ in $(seq 100); do [ -p "$fifo" ] && break; sleep 0.05; done
}
stop_capture() { kill "$capture_pid"; wait "$capture_pid"; capture_pid=; }
start_capture "$capture"
devices=$(susurra-cli devices 2>&1)
echo "sound devices: $devices"
[ "$(printf '%s\n' "$devices" | wc -l)" -eq 1 ] && [[ $devices == *default ]] ||
  fail "the file device is not the only sound device"

shot() { import -window root "$out/$1.png" 2>/dev/null || xwd -root -silent >"$out/$1.xwd"; }

visible() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }
# Waits for a visible window named exactly $1 and prints its id.
wait_window() {
  local id
  for _ in $(seq 1500); do
    id=$(visible "$1" | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.01
  done
  return 1
}

# Presses keys in the focused window, with a pause for the window to follow.
keys() { xdotool key --delay 60 "$@"; sleep 0.3; }
# Types text into the focused control.
typed() { xdotool type --delay 40 "$1"; sleep 0.3; }
tabs() { local n=$1; shift; keys $(for _ in $(seq "$n"); do printf '%s ' "$@"; done); }

main_title="Susurra - Denoise by Noise"
start_app() {
  local start
  start=$(date +%s%N)
  # English, whatever the machine's locale: the keys below are its mnemonics.
  LC_ALL=C.UTF-8 LANGUAGE= /usr/bin/susurra >>"$out/susurra.log" 2>&1 &
  app_pid=$!
  main=$(wait_window "$main_title") || { shot "no-window"; die "the window did not appear"; }
  startup_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  sleep 1
  rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$app_pid/status")
  xdotool windowfocus --sync "$main"
}

exit_app() {
  for _ in $(seq 300); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$app_pid" 2>/dev/null; then
    shot "$1-no-exit"
    fail "the window did not end on Exit"
    kill "$app_pid"
  fi
  wait "$app_pid"
  local status=$?
  [ "$status" -eq 0 ] || fail "susurra ended with status $status"
  app_pid=
}

# The window is driven by its mnemonics, which stay put when controls are
# added: Alt+S the noise setting list, Alt+P Play, Alt+T Stop, Alt+G the surf
# strength, Alt+A the file name, Alt+F To File, Alt+C the sound device. Tab
# goes from the noise setting list to its Save Setting; Shift+Tab from the
# file name to the total playing time (three stops: its seconds, minutes,
# hours) and from the sound device to Exit.
wav=$work/night.wav
length=00:00:05

# Sets the total playing time and the file name, presses To File and waits
# for the file.
to_file() {
  keys alt+a                     # the file name
  tabs 3 shift+Tab               # the hours of the total playing time
  typed "${length//:/}"          # each full field moves on to the next
  keys Tab                       # the file name
  keys ctrl+a
  typed "$wav"
  shot "$1-before"
  keys alt+f                     # To File
  for _ in $(seq 300); do [ -s "$wav" ] && break; sleep 0.1; done
  sleep 1
  shot "$1"
}

# --- First start -------------------------------------------------------------
step "first start"
start_app
echo "window shown after ${startup_ms} ms (cold start); memory in use (RSS) ${rss_kb} kB"
shot "1-started"

step "choosing \"Wideband White Noise\", Play, 4 s (into the second half), Stop"
keys alt+s                       # the noise setting list
typed "Wideband"
keys alt+p                       # Play
sleep 4
keys alt+t                       # Stop
sleep 0.5
shot "2-stopped"

step "surf strength 50, Save Setting \"Night\""
keys alt+g                       # the surf strength
keys ctrl+a
typed "50"
keys alt+s Tab space             # the noise setting's Save Setting
if manage=$(wait_window "Manage Settings"); then
  xdotool windowfocus --sync "$manage"
  typed "Night"
  keys Tab space                 # Save: stores the setting and hides the window
  for _ in $(seq 100); do visible "Manage Settings" >/dev/null || break; sleep 0.05; done
  shot "3-saved"
  if visible "Manage Settings" >/dev/null; then
    fail "Save did not close the Manage Settings window"
    keys Escape
  fi
  xdotool windowfocus --sync "$main"
else
  shot "3-no-manage-settings"
  fail "Save Setting did not open the Manage Settings window"
fi

step "total playing time $length, file name, To File"
to_file "5-written"
keys alt+c shift+Tab space       # Exit
exit_app first
stop_capture

# --- What the first run left ------------------------------------------------
step "checks"
config=$HOME/.config/susurra
"$audio" check "$capture" "$config/" "Wideband White Noise" 9 3.0 || fail "the played stream differs"
# $1 names the run; the rest chooses the noise for susurra-cli render.
check_file() {
  local run=$1; shift
  [ -s "$wav" ] || { fail "$run: To File wrote no file $wav"; return; }
  susurra-cli render --quiet "$@" --file-setting "Standard CD" --length "$length" "$work/render.wav" ||
    fail "$run: susurra-cli render failed"
  cmp "$wav" "$work/render.wav" && echo "$run: the WAV file is byte-identical to susurra-cli render" ||
    fail "$run: the WAV file differs from susurra-cli render"
}
check_file "first start" --noise-setting "Wideband White Noise" --surf-strength 50
grep -q "Night" "$config/ns.srx" 2>/dev/null && echo "$config/ns.srx holds \"Night\"" ||
  fail "$config/ns.srx does not hold \"Night\""
susurra-cli settings >"$out/settings.txt" 2>&1
grep -q "^. Night " "$out/settings.txt" || fail "susurra-cli settings does not list \"Night\""

# --- Second start: "Night" is in the list and chooses its values -------------
step "second start"
rm -f "$wav"
start_capture "$out/capture2.raw"
start_app
echo "second start: window shown after ${startup_ms} ms; memory in use (RSS) ${rss_kb} kB"
keys alt+s                       # the noise setting list
typed "Wideband"
sleep 1                          # a new search, not "WidebandNight"
typed "Night"
to_file "6-second-start"
keys alt+c shift+Tab space       # Exit
exit_app second
stop_capture
check_file "second start, \"Night\" chosen from the list" --noise-setting "Night"

echo "screenshots and logs: $out"
[ "$failures" -eq 0 ] || { echo "installed_e2e: $failures check(s) failed" >&2; exit 1; }
echo "installed_e2e: all checks passed"
