#!/usr/bin/env bash
# The web page's benchmark beside the native one, in one run: builds the pages
# (tools/web.sh --build) and a Release make_bench, serves the test page on
# 127.0.0.1, plays every timeline row in headless Chromium, headless Firefox
# and Chromium with a CPU four times slower (tools/web/bench.js: frame
# function, canvas put and animation-frame interval per row, then Launch click
# to first frame), runs make_bench under a private Xvfb display, and prints
# the shipped page's download size, plain and gzipped.
#   tools/web_bench.sh [SECONDS_PER_ROW]   (default 4)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-4}"
bash tools/web.sh --build >/dev/null
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZYNTRAX_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build build-bench --target make_bench >/dev/null

port=8097
python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/page-test >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/index.html')" 2>/dev/null && break
  sleep 0.1
done

echo "before: $(uptime)"
node tools/web/bench.js "http://127.0.0.1:$port/index.html" "$seconds"
echo "== native make_bench (Release, Xvfb 1920x1080)"
LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1920x1080x24 +extension GLX +render -noreset" \
  build-bench/tools/make_bench --frames 120
echo "after: $(uptime)"
echo "== page download"
total=0
gz=0
for f in index.html zyntrax.js zyntrax.wasm; do
  size=$(stat -c %s "build-web/page/$f")
  zsize=$(gzip -9 -c "build-web/page/$f" | wc -c)
  printf '%-14s %10d bytes  gzipped %10d\n' "$f" "$size" "$zsize"
  total=$((total + size))
  gz=$((gz + zsize))
done
printf '%-14s %10d bytes  gzipped %10d\n' "total" "$total" "$gz"
