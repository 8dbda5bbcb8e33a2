#!/usr/bin/env bash
# The real game with a settings file that moves walking to J and K: the bad
# line is reported, W walks no more, J does, Ctrl+S saves into the map's own
# file without a dialog, and loading that file back puts the player where it
# was saved.   keys_session.sh GAME E2E_TOOL
set -euo pipefail
game=$1 tool=$2
[ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null || { echo "needs an X display and xdotool"; exit 1; }
. "$(dirname "$0")/session_lib.sh" quillora-keys
# Ctrl+S as a hand types it: S goes down and up within Ctrl, each over frames.
quick_save() { xdotool keydown ctrl; sleep 0.05; hold s 0.1; xdotool keyup ctrl; sleep 0.1; }
origin_y() { sed -n 160002p "$1"; }

mkdir -p "$work/config/quillora"
printf '[keys]\nwalk_up = J, Up\nwalk_down = Nokey\nwalk_down = K\n' >"$work/config/quillora/settings.ini"
cd "$work"
exec 3<>"$work/stdin"
start_game
grep -q 'settings.ini, line 3: walk_down: "Nokey" is no key (the default is kept)' "$work/stderr.log" \
  || fail "the bad settings line was not reported"

answer "$work/walk.map" F5
wait_for '--- Saving Complete' 1
focus_game
cp walk.map saved-0.map
hold w 0.4
quick_save
wait_for '--- Saving Complete' 2
cmp -s walk.map saved-0.map || fail "W still walks: origin y $(origin_y walk.map)"
hold j 0.4
quick_save
wait_for '--- Saving Complete' 3
[ "$(origin_y walk.map)" -gt "$(origin_y saved-0.map)" ] || fail "J did not walk up: origin y $(origin_y walk.map)"
cp walk.map saved-1.map

# Walk on and load the file back: the next Ctrl+S writes the same file again.
hold k 0.3
hold j 0.8
answer "$work/walk.map" F10
wait_for '--- Loading Complete' 1
focus_game
quick_save
wait_for '--- Saving Complete' 4
cmp -s walk.map saved-1.map || fail "loading did not bring back origin y $(origin_y saved-1.map): $(origin_y walk.map)"
[ "$(grep -c 'Save map to' "$log")" -eq 1 ] || fail "Ctrl+S asked for a file"
quit_game
