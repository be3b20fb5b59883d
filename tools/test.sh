#!/usr/bin/env bash
# Installs what is missing, builds every test (with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs them under a private Xvfb display, with
# Mesa's software renderer and no sound server; then fuzzes each file loader for
# a minute (tools/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZYNTRAX_SANITIZE=ON
cmake --build build-tests
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1920x1080x24 +extension GLX +render -noreset" \
  ctest --test-dir build-tests --output-on-failure -j2 "$@"
# Then each file loader gets a minute of fuzzing; a finding fails the script.
bash tools/fuzz.sh all 60
