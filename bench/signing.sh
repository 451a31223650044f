#!/usr/bin/env bash
# Benchmark, not a test: what checking the publisher's signature adds to an
# apply, on the real pair of libmergedlo.so from two libreoffice-core
# releases (69 MB each, a 13 MB "[KVZ]" package). hyperfine times
# `upgtool apply --yes` without and with `--key` (the check before the run
# and the digest of every byte the installation reads, compared before the
# commit), median of RUNS runs each, a fresh copy of the old file before
# every run; the plain package shows the per-byte path. The digest alone is
# shown beside sha512sum of the same file.
#
# usage: bench/signing.sh [BUILD_DIR (default build-bench)] [RUNS (default 5)]
#   UPG_BENCH_DEBS  folder with the two .deb files; what is missing there is
#                   fetched with apt-get download
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
runs=${2:-5}
package=libreoffice-core
versions=("4:7.4.7-1+deb12u13" "4:7.4.7-1+deb12u14")
member=./usr/lib/libreoffice/program/libmergedlo.so

command -v hyperfine >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq hyperfine >/dev/null
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target upgtool >/dev/null
upgtool=$(realpath "$build/tools/upgtool/upgtool")
work=$(mktemp -d "${TMPDIR:-/tmp}/upgsign.XXXXXX")
trap 'rm -rf "$work"' EXIT
debs=${UPG_BENCH_DEBS:-$work/debs}
mkdir -p "$debs"

side=(old new)
for i in 0 1; do
  v=${versions[$i]}
  deb=$(ls "$debs/${package}_${v/:/%3a}"_*.deb 2>/dev/null | head -1 || true)
  if [ -z "$deb" ]; then
    (cd "$debs" && apt-get download -qq "$package=$v")
    deb=$(ls "$debs/${package}_${v/:/%3a}"_*.deb | head -1)
  fi
  mkdir -p "$work/${side[$i]}"
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$work/${side[$i]}" "$member"
  mv "$work/${side[$i]}/$member" "$work/${side[$i]}/libmergedlo.so"
  rm -rf "$work/${side[$i]}/usr"
done

cd "$work"
"$upgtool" keygen -o publisher >/dev/null
for kind in kvz plain; do
  flag=()
  [ $kind = plain ] && flag=(--plain)
  "$upgtool" build "${flag[@]}" --sign publisher old new -o $kind.upg >/dev/null
  ls -l $kind.upg | awk '{print "package", $NF, $5, "bytes"}'
done

for kind in kvz plain; do
  hyperfine --style basic --runs "$runs" --export-json $kind.json \
    --prepare 'rm -rf target && cp -a old target && sync' \
    -n "apply $kind" "$upgtool apply --yes $kind.upg target" \
    -n "apply $kind --key" "$upgtool apply --yes --key publisher.pub $kind.upg target"
  cmp target/libmergedlo.so new/libmergedlo.so
  python3 - "$kind.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
plain, keyed = (r["median"] for r in results)
print(f"median without key {plain:.3f} s, with key {keyed:.3f} s: "
      f"{100 * (keyed - plain) / plain:+.1f}%")
PY
done

hyperfine --style basic --runs "$runs" -n "upgtool verify (kvz)" \
  "$upgtool verify --key publisher.pub kvz.upg" -n "sha512sum (kvz)" "sha512sum kvz.upg"
