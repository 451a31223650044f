#!/usr/bin/env bash
# Builds and runs every test: the Linux build, the same build under
# AddressSanitizer and UndefinedBehaviorSanitizer, a short run of each fuzz
# target, and the 32-bit Windows build under Wine. Installs what it needs
# first.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# Test programs print only what failed, so a failure stands out in a long log.
export GTEST_BRIEF=1

scripts/install-deps.sh all

echo "== Linux build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Linux build with sanitizers"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DUPG_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== Fuzz targets, a minute each"
JOBS="$jobs" scripts/run-fuzz.sh 60 build-fuzz

echo "== Windows build under Wine"
JOBS="$jobs" scripts/run-windows-tests.sh build-win
