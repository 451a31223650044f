#!/usr/bin/env bash
# Benchmark, not a test: how `upgtool apply` compares with the fastest patch
# tools on real releases, all measured in one run on one machine.
#
# One large file (libmergedlo.so of libreoffice-core 4:7.4.7-1+deb12u13 to
# deb12u14): upgtool apply --yes, xdelta3 -d, zstd -d --patch-from, bspatch
# and cp of the new file, each from a fresh copy of the old file; then a
# whole tree (postgresql-15 15.18-0+deb12u1 to 15.20-0+deb12u1) against
# cp -a of the new tree; then upgtool stamp of a 1 GiB file from the page
# cache, and one pause of the engine on the console (bench/console_pause.cpp). Each figure is the median of RUNS timed runs (hyperfine) after one
# warm-up; the peak memory (GNU time, %M) and the system calls (strace -c -f)
# come from one more run each. Ratios are to zstd and to cp.
#
# usage: bench/apply-real.sh [WORK_DIR]
#   UPG_BENCH_DEBS        a folder that already holds the pinned .deb files;
#                         they are checked like downloaded ones
#   BUILD_DIR             the Release build to use (default build-bench)
#   RUNS                  timed runs per figure (default 5)
#   UPG_BENCH_WINE_BUILD  a Windows build folder: its upgtool.exe applies the
#                         single-file package under Wine as well
set -euo pipefail
cd "$(dirname "$0")/.."
work=${1:-${TMPDIR:-/tmp}/upg-apply-real}
runs=${RUNS:-5}
build=${BUILD_DIR:-build-bench}
wine_exe=
if [ -n "${UPG_BENCH_WINE_BUILD:-}" ]; then
  wine_exe=$(realpath "$UPG_BENCH_WINE_BUILD")/tools/upgtool/upgtool.exe
  [ -f "$wine_exe" ] || { echo "$wine_exe is missing: build $UPG_BENCH_WINE_BUILD first" >&2; exit 1; }
fi

# package version sha256 of the .deb
pins=(
  "libreoffice-core 4:7.4.7-1+deb12u13 0ac9ac28fd30b566f7ee1ffbfcf566ca86baa6147ff23c5c16d2df8252516a45"
  "libreoffice-core 4:7.4.7-1+deb12u14 0f0bb000da8520b3b9a064e51c1c876e3aef56c9152078b5766685c812111267"
  "postgresql-15 15.18-0+deb12u1 6974c43ddec4f383d099e7d642cd59d0af83c2c90c0fb153a4179aa1bb4d73c1"
  "postgresql-15 15.20-0+deb12u1 8566850f295c2cb5034ff5dd5b40caf97eea81b75a841c8d1f691c05ab8815db"
)
single_file=usr/lib/libreoffice/program/libmergedlo.so

need=()
for tool in hyperfine xdelta3 bsdiff zstd strace; do command -v "$tool" >/dev/null || need+=("$tool"); done
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target upgtool console_pause >/dev/null
upgtool=$(realpath "$build/tools/upgtool/upgtool")
console_pause=$(realpath "$build/bench/console_pause")

mkdir -p "$work/debs" "$work/x"
work=$(realpath "$work")
cd "$work"

# The .deb of one pin, from the cache folder, from an earlier run or from the
# archive, checked against its sha256. Prints its path.
fetch() {
  local package=$1 version=$2 sum=$3 file folder
  file="${package}_${version/:/%3a}_amd64.deb"
  for folder in "${UPG_BENCH_DEBS:-}" "$work/debs"; do
    if [ -n "$folder" ] && [ -f "$folder/$file" ]; then
      echo "$folder/$file"
      return
    fi
  done
  if ! (cd "$work/debs" && apt-get download -qq "$package=$version" >/dev/null 2>&1); then
    {
      echo "$package $version cannot be downloaded: the configured archives no longer"
      echo "offer it (apt-cache policy $package lists what they have). Put $file"
      echo "into a folder and name it in UPG_BENCH_DEBS."
    } >&2
    exit 1
  fi
  echo "$work/debs/$file"
}

declare -A tree
for pin in "${pins[@]}"; do
  read -r package version sum <<<"$pin"
  deb=$(fetch "$package" "$version" "$sum")
  if [ "$(sha256sum "$deb" | cut -d' ' -f1)" != "$sum" ]; then
    echo "$deb: sha256 differs from the pinned $sum" >&2
    exit 1
  fi
  folder="$work/x/${package}_$version"
  if [ ! -e "$folder/.done" ]; then
    rm -rf "$folder" && mkdir -p "$folder"
    dpkg-deb -x "$deb" "$folder"
    touch "$folder/.done"
  fi
  tree["$package $version"]=$folder
done
lo_old=${tree["libreoffice-core 4:7.4.7-1+deb12u13"]}
lo_new=${tree["libreoffice-core 4:7.4.7-1+deb12u14"]}
pg_old=${tree["postgresql-15 15.18-0+deb12u1"]}
pg_new=${tree["postgresql-15 15.20-0+deb12u1"]}

name=$(basename "$single_file")
rm -rf single && mkdir -p single/old single/new
cp -p "$lo_old/$single_file" single/old/
cp -p "$lo_new/$single_file" single/new/
old=single/old/$name
new=single/new/$name

echo "building the packages and the patches of the other tools..."
"$upgtool" build single/old single/new -o single.upg >/dev/null
"$upgtool" build "$pg_old" "$pg_new" -o tree.upg >/dev/null 2>tree-build.log
xdelta3 -D -R -9 -S djw -e -f -s "$old" "$new" single.xdelta
zstd -q -q -f -19 --long=27 --patch-from="$old" "$new" -o single.zst
[ single.bsdiff -nt "$new" ] || bsdiff "$old" "$new" single.bsdiff

# hyperfine's median of "$@" after PREPARE, in seconds.
median() {
  local prepare=$1
  shift
  # Without a shell for the timed command; the preparation needs one.
  hyperfine -N --style none --warmup 1 --runs "$runs" --prepare "bash -c '$prepare'" \
    --export-csv timing.csv "$*" >/dev/null 2>>hyperfine-warnings.txt
  awk -F, 'NR == 2 { print $4 }' timing.csv
}
# Peak resident memory of one run, in MB.
peak() {
  local prepare=$1
  shift
  bash -c "$prepare"
  /usr/bin/time -f %M -o peak.txt "$@" >/dev/null 2>&1
  awk '{ printf "%.1f", $1 / 1024 }' peak.txt
}
# System calls of one run, children included (a 32-bit program under Wine
# gets a table per mode: they are added).
calls() {
  local prepare=$1
  shift
  bash -c "$prepare"
  strace -f -c -o calls.txt "$@" >/dev/null 2>&1
  awk '$NF == "total" { n += $4 } END { print n }' calls.txt
}

declare -A seconds
row() { # label seconds peak calls reference-for-ratio
  local label=$1 s=$2 mb=$3 n=$4
  local to_zstd to_cp
  to_zstd=$(awk -v s="$s" -v z="${seconds[zstd]:-0}" 'BEGIN { if (z > 0) printf "%.2f", s / z; else print "-" }')
  to_cp=$(awk -v s="$s" -v c="${seconds[cp]:-0}" 'BEGIN { if (c > 0) printf "%.2f", s / c; else print "-" }')
  printf '%-36s %9.3f %9s %11s %8s %8s\n' "$label" "$s" "$mb" "$n" "$to_zstd" "$to_cp"
}
header() { printf '%-36s %9s %9s %11s %8s %8s\n' "$1" "median s" "peak MB" "syscalls" "x zstd" "x cp"; }

fresh='rm -rf t && mkdir t && cp -p '"$old"' t/'
measure() { # key label command...
  local key=$1 label=$2
  shift 2
  seconds[$key]=$(median "$fresh" "$@")
  local mb n
  mb=$(peak "$fresh" "$@")
  n=$(calls "$fresh" "$@")
  printf '%s|%s|%s|%s\n' "$label" "${seconds[$key]}" "$mb" "$n" >>rows.txt
}

rm -f rows.txt hyperfine-warnings.txt
measure zstd "zstd -d --patch-from --long=27" zstd -q -f -d --long=27 --patch-from="t/$name" single.zst -o t/out
cmp t/out "$new"
measure cp "cp (the new file)" cp "$new" t/out
measure upgtool "upgtool apply --yes" "$upgtool" apply --yes single.upg t
cmp "t/$name" "$new"
measure xdelta3 "xdelta3 -d" xdelta3 -D -R -d -f -s "t/$name" single.xdelta t/out
cmp t/out "$new"
measure bspatch "bspatch" bspatch "t/$name" t/out single.bsdiff
cmp t/out "$new"
if [ -n "$wine_exe" ]; then
  export WINEPREFIX=$work/wine-prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -e "$WINEPREFIX/.made" ] || { wineboot -i >/dev/null 2>&1; touch "$WINEPREFIX/.made"; }
  wineserver -p 2>/dev/null || true
  measure wine "upgtool.exe apply --yes (Wine)" wine "$wine_exe" apply --yes single.upg t
  cmp "t/$name" "$new"
fi

echo
echo "libreoffice-core 4:7.4.7-1+deb12u13 -> deb12u14, $single_file:"
echo "$(stat -c %s "$old") -> $(stat -c %s "$new") bytes; package $(stat -c %s single.upg) bytes," \
  "xdelta3 $(stat -c %s single.xdelta), zstd $(stat -c %s single.zst), bsdiff $(stat -c %s single.bsdiff)"
header "apply"
while IFS='|' read -r label s mb n; do row "$label" "$s" "$mb" "$n"; done <rows.txt

# The tree, against cp -a of the new tree.
fresh_tree='rm -rf tt && cp -a '"$pg_old"' tt'
seconds[cp]=$(median 'rm -rf tt' cp -a "$pg_new" tt)
cp_mb=$(peak 'rm -rf tt' cp -a "$pg_new" tt)
cp_n=$(calls 'rm -rf tt' cp -a "$pg_new" tt)
# An apply replaces files, and freeing the old ones' blocks costs what the
# file system makes it cost (with the discard mount option, a wait for the
# device at every unlink); cp -a into a fresh folder frees nothing. The
# same copy over the removed old tree shows that share.
replace_s=$(median "$fresh_tree" "bash -c 'rm -rf tt && cp -a $pg_new tt'")
tree_s=$(median "$fresh_tree" "$upgtool" apply --yes tree.upg tt)
tree_mb=$(peak "$fresh_tree" "$upgtool" apply --yes tree.upg tt)
tree_n=$(calls "$fresh_tree" "$upgtool" apply --yes tree.upg tt)
# Links are left out of packages; every regular file must be the new one.
(cd "$pg_new" && find . -type f -print0) | while IFS= read -r -d '' f; do
  cmp -s "tt/$f" "$pg_new/$f" || { echo "tree: $f differs" >&2; exit 1; }
done
echo
echo "postgresql-15 15.18-0+deb12u1 -> 15.20-0+deb12u1: $(find "$pg_new" -type f | wc -l) files," \
  "$(du -sb "$pg_new" | cut -f1) bytes; package $(stat -c %s tree.upg) bytes"
header "apply"
unset 'seconds[zstd]'
row "upgtool apply --yes (tree)" "$tree_s" "$tree_mb" "$tree_n"
row "cp -a (the new tree)" "${seconds[cp]}" "$cp_mb" "$cp_n"
row "rm -rf of the old tree, then cp -a" "$replace_s" "-" "-"

# upgtool stamp of 1 GiB that is already in the page cache.
[ -f stamp-1g.bin ] || head -c 1073741824 /dev/urandom >stamp-1g.bin
cat stamp-1g.bin >/dev/null
stamp_s=$(median 'true' "$upgtool" stamp stamp-1g.bin)
stamp_mb=$(peak 'true' "$upgtool" stamp stamp-1g.bin)
echo
awk -v s="$stamp_s" -v mb="$stamp_mb" \
  'BEGIN { printf "upgtool stamp, 1 GiB from the page cache: %.3f s, %.2f GB/s, peak %s MB\n", s, 1.073741824 / s, mb }'
"$console_pause"
