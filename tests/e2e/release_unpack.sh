#!/usr/bin/env bash
# Makes the release archive of a build with CPack, as the `package` target
# does, and unpacks it for the tests that run its programs. It must hold
# exactly the expected files beside its pictures, in one top folder.
#
#   release_unpack.sh CPACK BUILD_DIR OUT_DIR FILE...
#
# The programs end up in OUT_DIR/unpacked.
set -euo pipefail
cpack=$1
build=$(realpath "$2")
out=$3
shift 3
rm -rf "$out"
mkdir -p "$out/archive" "$out/unpacked"
out=$(realpath "$out")
(cd "$build" && "$cpack" -B "$out/archive" >/dev/null)
archives=("$out/archive"/upgapply-*.*)
[ ${#archives[@]} -eq 1 ] || { echo "FAIL: expected one archive, found: ${archives[*]}" >&2; exit 1; }
ls -l "${archives[0]}"
top=$(basename "${archives[0]}")
top=${top%.zip}
top=${top%.tar.gz}
mkdir -p "$out/extracted"
(cd "$out/extracted" && cmake -E tar xf "${archives[0]}")
[ "$(ls "$out/extracted")" = "$top" ] || { echo "FAIL: the archive's top folder is not $top" >&2; exit 1; }
found=$(cd "$out/extracted/$top" && find . -type f ! -path './docs/screenshots/*' | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "$@" | LC_ALL=C sort)
if [ "$found" != "$wanted" ]; then
  echo "FAIL: the archive holds:" $found "; expected:" $wanted >&2
  exit 1
fi
[ -n "$(ls "$out/extracted/$top/docs/screenshots")" ] || { echo "FAIL: the README's pictures are missing" >&2; exit 1; }
mv "$out/extracted/$top"/* "$out/unpacked/"
echo "release archive: $top holds $*"
