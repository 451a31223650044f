#!/usr/bin/env bash
# Benchmark, not a test: how fast `upgtool apply --yes` rebuilds a large
# file from an Update with scattered changes, plain and in the "[KVZ]"
# container, beside `cp` of the same new file on the same disk. Each figure
# is the best of RUNS runs and includes a final sync, so both sides count
# the writing to disk.
# usage: bench/apply.sh [SIZE_MB (default 256)] [RUNS (default 3)]
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-256}
runs=${2:-3}
build=${BUILD_DIR:-build-bench}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target upgtool make_bench_upgrade >/dev/null
upgtool=$build/tools/upgtool/upgtool
work=$(mktemp -d "${TMPDIR:-/tmp}/upgbench.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$build/bench/make_bench_upgrade" "$work" "$size_mb"
new_bytes=$(stat -c %s "$work/new/big.dat")
ls -l "$work"/*.upg | awk '{print "package", $NF, $5, "bytes"}'

now() { date +%s.%N; }

# Seconds for the best of $runs runs of "$@"; PREPARE runs untimed before each.
best_of() {
  local prepare=$1
  shift
  local best=""
  for _ in $(seq "$runs"); do
    eval "$prepare"
    sync
    local start end took
    start=$(now)
    "$@" >/dev/null
    sync
    end=$(now)
    took=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
    if [ -z "$best" ] || awk -v t="$took" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$took; fi
  done
  echo "$best"
}

fresh_target() {
  rm -rf "$work/target" "$work/copy.dat"
  mkdir "$work/target"
  cp -p "$work/old/big.dat" "$work/target/big.dat"
}

cp_seconds=$(best_of 'rm -f "$work/copy.dat"' cp "$work/new/big.dat" "$work/copy.dat")
printf '\n%-22s %10s %12s %10s\n' "what" "seconds" "MB/s" "x cp time"
report() {
  local rate ratio
  rate=$(awk -v n="$new_bytes" -v s="$2" 'BEGIN { print n / 1048576 / s }')
  ratio=$(awk -v s="$2" -v c="$cp_seconds" 'BEGIN { print s / c }')
  printf '%-22s %10.3f %12.1f %10.2f\n' "$1" "$2" "$rate" "$ratio"
}
report "cp" "$cp_seconds"
for kind in plain kvz; do
  seconds=$(best_of fresh_target "$upgtool" apply --yes "$work/$kind.upg" "$work/target")
  cmp "$work/target/big.dat" "$work/new/big.dat"
  report "upgtool apply ($kind)" "$seconds"
done
