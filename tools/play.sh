#!/usr/bin/env bash
# Installs what is missing, builds the show and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZYNTRAX_TESTS=OFF
cmake --build build --target zyntrax
exec ./build/zyntrax
