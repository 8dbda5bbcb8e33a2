#!/usr/bin/env bash
# Makes the README's pictures from the real game on the sample world, so they
# can be made again whenever the game changes:
#   docs/walking.jpg       walking in the village, reading a cottage's message
#   docs/editor.jpg        the editor with its HUD, the grid, the field readout and the overview
#   docs/editor-quarter.jpg  the editor's widest view (80 x 48 fields) with the overview
#   docs/sample-world.jpg  the sample world's whole-map picture (--export-png), scaled down
#   docs/sample-world-tiled.jpg  the sample world exported for Tiled (--export-tmx), drawn by
#                          Tiled's own renderer (tmxrasterizer, Debian's tiled package), scaled down
#
#   bash scripts/readme-pictures.sh [BUILD_DIR]
#
# Builds the game and the thumbnail tool in BUILD_DIR (default build), starts
# the game full screen on a virtual display (Xvfb) when there is no display,
# drives it with xdotool and scales the game's own screenshots down.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build=$top/$build ;; esac
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1080x720x24' bash "$0" "$build"
fi
command -v xdotool >/dev/null || { echo "xdotool is missing (apt-get install xdotool)" >&2; exit 1; }
[ -f "$build/CMakeCache.txt" ] || cmake -S "$top" -B "$build" -DQUILLORA_TESTS=OFF -DQUILLORA_BENCH=OFF >/dev/null
cmake --build "$build" --target quillora quillora_thumbnail -j2 >/dev/null

work=$(mktemp -d /tmp/quillora-pictures-XXXXXX)
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
docs=$top/docs
mkdir -p "$docs"

hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; sleep 0.2; }
tap() { hold "$1" 0.05; }
# Takes a screenshot with F3 and scales it to $2 pixels wide into $1.
shoot() {
  rm -f ScreenCapture-*.jpg
  tap F3
  for _ in $(seq 1 50); do ls ScreenCapture-*.jpg >/dev/null 2>&1 && break; sleep 0.1; done
  "$build/quillora_thumbnail" "$(ls ScreenCapture-*.jpg | head -1)" "$1" "$2"
}

# The game on the sample world, its own state folder so no recovery file is offered.
XDG_STATE_HOME=$work/state "$build/quillora" --content "$top/assets" --map "$top/assets/maps/sample-world.map" \
  </dev/null >game.log 2>&1 &
game_pid=$!
wid=
for _ in $(seq 1 100); do
  wid=$(xdotool search --name "Quillora Indev" 2>/dev/null | tail -1) && [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "the game window did not appear" >&2; cat game.log >&2; exit 1; }
xdotool windowfocus "$wid" 2>/dev/null || true
sleep 1

# Walking: from the plaza's corner up to the cottage above, reading its message.
hold d 0.3
hold a 0.3
hold w 1.8
xdotool keydown space
sleep 0.3
shoot "$docs/walking.jpg" 720
xdotool keyup space
sleep 2.2

# The editor: on, in object mode with the tree chosen, the grid and the
# overview, the mouse over a field of the plaza.
tap e
tap p
tap k
tap g
tap m
xdotool mousemove 640 470
sleep 0.5
shoot "$docs/editor.jpg" 720

# The editor's widest view: two steps out (PageDown), the grid off.
tap g
tap Next
tap Next
sleep 0.5
shoot "$docs/editor-quarter.jpg" 720
tap Escape
wait "$game_pid" || true
game_pid=

# The whole map, drawn by the game from the command line, scaled down.
"$build/quillora" --content "$top/assets" --export-png "$top/assets/maps/sample-world.map" "$work/world.png" >/dev/null
"$build/quillora_thumbnail" "$work/world.png" "$docs/sample-world.jpg" 640

# The same world exported for Tiled and drawn by Tiled's renderer.
if command -v tmxrasterizer >/dev/null; then
  mkdir -p "$work/tiled"
  "$build/quillora" --content "$top/assets" --export-tmx "$top/assets/maps/sample-world.map" \
    "$work/tiled/sample-world.tmx" >/dev/null
  QT_QPA_PLATFORM=offscreen tmxrasterizer --no-smoothing "$work/tiled/sample-world.tmx" "$work/tiled.png" 2>/dev/null
  "$build/quillora_thumbnail" "$work/tiled.png" "$docs/sample-world-tiled.jpg" 640
else
  echo "tmxrasterizer is missing (apt-get install tiled): docs/sample-world-tiled.jpg is not made" >&2
fi
ls -l "$docs"
