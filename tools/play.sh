#!/usr/bin/env bash
# Installs what building and playing need (not the test tools), builds the
# show and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh play
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZYNTRAX_TESTS=OFF
cmake --build build --target zyntrax
exec ./build/zyntrax
