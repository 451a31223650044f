#!/usr/bin/env bash
# Benchmark of upgtool build and upgtool apply on a real pair of releases:
# two versions of one Debian package, fetched with apt-get download. It
# measures package size, build time and apply time beside xdelta3 -9 -S djw,
# bsdiff and zstd -19 --long=27 --patch-from, on one large binary and on the
# whole tree (the single-file tools in a shell loop over changed and added
# files). Not a test: it prints a table.
#
# usage: bench/build.sh [BUILD_DIR] [WORK_DIR]
#   BENCH_PACKAGE  the Debian package (default postgresql-15); the two newest
#                  versions that the configured archives offer are compared
#   BENCH_FILE     the large binary, relative to the package root (default:
#                  the largest file in both versions)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
work=${2:-${TMPDIR:-/tmp}/upg-bench}
upgtool=$build/tools/upgtool/upgtool
package=${BENCH_PACKAGE:-postgresql-15}

need=()
for tool in xdelta3 bsdiff zstd; do command -v "$tool" >/dev/null || need+=("$tool"); done
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi
[ -x "$upgtool" ] || { echo "build upgtool first: cmake --build $build" >&2; exit 1; }

mkdir -p "$work"
work=$(realpath "$work")
cd "$work"
mapfile -t versions < <(apt-cache madison "$package" | awk '{print $3}' | sort -uV | tail -2)
if [ ${#versions[@]} -lt 2 ]; then
  echo "$package: the archives offer only one version; set BENCH_PACKAGE" >&2
  exit 1
fi
for v in "${versions[@]}"; do
  ls "${package}_${v/:/%3a}"_*.deb >/dev/null 2>&1 || apt-get download -qq "$package=$v" 2>/dev/null
done
rm -rf old new
dpkg-deb -x "$(ls "${package}_${versions[0]/:/%3a}"_*.deb)" old
dpkg-deb -x "$(ls "${package}_${versions[1]/:/%3a}"_*.deb)" new

file=${BENCH_FILE:-$(cd new && find . -type f -printf '%s %P\n' | sort -n | while read -r size name; do
  [ -f "../old/$name" ] && echo "$name"; done | tail -1)}
rm -rf single && mkdir -p single/old single/new
cp -p "old/$file" single/old/ && cp -p "new/$file" single/new/
name=$(basename "$file")

now() { date +%s.%N; }
elapsed() { printf '%.2f' "$(echo "$(now) - $1" | bc)"; }
size() { stat -c %s "$1"; }
row() { printf '%-30s %12s %10s %10s\n' "$@"; }

# upgtool: build, then apply to a copy of the old folder and compare.
run_upgtool() { # label old new
  local label=$1 old=$2 new=$3 t
  rm -rf target pkg.upg && cp -a "$old" target
  t=$(now); "$upgtool" build "$old" "$new" -o pkg.upg >/dev/null 2>build.log; local b; b=$(elapsed "$t")
  t=$(now); "$upgtool" apply --yes pkg.upg target >/dev/null; local a; a=$(elapsed "$t")
  diff -r --no-dereference target "$new" >/dev/null 2>&1 || same_files target "$new" ||
    { echo "upgtool: $label: the applied folder differs" >&2; exit 1; }
  row "upgtool build $label" "$(size pkg.upg)" "$b" "$a"
}

# Regular files only: links are left out by design.
same_files() {
  (cd "$2" && find . -type f -print0) | while IFS= read -r -d '' f; do cmp -s "$1/$f" "$2/$f" || exit 1; done
}

# One file: encode, decode, compare. $1 label, then encode and decode
# commands as functions of old new patch result.
single_tool() {
  local label=$1 encode=$2 decode=$3 t
  rm -f patch rebuilt
  t=$(now); $encode single/old/"$name" single/new/"$name" patch; local b; b=$(elapsed "$t")
  t=$(now); $decode single/old/"$name" patch rebuilt; local a; a=$(elapsed "$t")
  cmp -s rebuilt single/new/"$name" || { echo "$label: wrong result" >&2; exit 1; }
  row "$label" "$(size patch)" "$b" "$a"
}

# -D -R: xdelta3 would otherwise unpack and repack .gz files on its own.
xd_enc() { xdelta3 -D -R -9 -S djw -e -f -s "$1" "$2" "$3"; }
xd_dec() { xdelta3 -D -R -d -f -s "$1" "$2" "$3"; }
bs_enc() { bsdiff "$1" "$2" "$3"; }
bs_dec() { bspatch "$1" "$3" "$2"; }
zs_enc() { zstd -q -q -f -19 --long=27 --patch-from="$1" "$2" -o "$3"; }
zs_dec() { zstd -q -q -f -d --long=27 --patch-from="$1" "$2" -o "$3"; }

# The whole tree with a single-file tool: one patch per changed or added
# file, applied by a loop again. An added file is encoded against a file of
# one byte, since bsdiff cannot read an empty one.
tree_tool() {
  local label=$1 encode=$2 decode=$3 t total=0
  rm -rf patches result && mkdir patches result && printf '\n' > empty
  mapfile -d '' files < <(cd new && find . -type f -print0 | sort -z)
  t=$(now)
  for f in "${files[@]}"; do
    local base=old/$f
    [ -f "$base" ] || base=empty
    cmp -s "$base" "new/$f" && continue
    mkdir -p "patches/$(dirname "$f")"
    $encode "$base" "new/$f" "patches/$f"
  done
  local b; b=$(elapsed "$t")
  total=$(find patches -type f -printf '%s\n' | awk '{s+=$1} END {print s+0}')
  cp -a old/. result/
  t=$(now)
  for f in "${files[@]}"; do
    [ -f "patches/$f" ] || continue
    local base=old/$f
    [ -f "$base" ] || base=empty
    mkdir -p "result/$(dirname "$f")"
    $decode "$base" "patches/$f" "result/$f.new" && mv "result/$f.new" "result/$f"
  done
  local a; a=$(elapsed "$t")
  same_files result new || { echo "$label: wrong tree" >&2; exit 1; }
  row "$label" "$total" "$b" "$a"
}

echo "$package ${versions[0]} -> ${versions[1]}"
echo
echo "Large binary: $file ($(size single/old/"$name") -> $(size single/new/"$name") bytes)"
row "" "package" "build s" "apply s"
run_upgtool "(one file)" single/old single/new
single_tool "xdelta3 -9 -S djw" xd_enc xd_dec
single_tool "bsdiff" bs_enc bs_dec
single_tool "zstd -19 --long=27 --patch-from" zs_enc zs_dec
echo
echo "Whole tree: $(find new -type f | wc -l) files, $(du -sb new | cut -f1) bytes"
row "" "package" "build s" "apply s"
run_upgtool "(tree)" old new
tree_tool "xdelta3 loop" xd_enc xd_dec
tree_tool "bsdiff loop" bs_enc bs_dec
tree_tool "zstd loop" zs_enc zs_dec
