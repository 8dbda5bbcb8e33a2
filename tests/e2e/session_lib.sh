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
