#!/usr/bin/env bash
# The real game with a settings file that moves walking to other keys: the
# file's bad line is reported, the old key no longer walks, the new one does,
# Ctrl+S saves into the map's own file without a dialog, and loading that
# file back puts the player where it was saved.
#   keys_session.sh GAME E2E_TOOL
set -euo pipefail

game=$1
tool=$2
command -v xdotool >/dev/null || { echo "xdotool is missing (apt-get install xdotool)"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no X display"; exit 1; }

work=$(mktemp -d /tmp/quillora-keys-XXXXXX)
game_pid=
cleanup() {
  exec 3>&- 2>/dev/null || true
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
"$tool" content "$work"
mkfifo "$work/stdin"
log=$work/stdout.log

fail() {
  echo "FAILED: $*"
  echo "--- game stdout:"; cat "$log" || true
  echo "--- game stderr:"; tail -20 "$work/stderr.log" || true
  exit 1
}

# Waits until the game's console shows at least $2 lines matching $1.
wait_for_lines() {
  for _ in $(seq 1 100); do
    [ "$(grep -cE -- "$1" "$log" || true)" -ge "$2" ] && return 0
    sleep 0.1
  done
  fail "fewer than $2 console lines matching '$1'"
}

focus_game() {
  local wid=
  for _ in $(seq 1 50); do
    wid=$(xdotool search --name "Quillora Indev" 2>/dev/null | tail -1) && [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || fail "the game window did not appear"
  xdotool windowfocus "$wid" 2>/dev/null || true
  sleep 0.2
}

hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
  sleep 0.1
}

# Ctrl+S as a hand types it: Ctrl first, S within it, each held over frames.
quick_save() {
  xdotool keydown ctrl
  sleep 0.05
  xdotool keydown s
  sleep 0.1
  xdotool keyup s
  sleep 0.05
  xdotool keyup ctrl
  sleep 0.1
}

origin_y() { sed -n 160002p "$1"; }
fields() { head -160000 "$1"; }

# Walking up on J (and the up arrow), down on K; the third line names no key.
mkdir -p "$work/config/quillora"
printf '[keys]\nwalk_up = J, Up\nwalk_down = Nokey\nwalk_down = K\n' >"$work/config/quillora/settings.ini"

cd "$work"
exec 3<>"$work/stdin"
# An empty PATH: no dialog program, so F5 and F10 ask on the console.
for attempt in 1 2 3; do
  PATH=/nonexistent XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" "$game" \
    <"$work/stdin" >"$log" 2>"$work/stderr.log" &
  game_pid=$!
  for _ in $(seq 1 50); do
    xdotool search --name "Quillora Indev" >/dev/null 2>&1 && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$game_pid" 2>/dev/null && break
  wait "$game_pid" 2>/dev/null || true
  grep -q "Failed to open X11 display" "$work/stderr.log" && [ "$attempt" -lt 3 ] || fail "the game ended at start-up"
done
wait_for_lines '^---Items laden bei ' 1
grep -q 'settings.ini, line 3: walk_down: "Nokey" is no key (the default is kept)' "$work/stderr.log" \
  || fail "the bad settings line was not reported"
focus_game

# The map gets its own file through F5.
printf '%s\n' "$work/walk.map" >&3
hold F5 0.05
wait_for_lines '--- Saving Complete' 1
focus_game
cp walk.map saved-0.map

# W walks no more; Ctrl+S saves without asking (nothing was written to the prompt).
hold w 0.4
quick_save
wait_for_lines '--- Saving Complete' 2
cmp -s walk.map saved-0.map || fail "W still walks: origin y $(origin_y walk.map), was $(origin_y saved-0.map)"

# J walks up: the map moves down under the player.
hold j 0.4
quick_save
wait_for_lines '--- Saving Complete' 3
[ "$(origin_y walk.map)" -gt "$(origin_y saved-0.map)" ] || fail "J did not walk up: origin y $(origin_y walk.map)"
cmp -s <(fields walk.map) <(fields saved-0.map) || fail "walking changed the fields"
cp walk.map saved-1.map

# Walk on, load the file back: the player stands where it was saved, which
# the next Ctrl+S writes into the same file again.
hold k 0.3
hold j 0.8
printf '%s\n' "$work/walk.map" >&3
hold F10 0.05
wait_for_lines '--- Loading Complete' 1
focus_game
quick_save
wait_for_lines '--- Saving Complete' 4
cmp -s walk.map saved-1.map || fail "loading did not bring back origin y $(origin_y saved-1.map): $(origin_y walk.map)"
[ "$(grep -c 'Save map to' "$log")" -eq 1 ] || fail "Ctrl+S asked for a file"

hold Escape 0.05
for _ in $(seq 1 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$game_pid" || status=$?
game_pid=
[ "$status" -eq 0 ] || fail "exit code $status"
echo "rebound walking, Ctrl+S and loading back: origin y $(origin_y saved-0.map) -> $(origin_y saved-1.map)"
