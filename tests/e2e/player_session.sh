#!/usr/bin/env bash
# The real game, driven like a player: starts the built game in a temporary
# working directory on the test content, presses keys and moves the mouse with
# xdotool on the X display that runs the tests, and checks what a player sees:
# the console, screenshots, saved maps, the recovery file and the exit code.
#   player_session.sh GAME E2E_TOOL
set -euo pipefail

game=$1
tool=$2
command -v xdotool >/dev/null || { echo "xdotool is missing (apt-get install xdotool)"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no X display"; exit 1; }

work=$(mktemp -d /tmp/quillora-e2e-XXXXXX)
game_pid=
cleanup() {
  exec 3>&- 2>/dev/null || true
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
"$tool" content "$work"
mkfifo "$work/stdin"

fail() {
  echo "FAILED: $*"
  echo "--- game stdout:"; cat "$log" || true
  echo "--- game stderr:"; tail -20 "$work/stderr.log" || true
  exit 1
}

# Waits until the game's console shows a line matching $1.
wait_for_line() {
  for _ in $(seq 1 100); do
    grep -qE -- "$1" "$log" && return 0
    sleep 0.1
  done
  fail "no console line matching '$1'"
}

# Gives the game window the keyboard (no window manager runs under Xvfb).
focus_game() {
  local wid=
  for _ in $(seq 1 150); do
    wid=$(xdotool search --name "Quillora Indev" 2>/dev/null | tail -1) && [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || fail "the game window did not appear"
  xdotool windowfocus "$wid" 2>/dev/null || true
  sleep 0.2
}

# Holds a key for the given seconds.
hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
  sleep 0.1
}

tap() { hold "$1" 0.05; }

# Clicks the left button at window pixels (x, y).
click_at() {
  xdotool mousemove "$1" "$2"
  sleep 0.1
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  sleep 0.1
}

# Map file value: line n.
line_of() { sed -n "${2}p" "$1"; }
# The four lines of field (column, row) start at line 4 * (column * 200 + row) + 1.
field_line() { echo $(( 4 * ($1 * 200 + $2) + 1 + $3 )); }

# Saves through F5 and the console prompt into $1.
save_to() {
  local before
  before=$(grep -c -- '--- Saving' "$log" || true)
  printf '%s\n' "$1" >&3
  tap F5
  for _ in $(seq 1 100); do
    [ "$(grep -c -- '--- Saving' "$log" || true)" -gt "$before" ] && break
    sleep 0.1
  done
  grep -q -- '--- Saving Complete' "$log" || fail "saving $1 did not complete"
  focus_game
}

# Colour check with a tolerance for JPEG: pixel (x, y) of $1 near "R G B" $2.
expect_color() {
  local got want
  got=$("$tool" pixel "$1" "$2" "$3") || fail "cannot read pixel $2,$3 of $1"
  want=$4
  read -r gr gg gb <<<"$got"
  read -r wr wg wb <<<"$want"
  for pair in "$gr $wr" "$gg $wg" "$gb $wb"; do
    read -r a b <<<"$pair"
    [ $(( a > b ? a - b : b - a )) -le 24 ] || fail "pixel $2,$3 of $(basename "$1") is '$got', expected about '$want' ($5)"
  done
}

# Starts the game with its console in $1. An empty PATH: no dialog program is
# found, so F5 and F10 ask on the console. Recovery files go to the session's
# own state folder.
start_game() {
  log=$1
  PATH=/nonexistent XDG_STATE_HOME="$work/state" "$game" <"$work/stdin" >"$log" 2>"$work/stderr.log" &
  game_pid=$!
  for _ in $(seq 1 150); do
    xdotool search --name "Quillora Indev" >/dev/null 2>&1 && return 0
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended at start-up"
    sleep 0.1
  done
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended at start-up"
}

# Escape ends the game with exit code 0 and without waiting (no terminal).
quit_game() {
  tap Escape
  for _ in $(seq 1 100); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$game_pid" 2>/dev/null; then fail "the game did not end after Escape"; fi
  local status=0
  wait "$game_pid" || status=$?
  game_pid=
  [ "$status" -eq 0 ] || fail "exit code $status"
}

cd "$work"
exec 3<>"$work/stdin"
start_game "$work/stdout.log"

# Start-up: the five console lines of the content store, in order.
wait_for_line '^---Items laden bei '
expected_start="---Texturen laden bei ./Texturen/FieldTextur9.png beendet
---Object Texturen laden bei ./Texturen/ObjectTextur6.png beendet
---Objekte laden bei ./Objekte/Object6.object beendet
---Item Texturen laden bei ./Items/ItemTextur2.png beendet
---Items laden bei ./Items/Item2.Item beendet"
[ "$(head -5 stdout.log)" = "$expected_start" ] || fail "start-up lines differ"
focus_game

# The window maps scene pixel (x, y) to window pixel (x * 3.375, y * 3.75).
wx() { echo $(( $1 * 27 / 8 )); }
wy() { echo $(( $1 * 15 / 4 )); }

# Editor on; paint ground type 1 on both layers of field (3, 2), so its grass
# neighbours get borders toward it.
tap e
tap 2
tap u
click_at "$(wx 56)" "$(wy 40)"
tap z
click_at "$(wx 56)" "$(wy 40)"
# Field (10, 5), just above the player's feet, solid.
tap i
click_at "$(wx 168)" "$(wy 88)"
# Object 1 on field (8, 6), left of the player.
tap p
tap k
click_at "$(wx 136)" "$(wy 104)"
tap e

# Walk up until the solid field stops the player, then left into the object,
# which leaves them facing it; Space shows its message.
hold w 0.6
hold a 0.6
hold space 0.1
tap F3
sleep 0.3

shots=$(ls ScreenCapture-*.jpg 2>/dev/null | wc -l)
[ "$shots" = 1 ] || fail "one press of F3 wrote $shots screenshots"
shot=$(ls ScreenCapture-*.jpg)
[[ "$shot" =~ ^ScreenCapture-[0-9]{1,2}-[0-9]{1,2}-[0-9]{4}-[0-9]{1,2}-[0-9]{1,2}-[0-9]{1,2}\.jpg$ ]] ||
  fail "screenshot name $shot"

save_to "$work/first.map"
lines=$(wc -l <first.map)
[ "$lines" -eq 160002 ] || fail "first.map has $lines lines"
origin_x=$(line_of first.map 160001)
origin_y=$(line_of first.map 160002)
# The solid field (160, 80, 16, 16) stops the feet (152, 104, 16, 8) after 8
# pixels up; the object's box (128, 96 + 8, 16, 16) after 8 pixels left.
[ "$origin_y" = 8 ] || fail "walking up ended at origin y $origin_y, expected 8"
[ "$origin_x" = 8 ] || fail "walking left ended at origin x $origin_x, expected 8"
[ "$(line_of first.map "$(field_line 3 2 0)")" = 1 ] || fail "field (3, 2) ground type"
[ "$(line_of first.map "$(field_line 3 2 1)")" = 1 ] || fail "field (3, 2) under type"
[ "$(line_of first.map "$(field_line 8 6 2)")" = 1 ] || fail "field (8, 6) object"
[ "$(line_of first.map "$(field_line 10 5 3)")" = 1 ] || fail "field (10, 5) solid"

# What the screenshot showed, at origin (8, 8): the painted field isolated,
# its grass neighbours with an edge toward it, and the object's message.
expect_color "$shot" "$(wx $((8 + 56)))" "$(wy $((8 + 40)))" "$("$tool" field 1 0 16)" "painted field, isolated piece"
expect_color "$shot" "$(wx $((8 + 56)))" "$(wy $((8 + 24)))" "$("$tool" field 5 48 16)" "field above, bottom edge"
expect_color "$shot" "$(wx $((8 + 40)))" "$(wy $((8 + 40)))" "$("$tool" field 5 64 16)" "field left, right edge"
white=$("$tool" white "$shot" 20 650 500 70)
[ "$white" -gt 100 ] || fail "no message text in the screenshot ($white white pixels)"

# Walk away, load the saved map back and save it again: the same file.
hold d 0.3
printf '%s\n' "$work/first.map" >&3
tap F10
wait_for_line 'Loading Complete'
focus_game
save_to "$work/second.map"
cmp -s first.map second.map || fail "the loaded map saved differently"

# Undo and redo: paint field (2, 9) (origin (8, 8)), undo with Ctrl+Z and redo
# with Ctrl+Y; once the message is gone the screens are those before and after
# painting, to the byte. Screenshots are named by the second: one a second.
shoot() {
  local before
  before=$(ls ScreenCapture-*.jpg 2>/dev/null | wc -l)
  tap F3
  for _ in $(seq 1 50); do
    [ "$(ls ScreenCapture-*.jpg | wc -l)" -gt "$before" ] && break
    sleep 0.1
  done
  mv "$(ls -t ScreenCapture-*.jpg | head -1)" "$1"
  sleep 1.1
}
# The cursor stands over the field under the mouse: away from the painted one.
park() {
  xdotool mousemove "$(wx 200)" "$(wy 60)"
  sleep 0.2
}
with_ctrl() {
  xdotool keydown Control_L
  tap "$1"
  xdotool keyup Control_L
  sleep 0.1
}
tap e
tap o
tap 3
park
shoot unpainted.jpg
click_at "$(wx 48)" "$(wy 160)"
park
shoot painted.jpg
with_ctrl z
shoot undone-message.jpg
white=$("$tool" white undone-message.jpg 20 650 500 70)
[ "$white" -gt 100 ] || fail "no message after Ctrl+Z ($white white pixels)"
sleep 1.2
shoot undone.jpg
with_ctrl y
sleep 2.2
shoot redone.jpg
! cmp -s unpainted.jpg painted.jpg || fail "painting changed nothing on the screen"
cmp -s unpainted.jpg undone.jpg || fail "after Ctrl+Z the screen differs from before painting"
cmp -s painted.jpg redone.jpg || fail "after Ctrl+Y the screen differs from after painting"

# The right button drags a rectangle from field (10, 2) to (12, 3), outlined
# in white; the left button cancels it.
xdotool mousemove "$(wx 178)" "$(wy 50)"
sleep 0.1
xdotool mousedown 3
sleep 0.1
xdotool mousemove "$(wx 204)" "$(wy 66)"
sleep 0.2
shoot dragging.jpg
expect_color dragging.jpg 641 151 "255 255 255" "the rectangle's top edge"
expect_color dragging.jpg 641 206 "$("$tool" field 5 0 0)" "inside the rectangle"
xdotool mousedown 1
sleep 0.1
xdotool mouseup 1 mouseup 3
park
shoot cancelled.jpg
cmp -s redone.jpg cancelled.jpg || fail "the cancelled rectangle changed the map"

# Undoing a load brings back the map as it was, where it was.
hold d 0.2
before_loads=$(grep -c -- '--- Loading Complete' "$log")
printf '%s\n' "$work/first.map" >&3
tap F10
for _ in $(seq 1 100); do
  [ "$(grep -c -- '--- Loading Complete' "$log")" -gt "$before_loads" ] && break
  sleep 0.1
done
focus_game
with_ctrl z
save_to "$work/third.map"
[ "$(line_of third.map "$(field_line 2 9 0)")" = 2 ] || fail "undoing the load did not bring back field (2, 9)"
[ "$(line_of third.map 160001)" != 8 ] || fail "undoing the load did not bring back the origin"

tap e

# Object 1 on field (14, 3), then Escape: the change that was not saved is
# kept, and the next start gets it back with F9.
recovery=$work/state/quillora/recovery-1.map
[ ! -e "$recovery" ] || fail "a recovery file while the map was saved"
origin_x=$(line_of third.map 160001)
origin_y=$(line_of third.map 160002)
tap e
tap p
click_at "$(wx $((origin_x + 232)))" "$(wy $((origin_y + 56)))"
quit_game
grep -q -- "--- Unsaved changes kept in $recovery" "$log" || fail "quitting did not keep the unsaved map"
[ -f "$recovery" ] || fail "no recovery file"

start_game "$work/stdout2.log"
wait_for_line "^--- Recovery: .* is kept in $recovery. Press F9 to load it"
focus_game
tap F9
wait_for_line 'Loading Complete'
focus_game
save_to "$work/fourth.map"
[ "$(line_of fourth.map "$(field_line 14 3 2)")" = 1 ] || fail "the recovered map lacks the object on field (14, 3)"

[ "$(line_of fourth.map 160001)" = "$origin_x" ] || fail "the recovered map's origin"
[ ! -e "$recovery" ] || fail "saving left the recovery file behind"

# Every loaded ground type and object within reach: Num9 chooses ground type
# 8 for field (4, 9); the picker (Tab) chooses object 5, in object mode, for
# field (6, 9). F6 draws the whole map into Map-<time>.png.
tap e
tap 9
click_at "$(wx $((origin_x + 72)))" "$(wy $((origin_y + 152)))"
tap Tab
# Nine ground types and six objects: two rows of cells, 56 pixels apart, in
# a panel of 808 x 136 in the middle of the window; object 5 is the sixth
# cell of the second row.
click_at $(( (1080 - 808) / 2 + 16 + 5 * 56 + 24 )) $(( (720 - 136) / 2 + 16 + 56 + 24 ))
click_at "$(wx $((origin_x + 104)))" "$(wy $((origin_y + 152)))"
tap F6
wait_for_line '^--- Map picture written: '
picture=$(ls Map-*.png 2>/dev/null | head -1)
[[ "$picture" =~ ^Map-[0-9]{1,2}-[0-9]{1,2}-[0-9]{4}-[0-9]{1,2}-[0-9]{1,2}-[0-9]{1,2}\.png$ ]] || fail "map picture name '$picture'"
grep -q -- "--- Map picture written: $picture" "$log" || fail "the console does not name the map picture"
[ "$("$tool" pixel "$picture" 3199 3199)" != "" ] || fail "the map picture is not 3200 x 3200"
[ "$("$tool" pixel "$picture" 72 152)" = "$("$tool" field 8 0 16)" ] || fail "ground type 8 on field (4, 9) of the map picture"
[ "$("$tool" pixel "$picture" 104 152)" = "$("$tool" object 5)" ] || fail "object 5 on field (6, 9) of the map picture"
save_to "$work/fifth.map"
[ "$(line_of fifth.map "$(field_line 4 9 0)")" = 8 ] || fail "field (4, 9) lacks ground type 8"
[ "$(line_of fifth.map "$(field_line 6 9 2)")" = 5 ] || fail "field (6, 9) lacks object 5"
quit_game
[ ! -e "$recovery" ] || fail "a clean quit wrote a recovery file"
echo "end-to-end player session passed"
