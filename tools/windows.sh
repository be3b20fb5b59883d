#!/usr/bin/env bash
# Builds zyntrax.exe for 64-bit Windows with Debian's mingw-w64 (and the
# programs its Wine tests run) in build-windows/exe, and the release
# build-windows/exe/zyntrax-<version>-windows-x64.zip. The libraries come from
# tools/windows_sysroot.sh, built once.
#   tools/windows.sh          build
#   tools/windows.sh --run    build, then play the show under Wine
set -euo pipefail
cd "$(dirname "$0")/.."
run=0
case "${1:-}" in
  "") ;;
  --run) run=1 ;;
  *) echo "usage: tools/windows.sh [--run]" >&2; exit 2 ;;
esac
bash tools/windows_sysroot.sh
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-windows/exe -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake "${launcher[@]}" >/dev/null
cmake --build build-windows/exe
ls -l build-windows/exe/zyntrax.exe build-windows/exe/zyntrax-*-windows-x64.zip
if [ $run = 1 ]; then
  command -v wine >/dev/null || { echo "windows.sh: wine is not installed (apt-get install wine wine64)" >&2; exit 1; }
  WINEDEBUG=${WINEDEBUG:--all} exec wine build-windows/exe/zyntrax.exe
fi
