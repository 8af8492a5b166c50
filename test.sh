#!/usr/bin/env bash
# Installs what is missing, builds Marvolt and runs the whole test suite.
#   ./test.sh             normal build in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
# Set MARVOLT_WERROR=ON to treat compiler warnings as errors (CI does).
set -euo pipefail
cd "$(dirname "$0")"

sanitize=OFF
build=build
for arg in "$@"; do
  case "$arg" in
    --sanitize) sanitize=ON; build=build-sanitize ;;
    *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
  esac
done

./scripts/install-deps

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMARVOLT_SANITIZE="$sanitize" \
  -DMARVOLT_WERROR="${MARVOLT_WERROR:-OFF}"
cmake --build "$build" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600
