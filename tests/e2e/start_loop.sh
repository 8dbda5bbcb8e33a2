#!/usr/bin/env bash
# Starts the real game STARTS times, AT_ONCE games at the same moment on the
# test's X display with one state folder (so the server is busy with the
# others' windows and frames), each ended with SIGTERM once it runs. No start
# may abort, fail or hang in window creation, and none is retried.
#   start_loop.sh GAME E2E_TOOL [STARTS] [AT_ONCE]
set -euo pipefail
game=$1
tool=$2
starts=${3:-100}
at_once=${4:-10}
[ -n "${DISPLAY:-}" ] || { echo "no X display"; exit 1; }

work=$(mktemp -d /tmp/quillora-starts-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
"$tool" content "$work/content"

fail() {
  echo "FAILED: $*"
  for log in "$work"/game-*.err; do echo "--- $log:"; tail -5 "$log"; done
  exit 1
}

started=0
begin=$(date +%s)
while [ "$started" -lt "$starts" ]; do
  pids=()
  first=$started
  for _ in $(seq 1 "$at_once"); do
    [ "$started" -lt "$starts" ] || break
    XDG_STATE_HOME="$work/state" PATH=/nonexistent "$game" --content "$work/content" --windowed --autosave 0 \
      </dev/null >"$work/game-$started.out" 2>"$work/game-$started.err" &
    pids+=($!)
    started=$((started + 1))
  done
  # Each game runs once its content's last line is out (after the window is
  # made), or has ended: a game that fails says so within seconds.
  for i in "${!pids[@]}"; do
    n=$((first + i))
    until grep -q '^---Items laden bei ' "$work/game-$n.out" || ! kill -0 "${pids[$i]}" 2>/dev/null; do
      sleep 0.05
    done
  done
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  for i in "${!pids[@]}"; do
    n=$((first + i))
    status=0
    wait "${pids[$i]}" || status=$?
    [ "$status" -eq 0 ] || fail "start $n ended with exit code $status"
    grep -q '^---Items laden bei ' "$work/game-$n.out" || fail "start $n never ran"
  done
  pids=()
done
echo "start loop passed: $starts starts, $at_once at once, in $(( $(date +%s) - begin )) s"
