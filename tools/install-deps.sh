#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need,
# skipping what is already there. Uses sudo when not root.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config git
  libsdl2-dev libgtk-3-dev libpng-dev zlib1g-dev
  libogg-dev libvorbis-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libgtest-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  xvfb xauth xdotool x11-utils openbox imagemagick sox libsox-fmt-all
  desktop-file-utils appstream dpkg-dev file groff-base
  clang libclang-rt-14-dev llvm
  # the web page (tools/web.sh) and its browser tests
  emscripten chromium python3
)
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
