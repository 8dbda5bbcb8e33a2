#!/usr/bin/env bash
# The real game, driven like a map maker: the editor's quarter view, a
# selection copied and pasted elsewhere, undone and redone, saved as a stamp;
# after a restart the stamp is chosen in the picker and pasted. The saved map
# files say what the fields hold.   stamp_session.sh GAME E2E_TOOL
set -euo pipefail
game=$1 tool=$2
[ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null || { echo "needs an X display and xdotool"; exit 1; }
. "$(dirname "$0")/session_lib.sh" quillora-stamp
tap() { hold "$1" 0.05; sleep 0.05; }
ctrl_tap() { xdotool keydown ctrl; sleep 0.05; tap "$1"; xdotool keyup ctrl; sleep 0.1; }
quick_save() { local n; n=$(grep -c -- '--- Saving Complete' "$log" || true); ctrl_tap s; wait_for '--- Saving Complete' $((n + 1)); }

# The quarter view shows 1280 x 768 scene pixels on the 1080 x 720 window,
# and the player keeps its place: a new map's field (c, r) stands at scene
# (480 + 16 c, 288 + 16 r). Its middle in window pixels:
win_x() { echo $(( (480 + 16 * $1 + 8) * 1080 / 1280 )); }
win_y() { echo $(( (288 + 16 * $1 + 8) * 720 / 768 )); }
move_to() { xdotool mousemove "$(win_x "$1")" "$(win_y "$2")"; sleep 0.1; }
click_field() { move_to "$1" "$2"; xdotool mousedown 1; sleep 0.1; xdotool mouseup 1; sleep 0.1; }
# Ground type, under type, object, solid of field (c, r) in map file $3.
field() { sed -n "$(( 4 * ($1 * 200 + $2) + 1 )),+3p" "$3" | tr '\n' ' '; }
expect_field() { [ "$(field "$1" "$2" "$3")" = "$4" ] || fail "field $1,$2 of $(basename "$3") is '$(field "$1" "$2" "$3")', not '$4' ($5)"; }

cd "$work"
exec 3<>"$work/stdin"
start_game
answer "$work/world.map" F5
wait_for '--- Saving Complete' 1
focus_game

# The editor's quarter view; ground type 1 on (20, 10) and (21, 10), object 1
# on (22, 11), (23, 12) solid.
tap e
tap Next
tap Next
tap 2
click_field 20 10
click_field 21 10
tap p
tap k
click_field 22 11
tap i
click_field 23 12
tap o
quick_save
expect_field 21 10 world.map "1 5 0 0 " "painted at the quarter view"
expect_field 22 11 world.map "5 5 1 0 " "object placed at the quarter view"
expect_field 23 12 world.map "5 5 0 1 " "marked solid at the quarter view"

# Ctrl + drag selects the 4 x 3 fields; Ctrl+C copies; Ctrl+V and a click
# put them with their top-left field on (35, 20).
move_to 20 10
xdotool keydown ctrl; sleep 0.05; xdotool mousedown 1; sleep 0.1
move_to 23 12
xdotool mouseup 1; sleep 0.1; xdotool keyup ctrl; sleep 0.1
ctrl_tap c
move_to 35 20
ctrl_tap v
click_field 35 20
quick_save
cp world.map pasted.map
expect_field 35 20 pasted.map "1 5 0 0 " "pasted ground"
expect_field 37 21 pasted.map "5 5 1 0 " "pasted object"
expect_field 38 22 pasted.map "5 5 0 1 " "pasted solid flag"
expect_field 20 10 pasted.map "1 5 0 0 " "the copied fields stay"
ctrl_tap z
quick_save
expect_field 35 20 world.map "5 5 0 0 " "undone"
expect_field 37 21 world.map "5 5 0 0 " "undone"
ctrl_tap y
quick_save
cmp -s world.map pasted.map || fail "redo did not bring the paste back"

# Ctrl+B saves the clipboard as a stamp, named on the console prompt.
printf '%s\n' "castle" >&3
ctrl_tap b
wait_for '--- Stamp saved: ' 1
focus_game
[ -f "$work/data/quillora/stamps/castle.stamp" ] || fail "no stamp file: $(ls -R "$work/data" 2>&1)"
quit_game

# Another game: the stamp in the picker, below the 9 ground types and 6
# objects (one row each): its cell is the first of the third row of a panel
# of 14 cells of 48 + 8 pixels, 16 pixels inside, in the window's middle.
start_game
tap e
tap Next
tap Next
tap Tab
xdotool mousemove $(( (1080 - (14 * 56 - 8 + 32)) / 2 + 16 + 24 )) $(( (720 - (3 * 56 - 8 + 32)) / 2 + 16 + 2 * 56 + 24 ))
sleep 0.1; xdotool mousedown 1; sleep 0.1; xdotool mouseup 1; sleep 0.1
click_field 5 25
answer "$work/second.map" F5
wait_for '--- Saving Complete' 1
expect_field 5 25 second.map "1 5 0 0 " "the stamp's ground"
expect_field 7 26 second.map "5 5 1 0 " "the stamp's object"
expect_field 8 27 second.map "5 5 0 1 " "the stamp's solid flag"
quit_game
