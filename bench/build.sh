#!/usr/bin/env bash
# Benchmark of upgtool build and upgtool apply on real pairs of releases,
# beside xdelta3 -9 -S djw, bsdiff and zstd -19 --long=27 --patch-from:
#
#   one large program  libmergedlo.so of libreoffice-core 4:7.4.7-1+deb12u13
#                      and +deb12u14 (69.5 MB, code that moved)
#   a whole tree       postgresql-15 15.18-0+deb12u1 and 15.20-0+deb12u1 (the
#                      single-file tools in a shell loop over changed and
#                      added files)
#
# For each maker: the package or patch bytes, the build's time and peak
# memory (the largest of one process), and the time to apply it. upgtool
# builds four ways: classic, --best, --extended and --extended --best. Not
# a test: it prints a table.
#
# usage: bench/build.sh [BUILD_DIR] [WORK_DIR]
#   UPG_BENCH_DEBS  a folder that may already hold the four .deb files (as
#               apt-get download names them); what it lacks is downloaded
#               into WORK_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
work=${2:-${TMPDIR:-/tmp}/upg-bench}
upgtool=$build/tools/upgtool/upgtool
debs=${UPG_BENCH_DEBS:-}

need=()
for tool in xdelta3 bsdiff zstd bc; do command -v "$tool" >/dev/null || need+=("$tool"); done
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi
[ -x "$upgtool" ] || { echo "build upgtool first: cmake --build $build" >&2; exit 1; }

mkdir -p "$work"
work=$(realpath "$work")
cd "$work"

# The .deb of PACKAGE=VERSION: from UPG_BENCH_DEBS, else downloaded here.
fetch() {
  local package=$1 version=$2 name
  name="${package}_${version/:/%3a}_amd64.deb"
  if [ -n "$debs" ] && [ -f "$debs/$name" ]; then
    echo "$debs/$name"
    return
  fi
  [ -f "$name" ] || apt-get download -qq "$package=$version" >/dev/null 2>&1 ||
    { echo "cannot fetch $package=$version; set UPG_BENCH_DEBS to a folder that holds $name" >&2; exit 1; }
  echo "$work/$name"
}

# unpack PACKAGE OLD_VERSION NEW_VERSION INTO: INTO/old and INTO/new.
unpack() {
  local old new
  old=$(fetch "$1" "$2")
  new=$(fetch "$1" "$3")
  rm -rf "$4" && mkdir -p "$4"
  dpkg-deb -x "$old" "$4/old"
  dpkg-deb -x "$new" "$4/new"
}

size() { stat -c %s "$1"; }
row() { printf '%-34s %12s %9s %10s %9s\n' "$@"; }
header() { row "" "bytes" "build s" "build MB" "apply s"; }

# Runs a command under GNU time; adds its seconds to $took and keeps the
# largest resident size in $peak (kB).
took=0
peak=0
timed() {
  /usr/bin/time -f '%e %M' -o "$work/time.out" "$@"
  local seconds kb
  read -r seconds kb <"$work/time.out"
  took=$(echo "$took + $seconds" | bc)
  [ "$kb" -le "$peak" ] || peak=$kb
}
start_clock() { took=0; peak=0; }
megabytes() { echo $(($1 / 1024)); }

# Regular files only: links are left out by design.
same_files() {
  (cd "$2" && find . -type f -print0) | while IFS= read -r -d '' f; do cmp -s "$1/$f" "$2/$f" || exit 1; done
}

# upgtool LABEL OLD NEW OPTIONS...: build, apply to a copy of OLD, compare.
run_upgtool() {
  local label=$1 old=$2 new=$3 build_s build_kb
  shift 3
  rm -rf target pkg.upg && cp -a "$old" target
  start_clock
  timed "$upgtool" build "$@" "$old" "$new" -o pkg.upg >/dev/null 2>build.log
  build_s=$took build_kb=$peak
  start_clock
  timed "$upgtool" apply --yes pkg.upg target >/dev/null
  same_files target "$new" || { echo "upgtool $label: the applied folder differs" >&2; exit 1; }
  row "upgtool build $label" "$(size pkg.upg)" "$build_s" "$(megabytes "$build_kb")" "$took"
}

upgtool_rows() {
  run_upgtool "" "$@"
  run_upgtool "--best" "$@" --best
  run_upgtool "--extended" "$@" --extended
  run_upgtool "--extended --best" "$@" --extended --best
}

# Each timed: OLD NEW PATCH to encode, OLD PATCH RESULT to decode. -D -R:
# xdelta3 would otherwise unpack and repack .gz files on its own.
xd_enc() { timed xdelta3 -D -R -9 -S djw -e -f -s "$1" "$2" "$3"; }
xd_dec() { timed xdelta3 -D -R -d -f -s "$1" "$2" "$3"; }
bs_enc() { timed bsdiff "$1" "$2" "$3"; }
bs_dec() { timed bspatch "$1" "$3" "$2"; }
zs_enc() { timed zstd -q -q -f -19 --long=27 --patch-from="$1" "$2" -o "$3"; }
zs_dec() { timed zstd -q -q -f -d --long=27 --patch-from="$1" "$2" -o "$3"; }

# One file: LABEL ENCODE DECODE OLD NEW.
single_tool() {
  local label=$1 encode=$2 decode=$3 old=$4 new=$5 build_s build_kb
  rm -f patch rebuilt
  start_clock
  "$encode" "$old" "$new" patch
  build_s=$took build_kb=$peak
  start_clock
  "$decode" "$old" patch rebuilt
  cmp -s rebuilt "$new" || { echo "$label: wrong result" >&2; exit 1; }
  row "$label" "$(size patch)" "$build_s" "$(megabytes "$build_kb")" "$took"
}

# The whole tree with a single-file tool: one patch per changed or added
# file, applied by a loop again. An added file is encoded against a file of
# one byte, since bsdiff cannot read an empty one.
tree_tool() {
  local label=$1 encode=$2 decode=$3 old=$4 new=$5 build_s build_kb total
  rm -rf patches result && mkdir patches result && printf '\n' >empty
  mapfile -d '' files < <(cd "$new" && find . -type f -print0 | sort -z)
  start_clock
  for f in "${files[@]}"; do
    local base=$old/$f
    [ -f "$base" ] || base=empty
    cmp -s "$base" "$new/$f" && continue
    mkdir -p "patches/$(dirname "$f")"
    "$encode" "$base" "$new/$f" "patches/$f"
  done
  build_s=$took build_kb=$peak
  total=$(find patches -type f -printf '%s\n' | awk '{s+=$1} END {print s+0}')
  cp -a "$old/." result/
  start_clock
  for f in "${files[@]}"; do
    [ -f "patches/$f" ] || continue
    local base=$old/$f
    [ -f "$base" ] || base=empty
    mkdir -p "result/$(dirname "$f")"
    "$decode" "$base" "patches/$f" "result/$f.new"
    mv "result/$f.new" "result/$f"
  done
  same_files result "$new" || { echo "$label: wrong tree" >&2; exit 1; }
  row "$label" "$total" "$build_s" "$(megabytes "$build_kb")" "$took"
}

unpack libreoffice-core 4:7.4.7-1+deb12u13 4:7.4.7-1+deb12u14 lo
program=usr/lib/libreoffice/program/libmergedlo.so
rm -rf single && mkdir -p single/old single/new
cp -p "lo/old/$program" single/old/ && cp -p "lo/new/$program" single/new/
name=$(basename "$program")
echo "libreoffice-core 4:7.4.7-1+deb12u13 -> +deb12u14: $name" \
  "($(size single/old/"$name") -> $(size single/new/"$name") bytes)"
header
upgtool_rows single/old single/new
single_tool "xdelta3 -9 -S djw" xd_enc xd_dec single/old/"$name" single/new/"$name"
single_tool "bsdiff" bs_enc bs_dec single/old/"$name" single/new/"$name"
single_tool "zstd -19 --long=27 --patch-from" zs_enc zs_dec single/old/"$name" single/new/"$name"

unpack postgresql-15 15.18-0+deb12u1 15.20-0+deb12u1 pg
echo
echo "postgresql-15 15.18-0+deb12u1 -> 15.20-0+deb12u1, whole tree:" \
  "$(find pg/new -type f | wc -l) files, $(du -sb pg/new | cut -f1) bytes"
header
upgtool_rows pg/old pg/new
tree_tool "xdelta3 loop" xd_enc xd_dec pg/old pg/new
tree_tool "bsdiff loop" bs_enc bs_dec pg/old pg/new
tree_tool "zstd loop" zs_enc zs_dec pg/old pg/new
