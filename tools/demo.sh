#!/usr/bin/env bash
# Builds the editor, generates the small sample game directory (once), points
# the editor's settings file at it and starts the editor.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
if ! command -v cmake >/dev/null || ! dpkg -s qt6-base-dev >/dev/null 2>&1; then bash tools/install-deps.sh; fi
cmake -S . -B build-demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DCM3_BUILD_TESTS=OFF -DCM3_BUILD_BENCH=OFF >/dev/null
cmake --build build-demo --target tolvedit make-sample-db
game="$root/build-demo/sample-game"
if [ ! -f "$game/Data/index.dat" ]; then
  ./build-demo/make-sample-db "$game" --preset small --seed 1
fi
# The settings file: the game directory in double quotes, CR LF.
printf '"%s"\r\n' "$game" > build-demo/src/ui/tolvedit.tlv
echo "Sample game directory: $game (press Open in the editor)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: run this on a desktop, or try: xvfb-run -a $0" >&2
  exit 1
fi
exec ./build-demo/src/ui/tolvedit
