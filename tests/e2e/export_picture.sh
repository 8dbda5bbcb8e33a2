#!/usr/bin/env bash
# The whole map as a picture from the command line, without a display:
#   export_picture.sh GAME CONTENT MAP
set -euo pipefail
game=$1
content=$2
map=$3
work=$(mktemp -d /tmp/quillora-export-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

out=$(env -u DISPLAY "$game" --content "$content" --export-png "$map" "$work/map.png" 2>&1) ||
  fail "exit code $? for a good map: $out"
[ "$out" = "--- Map picture written: $work/map.png" ] || fail "said '$out'"
# A PNG of 3200 x 3200: the signature, then the header's width and height.
[ "$(od -An -tx1 -N24 "$work/map.png" | tr -d ' \n')" = 89504e470d0a1a0a0000000d4948445200000c8000000c80 ] ||
  fail "not a PNG of 3200 x 3200"

printf '5\n5\n' >"$work/short.map"
status=0
out=$(env -u DISPLAY "$game" --content "$content" --export-png "$work/short.map" "$work/short.png" 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "exit code $status for a map of two lines"
[[ "$out" == "quillora: cannot draw the map: $work/short.map: "* ]] || fail "said '$out'"
[ ! -e "$work/short.png" ] || fail "a picture of a bad map"

status=0
out=$(env -u DISPLAY "$game" --content "$content" --export-png "$map" "$work/missing/map.png" 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "exit code $status for a folder that does not exist"
[[ "$out" == "quillora: cannot write the map picture: $work/missing/map.png: "* ]] || fail "said '$out'"
# The picture never takes the map's place, named as it is or through a link.
cp "$map" "$work/own.map"
ln -s own.map "$work/link.png"
for picture in "$work/own.map" "$work/link.png"; do
  status=0
  out=$(env -u DISPLAY "$game" --content "$content" --export-png "$work/own.map" "$picture" 2>&1) || status=$?
  [ "$status" -eq 1 ] || fail "exit code $status for the map itself as the picture ($picture)"
  [ "$out" = "quillora: $picture is the map itself; name another file for the picture" ] || fail "said '$out'"
  cmp -s "$map" "$work/own.map" || fail "the map was replaced through $picture"
done

# Content that cannot be used is named as the game names it at start.
cp -r "$content" "$work/content"
head -c 100 "$content/Texturen/FieldTextur1.png" >"$work/content/Texturen/FieldTextur1.png"
status=0
out=$(env -u DISPLAY "$game" --content "$work/content" --export-png "$map" "$work/damaged.png" 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "exit code $status for a map of ground types the damaged content lacks"
[[ "$out" == "--- Content Refused: $work/content/Texturen/FieldTextur1.png: "* ]] ||
  fail "the damaged picture was not named first: '$out'"
echo "picture export passed"
