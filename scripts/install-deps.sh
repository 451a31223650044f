#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and nothing
# when they are all there already. Usage: install-deps.sh [native|all]
#   native: the Linux build and its tests
#   all:    also the Windows cross build (python3 draws its pictures), Wine,
#           and the GUI test tools
set -euo pipefail

want=(g++ cmake make libgtest-dev googletest zlib1g-dev tmux)
# The fuzz targets: clang with its libFuzzer and sanitizer runtimes.
want+=(clang)
# The time-zone database, for upgtool --time-zone and its tests.
want+=(tzdata)
# The extended encoder's suffix sorter and the zopfli compressor of --best
# (the Windows cross build goes without both).
want+=(libdivsufsort-dev libzopfli-dev)
if [ "${1:-all}" = all ]; then
  want+=(g++-mingw-w64-i686 libz-mingw-w64-dev python3 wine wine32:i386 xvfb xauth xdotool imagemagick fonts-wine fonts-liberation)
fi
# Package signatures: libgcrypt, and for the Windows build its static mingw
# libraries.
want+=(libgcrypt20-dev)
if [ "${1:-all}" = all ]; then
  want+=(libgcrypt-mingw-w64-dev libgpg-error-mingw-w64-dev)
fi

missing=()
for package in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
