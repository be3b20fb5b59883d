#!/usr/bin/env bash
# Installs the Debian 12 packages a command needs, skipping what is already
# there. Uses sudo when not root.
#   install-deps.sh play   building and playing the show (tools/play.sh)
#   install-deps.sh test   that and the test tools (tools/test.sh); the default
set -euo pipefail
# Building and playing: compilers and build tools, the libraries the program
# and its tools link (configuring builds the capture tool too, hence FFmpeg),
# the font of the system text and the software GL driver.
play_packages=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libgtk-3-dev libpng-dev zlib1g-dev
  libogg-dev libvorbis-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
)
# Testing, on top of those: GoogleTest, the private X servers and what the
# tests drive and read windows with, the sound and picture checks, the
# install and package validators, and clang with its sanitizers for fuzzing.
test_packages=(
  git libgtest-dev
  xvfb xauth xdotool x11-utils openbox imagemagick sox libsox-fmt-all xz-utils
  desktop-file-utils appstream dpkg-dev file groff-base
  clang libclang-rt-14-dev llvm
  # the web page (tools/web.sh) and its browser tests in both browsers
  emscripten chromium firefox-esr python3
  # zyntrax.exe (tools/windows.sh) and its tests under Wine (RandR: the
  # screen mode its full-screen test switches to)
  mingw-w64 libz-mingw-w64-dev googletest wine wine64 libxrandr-dev
)
case "${1:-test}" in
  play) packages=("${play_packages[@]}") ;;
  test) packages=("${play_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: install-deps.sh [play|test]" >&2
    exit 2
    ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
