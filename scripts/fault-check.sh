#!/usr/bin/env bash
# Plants each fault of a list in turn, builds, runs the test suite and records
# whether the suite caught it; the file is restored after every fault.
#
#   bash scripts/fault-check.sh [--list] [FAULTS] [BUILD_DIR]
#
# FAULTS (default scripts/faults.txt) holds one block per fault:
#
#   fault NAME FILE
#   - the original line, exactly as in FILE (leading blanks not counted)
#   + the faulty line that replaces it (it gets the original's indentation)
#
# Blank lines and lines starting with '#' are ignored. The original line must
# occur exactly once in FILE, or the fault is reported as not applied.
# BUILD_DIR (default build) is configured when missing. --list only checks
# that every fault applies.
#
# Environment: FAULT_ONLY (a grep -E pattern of fault names to run),
# FAULT_EXCLUDE (ctest -E pattern, default 'Soak|Install|WindowsBuild').
set -uo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top" || exit 2
list_only=0
if [ "${1:-}" = --list ]; then
  list_only=1
  shift
fi
faults=${1:-scripts/faults.txt}
build=${2:-build}
exclude=${FAULT_EXCLUDE:-Soak|Install|WindowsBuild}
logs="$build/fault-check"

names=() files=() olds=() news=()
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    ''|'#'*) ;;
    'fault '*)
      read -r _ name file <<<"$line"
      names+=("$name"); files+=("$file"); olds+=(""); news+=("") ;;
    '- '*) olds[${#olds[@]}-1]=${line#- } ;;
    '+ '*) news[${#news[@]}-1]=${line#+ } ;;
    *) echo "$faults: cannot read: $line" >&2; exit 2 ;;
  esac
done <"$faults"

# Writes FILE with OLD replaced by NEW to OUT; fails unless OLD occurs once.
plant() {
  F_OLD=$2 F_NEW=$3 awk '
    BEGIN { old = ENVIRON["F_OLD"]; new = ENVIRON["F_NEW"] }
    { text = $0; sub(/^[ \t]+/, "", text)
      if (text == old) { print substr($0, 1, length($0) - length(text)) new; found++ } else print }
    END { exit found == 1 ? 0 : 3 }' "$1" >"$4"
}

if [ "$list_only" = 1 ]; then
  bad=0
  for i in "${!names[@]}"; do
    if plant "${files[$i]}" "${olds[$i]}" "${news[$i]}" /dev/null; then
      echo "applies      ${names[$i]}  ${files[$i]}"
    else
      echo "NOT APPLIED  ${names[$i]}  ${files[$i]}"; bad=1
    fi
  done
  exit $bad
fi

run=()
[ -n "${DISPLAY:-}" ] || run=(xvfb-run -a -s '-screen 0 1080x720x24')
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DQUILLORA_BENCH=OFF >/dev/null || exit 2
fi
mkdir -p "$logs"

# The planted file's pristine copy, put back on every way out.
saved=$(mktemp)
planted=
restore() {
  if [ -n "$planted" ]; then
    cat "$saved" >"$planted" # a fresh timestamp, so the next build recompiles it
    planted=
  fi
}
trap 'restore; rm -f "$saved"' EXIT
trap 'exit 130' INT TERM

build_all() { cmake --build "$build" -j2 >"$1" 2>&1; }
test_all() {
  (cd "$build" && "${run[@]}" ctest -j2 --timeout 180 -E "$exclude") >"$1" 2>&1
}

echo "baseline: building and testing without a fault"
build_all "$logs/baseline-build.log" || { echo "the build fails without a fault ($logs/baseline-build.log)"; exit 2; }
test_all "$logs/baseline-test.log" || { echo "the suite fails without a fault ($logs/baseline-test.log)"; exit 2; }

caught=0 missed=() skipped=()
for i in "${!names[@]}"; do
  name=${names[$i]} file=${files[$i]}
  if [ -n "${FAULT_ONLY:-}" ] && ! grep -qE "$FAULT_ONLY" <<<"$name"; then
    continue
  fi
  cp "$file" "$saved"
  if ! plant "$saved" "${olds[$i]}" "${news[$i]}" "$saved.new"; then
    printf '%-12s %s (%s: the original line is not there exactly once)\n' "not applied" "$name" "$file"
    skipped+=("$name"); rm -f "$saved.new"; continue
  fi
  planted=$file
  cat "$saved.new" >"$file"
  rm -f "$saved.new"
  if ! build_all "$logs/$name-build.log"; then
    printf '%-12s %s (see %s)\n' "no build" "$name" "$logs/$name-build.log"
    skipped+=("$name")
  elif test_all "$logs/$name-test.log"; then
    printf '%-12s %s\n' "NOT CAUGHT" "$name"
    missed+=("$name")
  else
    failed=$(sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) .*/\1/p' "$logs/$name-test.log" | paste -sd ' ')
    printf '%-12s %s: %s\n' "caught" "$name" "${failed:-the suite failed}"
    caught=$((caught + 1))
  fi
  restore
done

echo
echo "caught $caught of $((caught + ${#missed[@]})) faults${missed:+; not caught: ${missed[*]}}"
[ ${#skipped[@]} -eq 0 ] || echo "not run: ${skipped[*]}"
build_all "$logs/final-build.log" || echo "the final rebuild failed ($logs/final-build.log)"
[ ${#skipped[@]} -eq 0 ]
