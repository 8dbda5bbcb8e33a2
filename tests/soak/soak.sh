#!/usr/bin/env bash
# A soak run of the real game: random held keys, mouse moves and clicks in
# both modes for a while, then Escape. Fails on a crash, a sanitizer report,
# a non-zero exit code, or memory that keeps growing in the second half.
#   [SEED=N] soak.sh GAME E2E_TOOL SECONDS
# The keys, moves and pauses come from bash's generator seeded with SEED
# (printed; the same seed plays the same session), 1 by default.
# Needs an X display and xdotool; build GAME with QUILLORA_SANITIZE=ON to
# catch memory errors and leaks.
set -euo pipefail
game=$1
tool=$2
seconds=${3:-600}
seed=${SEED:-1}
echo "soak seed: $seed"
RANDOM=$seed

work=$(mktemp -d /tmp/quillora-soak-XXXXXX)
game_pid=
cleanup() { [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
"$tool" content "$work"
cd "$work"

# A small quarantine keeps the memory figures meaningful; leaks are checked
# at exit as the caller's options say.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16"
# Recovery files go to the run's own state folder.
wid=
XDG_STATE_HOME="$work/state" PATH=/nonexistent "$game" </dev/null >stdout.log 2>stderr.log &
game_pid=$!
for _ in $(seq 1 100); do
  wid=$(xdotool search --name "Quillora Indev" 2>/dev/null | tail -1) && [ -n "$wid" ] && break
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$wid" ] || { echo "no game window"; tail -5 stderr.log; exit 1; }

keys=(w a s d w a s d space e u z p o i k l KP_Add KP_Subtract minus equal 1 2 3 4 5 6 Shift_L F5 F10)
rss() { awk '/VmRSS/ {print $2}' "/proc/$game_pid/status"; }
start=$(date +%s)
samples=()
next_sample=$start
while [ $(( $(date +%s) - start )) -lt "$seconds" ]; do
  kill -0 "$game_pid" 2>/dev/null || { echo "the game died"; tail -30 stderr.log; exit 1; }
  # The window is re-created around F5 and F10: find it again, give it the keys.
  wid=$(xdotool search --name "Quillora Indev" 2>/dev/null | tail -1 || true)
  [ -n "$wid" ] && xdotool windowfocus "$wid" 2>/dev/null || true
  key=${keys[RANDOM % ${#keys[@]}]}
  xdotool mousemove $((RANDOM % 1080)) $((RANDOM % 720)) keydown "$key" 2>/dev/null || true
  if [ $((RANDOM % 3)) -eq 0 ]; then xdotool mousedown 1; fi
  sleep "0.$((RANDOM % 4))"
  xdotool mousemove $((RANDOM % 1080)) $((RANDOM % 720)) 2>/dev/null || true
  xdotool keyup "$key" mouseup 1 2>/dev/null || true
  if [ "$(date +%s)" -ge "$next_sample" ]; then
    samples+=("$(rss)")
    next_sample=$(( next_sample + seconds / 10 ))
  fi
done

xdotool keyup Shift_L mouseup 1 2>/dev/null || true
wid=$(xdotool search --name "Quillora Indev" 2>/dev/null | tail -1 || true)
[ -n "$wid" ] && xdotool windowfocus "$wid" 2>/dev/null || true
xdotool keydown Escape; sleep 0.2; xdotool keyup Escape
for _ in $(seq 1 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$game_pid" || status=$?
game_pid=
echo "memory (kB) over the run: ${samples[*]}"
echo "saves: $(grep -c 'Saving' stdout.log || true), loads: $(grep -c 'Loading' stdout.log || true), exit code $status"
report='ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:'
if grep -qE "$report" stderr.log; then
  echo "sanitizer report:"; grep -A20 -E "$report" stderr.log | head -40; exit 1
fi
[ "$status" -eq 0 ] || { echo "exit code $status"; tail -20 stderr.log; exit 1; }
# Memory must level off: the last sample may exceed the highest of the first
# half of the run by 10% at most.
n=${#samples[@]}
if [ "$n" -ge 4 ]; then
  high=0
  for ((i = 0; i < n / 2; i++)); do [ "${samples[i]}" -gt "$high" ] && high=${samples[i]}; done
  last=${samples[n - 1]}
  [ "$last" -le $(( high + high / 10 )) ] || { echo "memory kept growing: $high kB -> $last kB"; exit 1; }
fi
echo "soak passed"
