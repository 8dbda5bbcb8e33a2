#!/usr/bin/env bash
# Starts the real game STARTS times, AT_ONCE at the same moment with one state
# folder on the test's X display (busy with the others' windows), and ends
# each with SIGTERM once it runs. No start may abort, fail or hang, and none
# is retried.   start_loop.sh GAME E2E_TOOL [STARTS] [AT_ONCE]
set -euo pipefail
game=$1 tool=$2 starts=${3:-100} at_once=${4:-10}
work=$(mktemp -d /tmp/quillora-starts-XXXXXX)
pids=()
trap 'for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done; rm -rf "$work"' EXIT
"$tool" content "$work/content"
begin=$(date +%s)
for ((first = 0; first < starts; first += at_once)); do
  pids=()
  for ((n = first; n < first + at_once && n < starts; n++)); do
    XDG_STATE_HOME="$work/state" PATH=/nonexistent "$game" --content "$work/content" --windowed --autosave 0 \
      </dev/null >"$work/$n.out" 2>"$work/$n.err" &
    pids+=($!)
  done
  # A game runs once its content's last line is out, after the window is
  # made; one that fails ends within seconds.
  for i in "${!pids[@]}"; do
    until grep -q '^---Items laden bei ' "$work/$((first + i)).out" || ! kill -0 "${pids[$i]}" 2>/dev/null; do
      sleep 0.05
    done
  done
  kill -TERM "${pids[@]}" 2>/dev/null || true
  for i in "${!pids[@]}"; do
    status=0
    wait "${pids[$i]}" || status=$?
    [ "$status" -eq 0 ] || { echo "FAILED: start $((first + i)): exit code $status"; cat "$work/$((first + i)).err"; exit 1; }
  done
done
echo "start loop passed: $starts starts, $at_once at once, in $(( $(date +%s) - begin )) s"
