#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, writes their seeds with the project's builder,
# and runs each target for SECONDS (default 60). The corpora grow in
# BUILD_DIR/fuzz-work/corpus and are kept between runs; an input that
# breaks a promise is saved as BUILD_DIR/fuzz-work/artifacts/TARGET-*.
# Usage: run-fuzz.sh [SECONDS] [BUILD_DIR] [TARGET...]
#   TARGET: package_reader, apply_delta, apply (default: all three)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${2:-build-fuzz}
shift $(($# < 2 ? $# : 2))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(package_reader apply_delta apply)

CC=clang CXX=clang++ cmake -S . -B "$build" -DUPG_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target make_fuzz_seeds \
  "${targets[@]/#/fuzz_}"

work=$(realpath "$build")/fuzz-work
rm -rf "$work/seeds"
mkdir -p "$work/seeds" "$work/artifacts"
"$build/fuzz/make_fuzz_seeds" "$work/seeds"
# The targets write their files into a scratch folder of the current
# directory; in memory when the system offers it, since the whole apply
# writes a release for every input.
scratch_base=/dev/shm
[ -d "$scratch_base" ] && [ -w "$scratch_base" ] || scratch_base=$work
scratch=$(mktemp -d "$scratch_base/upg-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

status=0
for target in "${targets[@]}"; do
  echo "== fuzz_$target for ${seconds}s"
  mkdir -p "$work/corpus/$target"
  (cd "$scratch" &&
    "$work/../fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$work/artifacts/$target-" \
      "$work/corpus/$target" "$work/seeds/$target" 2>"$work/$target.log") || status=1
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)|^Done|==ERROR|broken promise' \
    "$work/$target.log" || true
  [ $status -eq 0 ] || { tail -40 "$work/$target.log"; break; }
done
exit $status
