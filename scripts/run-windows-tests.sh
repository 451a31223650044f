#!/usr/bin/env bash
# Configures, builds and tests the 32-bit Windows build; the tests run under
# Wine in a prefix of the build folder's own (made on first use).
#   scripts/run-windows-tests.sh [BUILD-FOLDER]      (default: build-win)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win}
jobs=${JOBS:-2}

# The Windows programs are tested on packages built by the Linux upgtool, as
# a publisher on Linux builds them.
cmake -S . -B build >/dev/null
cmake --build build --target upgtool -j"$jobs"

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"
