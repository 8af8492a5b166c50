#!/usr/bin/env bash
# Installs what is missing, builds Marvolt in Release mode and starts the editor in the
# directory this script was run from, so that FILE is found as given and new files land
# there.
#   ./run.sh [FILE]
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"

"$repo/scripts/install-deps"
cmake -S "$repo" -B "$repo/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMARVOLT_TESTS=OFF -DMARVOLT_BENCH=OFF >/dev/null
cmake --build "$repo/build-release" -j "$(nproc)"

exec "$repo/build-release/app/marvolt" "$@"
