#!/usr/bin/env bash
# Configures, builds and tests the 32-bit Windows build; the tests run under
# Wine in a prefix of the build folder's own (made on first use).
#   scripts/run-windows-tests.sh [BUILD-FOLDER]      (default: build-win)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win}
jobs=${JOBS:-2}

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"
