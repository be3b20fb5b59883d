#!/usr/bin/env bash
# Builds the show's web page (build-web/page: index.html, zyntrax.js,
# zyntrax.wasm, its icons) and the same page with the browser tests' hooks
# (build-web/page-test), and serves the first on http://127.0.0.1:8080 until Ctrl+C.
#   tools/web.sh            build, then serve
#   tools/web.sh --build    build only
# The libraries it links are built once by tools/web_sysroot.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build_only=0
case "${1:-}" in
  --build) build_only=1 ;;
  "") ;;
  *) echo "usage: tools/web.sh [--build]" >&2; exit 2 ;;
esac
# Debian's emcc finds its acorn module through NODE_PATH when node is not Debian's own.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
for tool in emcmake emcc python3; do
  command -v "$tool" >/dev/null || { echo "web.sh: $tool is missing (tools/install-deps.sh installs it)" >&2; exit 1; }
done
bash tools/web_sysroot.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# The icons are the show's badge, painted by the picture generator built for this machine.
if [ ! -f build-web/icons/zyntrax-180.png ]; then
  cmake -S . -B build-web/host -G Ninja -DCMAKE_BUILD_TYPE=Release -DZYNTRAX_TESTS=OFF "${launcher[@]}" \
    >build-web/host-configure.log 2>&1 || { cat build-web/host-configure.log >&2; exit 1; }
  cmake --build build-web/host --target make_pictures
  mkdir -p build-web/icons
  build-web/host/tools/make_pictures --icons build-web/icons 32 64 180
fi
if [ ! -f build-web/build/build.ninja ]; then
  emcmake cmake -S . -B build-web/build -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DZYNTRAX_WEB_OUT="$PWD/build-web/page" -DZYNTRAX_WEB_TEST_OUT="$PWD/build-web/page-test" \
    -DZYNTRAX_WEB_ICONS="$PWD/build-web/icons" "${launcher[@]}" >build-web/configure.log 2>&1 ||
    { cat build-web/configure.log >&2; exit 1; }
fi
cmake --build build-web/build
echo "web.sh: the page is in build-web/page"
[ "$build_only" = 1 ] && exit 0
echo "web.sh: serving http://127.0.0.1:8080/ (Ctrl+C stops)"
exec python3 -m http.server 8080 --bind 127.0.0.1 --directory build-web/page
