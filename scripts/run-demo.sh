#!/usr/bin/env bash
# Builds the project and runs it on the bundled demo package.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh native
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
build/tools/upgtool/upgtool list build/demo/demo.upg
