#!/usr/bin/env bash
# Checks the installed game the way a desktop sees it.
#   install_check.sh prefix  CMAKE BUILD_DIR SOURCE_DIR VERSION PROBE
#     installs into a temporary prefix: the exact file list, the content, the
#     desktop entry, the icons, the manual page, that an executable in the
#     installed bin/ finds the installed content from another folder (PROBE),
#     and the installed game itself: its command line, started from a home
#     folder as a desktop menu starts it (screenshots into ~/Pictures/Quillora,
#     quitting on SIGTERM), and a copy without content beside it.
#   install_check.sh package CMAKE BUILD_DIR SOURCE_DIR VERSION CPACK
#     builds the Debian package: its name, fields and dependencies, that it
#     holds exactly what the install puts below a prefix (the game in games/),
#     and that lintian finds no error or warning in it.
set -euo pipefail

mode=$1 cmake=$2 build=$3 source=$4 version=$5 extra=$6
work=$(mktemp -d /tmp/quillora-install-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }
if [ "$mode" = package ]; then
  cpack=$extra
  (cd "$work" && "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack"; }
  deb=$work/deb/quillora_${version}_$(dpkg --print-architecture).deb
  [ -f "$deb" ] || { ls "$work/deb"; fail "no $deb"; }
  field() { dpkg-deb -f "$deb" "$1"; }
  [ "$(field Package)" = quillora ] || fail "Package: $(field Package)"
  [ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
  depends=$(field Depends)
  for needed in libsfml-graphics2.5 libsfml-window2.5 libpng16-16 libfontconfig1 libglx0 libc6 'fonts-dejavu-core | fonts-liberation2'; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
  done
  [[ "$(field Recommends)" == *zenity* ]] || fail "Recommends: $(field Recommends)"
  # Everything the prefix install has, under /usr with the game in games/,
  # and nothing else.
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's#^\./usr/##; s#^games/#bin/#' | LC_ALL=C sort >"$work/deb.list"
  (cd "$prefix" && find . -type f | sed 's#^\./##' | LC_ALL=C sort) | diff - "$work/deb.list" \
    || fail "the package's files differ from the install's"
  dpkg-deb -c "$deb" | awk '$6 == "./usr/games/quillora" {found = 1} END {exit !found}' \
    || fail "the package has no usr/games/quillora"
  # What a Debian maintainer would fix: lintian's errors and warnings.
  if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1 || { cat "$work/lintian.txt"; fail "lintian"; }
  else
    echo "lintian is not installed: the package is not checked with it"
  fi
  echo "package $(basename "$deb"): Depends: $depends"
  exit 0
fi

probe=$extra
# Below the prefix, content left out: exactly these files.
expected_files() {
  printf '%s\n' bin/quillora share/applications/quillora.desktop share/man/man6/quillora.6.gz \
    share/doc/quillora/copyright share/doc/quillora/changelog.gz
  for size in 16 32 48 64 128 256; do echo "share/icons/hicolor/${size}x${size}/apps/quillora.png"; done
}
(cd "$prefix" && find . -type f ! -path './share/quillora/*' | sed 's#^\./##' | LC_ALL=C sort) \
  | diff <(expected_files | LC_ALL=C sort) - || fail "unexpected installed files"
[ -x "$prefix/bin/quillora" ] || fail "bin/quillora is not executable"
grep -qaF "  Quillora Indev $version " "$prefix/bin/quillora" || fail "the window title does not carry version $version"

# The content: what the game reads from assets/, byte for byte.
content=$prefix/share/quillora
for folder in Texturen Objekte Items; do
  diff -r "$source/assets/$folder" "$content/$folder" || fail "content folder $folder differs"
done
cmp "$source/assets/ico.png" "$content/ico.png" || fail "ico.png differs"

desktop=$prefix/share/applications/quillora.desktop
[ "$(head -1 "$desktop")" = '[Desktop Entry]' ] || fail "the desktop entry does not start with its group"
for line in Type=Application Name=Quillora Exec=quillora Icon=quillora Terminal=false 'Categories=Game;'; do
  grep -qxF "$line" "$desktop" || fail "the desktop entry lacks $line"
done
grep -q '^Comment=.' "$desktop" || fail "the desktop entry has no Comment"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop" || fail "desktop-file-validate"; fi

# PNG width and height from the header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{printf "%dx%d", (($1*256+$2)*256+$3)*256+$4, (($5*256+$6)*256+$7)*256+$8}'; }
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/quillora.png
  [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "$icon is $(png_size "$icon")"
done

man_page=$prefix/share/man/man6/quillora.6.gz
if command -v man >/dev/null; then
  LC_ALL=C MANWIDTH=80 man --warnings -l "$man_page" >"$work/man.txt" 2>"$work/man.err" || fail "man -l"
  [ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "the manual page has warnings"; }
  man_text=$(cat "$work/man.txt")
else
  man_text=$(gzip -dc "$man_page" | sed 's/\\-/-/g') # roff's \- is a hyphen
fi
for word in --help --version --content --map --windowed --autosave --export-png "Quillora $version"; do
  [[ "$man_text" == *"$word"* ]] || fail "the manual page lacks $word"
done

# An executable in the installed bin/ finds the installed content, started
# from a folder far from both the prefix and the sources.
cp "$probe" "$prefix/bin/"
mkdir "$work/elsewhere"
found=$(cd "$work/elsewhere" && "$prefix/bin/$(basename "$probe")") || fail "the probe failed"
[ "$found" = "$(cd "$content" && pwd -P)" ] || fail "content looked for in '$found', installed in '$content'"
[ -f "$found/Texturen/FieldTextur0.png" ] || fail "no content in $found"
# The installed game's command line.
installed=$prefix/bin/quillora
[ "$("$installed" --version)" = "quillora $version" ] || fail "--version: $("$installed" --version)"
"$installed" --help | grep -- '--content DIR' >/dev/null || fail "--help lacks the options"
status=0
"$installed" --no-such-option >/dev/null 2>"$work/usage.txt" || status=$?
[ "$status" = 2 ] && grep -q '^Usage: quillora' "$work/usage.txt" || fail "an unknown option gave exit $status"

# A copy with no content beside it, started where there is none either.
mkdir -p "$work/lonely/bin"
cp "$installed" "$work/lonely/bin/"
status=0
(cd "$work/elsewhere" && "$work/lonely/bin/quillora") >/dev/null 2>"$work/lonely.txt" || status=$?
[ "$status" = 1 ] || fail "without content the game exited with $status"
grep -q "no game content found.*$work/elsewhere.*$work/lonely/share/quillora" "$work/lonely.txt" ||
  fail "the message does not say where it looked: $(cat "$work/lonely.txt")"

# Started as a desktop menu does: in the home folder, the content found
# through the installation. F3 writes into the pictures folder; SIGTERM quits.
if [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null; then
  home=$work/home
  mkdir "$home"
  (cd "$home" && HOME=$home XDG_CONFIG_HOME= XDG_STATE_HOME= PATH=/nonexistent exec "$installed") \
    </dev/null >"$work/game.log" 2>&1 &
  game=$!
  for _ in $(seq 1 100); do grep -q '^---Items laden bei ' "$work/game.log" && break; sleep 0.1; done
  grep -qF -- "---Texturen laden bei $found/Texturen/FieldTextur" "$work/game.log" ||
    { cat "$work/game.log"; fail "the installed game did not load the installed content"; }
  shots=$home/Pictures/Quillora
  for _ in $(seq 1 20); do
    wid=$(xdotool search --name "Quillora Indev" 2>/dev/null | tail -1) || true
    [ -n "$wid" ] && xdotool windowfocus "$wid" 2>/dev/null && sleep 0.2 && xdotool key F3 2>/dev/null || true
    sleep 0.3
    ls "$shots"/ScreenCapture-*.jpg >/dev/null 2>&1 && break
  done
  ls "$shots"/ScreenCapture-*.jpg >/dev/null 2>&1 || fail "F3 wrote no screenshot into $shots"
  [ -z "$(ls "$home" | grep -v Pictures)" ] || fail "the game left files in the home folder: $(ls "$home")"
  kill -TERM "$game"
  status=0
  wait "$game" || status=$?
  [ "$status" = 0 ] || fail "SIGTERM ended the installed game with $status"
else
  echo "no X display or xdotool: the installed game is not started"
fi
echo "installed into $prefix; content found at $found"
