#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quillora, builds it, then plays or tests.
#   bash scripts/setup.sh play   install what is missing, build, start the game on assets/
#   bash scripts/setup.sh test   install what is missing, build, run every test
# Run as root (it installs Debian packages with apt-get).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
case "$mode" in
  play|test) ;;
  *) echo "usage: bash scripts/setup.sh play|test" >&2; exit 2 ;;
esac

# dpkg-dev and file: dpkg-shlibdeps and the file utility, which `cpack -G DEB` needs
# for the package's dependencies.
# libx11-dev: the game checks the X display itself before SFML opens it.
# libcli11-dev: the command-line parser (header only).
# libinih-dev: the settings file's reader.
# libpugixml-dev, nlohmann-json3-dev, zlib1g-dev, libzstd-dev: Tiled's XML and JSON maps and their compressed layers.
build_packages=(cmake g++ make pkg-config libsfml-dev libpng-dev libfontconfig-dev libx11-dev libcli11-dev libinih-dev fonts-dejavu-core fonts-liberation2 dpkg-dev file libpugixml-dev nlohmann-json3-dev zlib1g-dev libzstd-dev)
play_packages=(zenity)
# g++-mingw-w64-x86-64-posix: the test suite compiles every source file for Windows too.
# man-db: the install test renders the manual page and fails on its warnings.
# lintian: the package test checks the Debian package with it.
# tiled: its renderer (tmxrasterizer) and its writer check the Tiled maps the game exports.
test_packages=(libgtest-dev libbenchmark-dev xvfb xauth libgl1-mesa-dri libglx-mesa0 xdotool g++-mingw-w64-x86-64-posix man-db lintian tiled)

wanted=("${build_packages[@]}")
if [ "$mode" = play ]; then wanted+=("${play_packages[@]}"); else wanted+=("${test_packages[@]}"); fi

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
if [ "$mode" = play ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_TESTS=OFF -DQUILLORA_BENCH=OFF
  cmake --build build --target quillora -j"$jobs"
  cd assets
  exec ../build/quillora
fi

# Runs its arguments on the display, or on a virtual one when there is none.
# Every test runs once: a test that fails, fails the run. (A busy X server
# refuses a connection now and then; the game and the unit tests open theirs
# through a check that tries again and hold it, so no start depends on luck.)
on_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s '-screen 0 1080x720x24' "$@"
  fi
}

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_TESTS=ON -DQUILLORA_BENCH=ON
cmake --build build -j"$jobs"
(cd build && on_display ctest --output-on-failure -j"$jobs")

# Once more with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer:
# any report fails. Every sanitized program carries its own sanitizer settings
# and keeps what it loaded until exit, so the leak checker can tell the graphics
# driver's memory from ours (tests/support). The Windows check and the install
# tests look at files, not at running code, so they run once, above.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_SANITIZE=ON -DQUILLORA_TESTS=ON -DQUILLORA_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && on_display ctest --output-on-failure -j"$jobs" -E 'WindowsBuild|Install\.')
