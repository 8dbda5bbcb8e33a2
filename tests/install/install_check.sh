#!/usr/bin/env bash
# Checks the installed game the way a desktop sees it.
#   install_check.sh prefix  CMAKE BUILD_DIR SOURCE_DIR VERSION PROBE
#     installs into a temporary prefix: the exact file list, the content, the
#     desktop entry, the icons, the manual page, and that an executable in the
#     installed bin/ finds the installed content from another folder (PROBE).
#   install_check.sh package CMAKE BUILD_DIR SOURCE_DIR VERSION CPACK
#     builds the Debian package: its name, fields and dependencies, and that
#     it holds exactly what the install puts below a prefix.
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
  # Everything the prefix install has, under /usr, and nothing else.
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's#^\./usr/##' | LC_ALL=C sort >"$work/deb.list"
  (cd "$prefix" && find . -type f | sed 's#^\./##' | LC_ALL=C sort) | diff - "$work/deb.list" \
    || fail "the package's files differ from the install's"
  echo "package $(basename "$deb"): Depends: $depends"
  exit 0
fi

probe=$extra
# Below the prefix, content left out: exactly these files.
expected_files() {
  printf '%s\n' bin/quillora share/applications/quillora.desktop share/man/man6/quillora.6
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

man_page=$prefix/share/man/man6/quillora.6
if command -v man >/dev/null; then
  LC_ALL=C MANWIDTH=80 man --warnings -l "$man_page" >"$work/man.txt" 2>"$work/man.err" || fail "man -l"
  [ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "the manual page has warnings"; }
  man_text=$(cat "$work/man.txt")
else
  man_text=$(cat "$man_page")
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
echo "installed into $prefix; content found at $found"
