#!/usr/bin/env bash
# Runs the demo game: in a window when a display is there, otherwise headless with a few
# screenshots written as PNG.
set -euo pipefail
build=${1:-build}
game="$build/demo"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/mobuplay" "$game"
fi
out="$build/demo-shots"
mkdir -p "$out"
"$build/mobuplay" --headless --frames 240 --shot-every 60 --out "$out" "$game"
echo "No display: ran the demo headless; screenshots are in $out/"
ls "$out"
