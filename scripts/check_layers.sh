#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when an #include crosses a layer the wrong way:
# - the core (base, synth, playback, soundfile, settings) and the desktop
#   session (desktop) never include Qt,
#   the toolkit, the windows, the command line or the test doubles;
# - each core folder includes only the folders below it;
# - the toolkit (src/ui) never includes a Susurra window or the command line;
# - Susurra's windows never reach into a sound backend (only the program's
#   entry point chooses one);
# - the command line never includes Qt or a window.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root/src"
status=0

# allowed <folder> <project folders it may include...>
allowed() {
  local dir=$1; shift
  [ -d "$dir" ] || return 0
  local pattern
  pattern=$(printf '%s|' "$@")
  pattern=${pattern%|}
  while IFS= read -r line; do
    echo "layer check: $line"
    status=1
  done < <(grep -rnE '#include\s*"[a-z_]+/' "$dir" | grep -vE "#include\s*\"($pattern)/" || true)
}

allowed base      base
allowed synth     base synth
allowed settings  base synth settings
allowed soundfile base synth soundfile
allowed playback  base synth playback
allowed desktop   base desktop
allowed ui        base synth settings ui
allowed sound_module base synth soundfile playback sound_module
allowed app       base synth settings soundfile playback desktop ui app
allowed cli       base synth settings soundfile playback desktop cli

# No Qt below the toolkit, nor in the sound module or the command line.
for dir in base synth settings soundfile playback desktop sound_module cli; do
  [ -d "$dir" ] || continue
  while IFS= read -r line; do
    echo "layer check: Qt in the core or the command line: $line"
    status=1
  done < <(grep -rnE '#include\s*<(Q[A-Za-z]+|Qt[A-Za-z]*/[^>]*)>' "$dir" || true)
done

# The windows reach no backend; the program's entry point picks it.
if [ -d app ]; then
  while IFS= read -r line; do
    case $line in
      app/main.cpp:*|app/generator_app.cpp:*|app/generator_app.h:*) ;;
      *) echo "layer check: a window reaches into a sound backend: $line"; status=1 ;;
    esac
  done < <(grep -rnE '#include\s*"playback/backends/' app || true)
fi

[ $status -eq 0 ] && echo "layer check: every include keeps to its layer"
exit $status
