#!/usr/bin/env bash
# Installs what is missing, builds the web page, zyntrax.exe and every test (with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs them under a private
# Xvfb display, with Mesa's software renderer and no sound server (the browser
# tests load the page in headless Chromium and Firefox, the Windows tests run
# zyntrax.exe under Wine); then fuzzes each file loader for a
# minute, the Ogg Vorbis decoder for a million executions (tools/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test
# The web page (build-web/page) and the one with the browser tests' hooks (build-web/page-test).
bash tools/web.sh --build
# zyntrax.exe and the programs its Wine tests run (build-windows/exe).
bash tools/windows.sh
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZYNTRAX_SANITIZE=ON
cmake --build build-tests
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1920x1080x24 +extension GLX +render -noreset" \
  ctest --test-dir build-tests --output-on-failure -j2 "$@"
# Then the file loaders are fuzzed; a finding fails the script. Damaged Ogg
# chains reach libvorbisfile's faults only after many tries, so the Ogg Vorbis
# decoder runs until a million executions (a few minutes on two cores).
bash tools/fuzz.sh png 60
bash tools/fuzz.sh wave 60
bash tools/fuzz.sh vorbis 1800 -runs=1000000
