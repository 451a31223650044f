#!/bin/sh
# Configures, builds and tests the Windows build, the tests running under
# Wine in a prefix of the build folder's own:
#   tests/run_windows_tests.sh [BUILD-FOLDER]      (default: build-win)
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build-win}

cmake -S "$source_dir" -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake"
cmake --build "$build_dir" -j2
ctest --test-dir "$build_dir" -j2 --output-on-failure
