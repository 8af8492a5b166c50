#!/usr/bin/env bash
# Installs what is missing, builds Marvolt in Release mode and starts the editor.
#   ./run.sh [FILE]
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMARVOLT_TESTS=OFF -DMARVOLT_BENCH=OFF
cmake --build build-release -j "$(nproc)"

if [ -x build-release/app/marvolt ]; then
  exec build-release/app/marvolt "$@"
fi
echo "Marvolt's libraries are built, but the editor window is not there yet:"
echo "the application shell has not been written, so there is nothing to start."
