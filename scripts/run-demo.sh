#!/usr/bin/env bash
# Runs the demo game: in a window when a display is there, otherwise headless with a few
# frames written as PNG.
set -euo pipefail
build=${1:-build}
game="$build/demo"
if [ ! -f "$game/game.dat" ]; then
  echo "The demo game is not packed yet ($game/game.dat is missing)." >&2
  exit 1
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  status=0
  "$build/mobuplay" "$game" || status=$?
  if [ "$status" -eq 0 ]; then exit 0; fi
  echo "The window could not be used (status $status); running headless instead." >&2
fi
out="$(cd "$build" && pwd)/demo-shots"
rm -rf "$out"
mkdir -p "$out"
"$build/mobuplay" --headless --frames 240 --shot-every 60 --out "$out" "$game"
echo "No display: ran the demo headless; its frames are in $out/:"
ls "$out"
