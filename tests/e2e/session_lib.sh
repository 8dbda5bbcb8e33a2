# What the end-to-end sessions share, sourced after `game` and `tool` are
# set: a temporary working folder with the test content and a console fifo,
# removed at the end with the game; and helpers that drive the game.
# $1: the working folder's name prefix.
work=$(mktemp -d "/tmp/$1-XXXXXX")
game_pid=
trap 'exec 3>&- 2>/dev/null; [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null; rm -rf "$work"' EXIT
"$tool" content "$work"
mkfifo "$work/stdin"
log=$work/stdout.log
fail() { echo "FAILED: $*"; cat "$log" "$work/stderr.log"; exit 1; }
# Waits until the console shows at least $2 lines with $1.
wait_for() {
  for _ in $(seq 1 100); do [ "$(grep -c -- "$1" "$log" || true)" -ge "$2" ] && return 0; sleep 0.1; done
  fail "fewer than $2 console lines with '$1'"
}
focus_game() { xdotool windowfocus "$(xdotool search --name "Quillora Indev" | tail -1)" 2>/dev/null || true; sleep 0.2; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; sleep 0.1; }
# Over the console prompt (no dialog program on an empty PATH).
answer() { printf '%s\n' "$1" >&3; hold "$2" 0.05; }
# Starts the game in the working folder's own config, state and data
# folders, its console on the fifo and in $log. An empty PATH: no dialog
# program is found, so the file dialogs ask on the console.
start_game() {
  PATH=/nonexistent XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" XDG_DATA_HOME="$work/data" \
    "$game" <"$work/stdin" >"$log" 2>"$work/stderr.log" &
  game_pid=$!
  for _ in $(seq 1 150); do
    grep -q '^---Items laden bei ' "$log" && break
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended at start"
    sleep 0.1
  done
  grep -q '^---Items laden bei ' "$log" || fail "the game did not start"
  focus_game
}
# Escape ends the game with exit code 0.
quit_game() {
  hold Escape 0.05
  for _ in $(seq 1 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  wait "$game_pid" || fail "exit code $?"
  game_pid=
}
