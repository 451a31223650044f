#!/bin/sh
# Runs a Windows console program under Wine:
#   wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
# PREFIX is a Wine prefix of its own (one per build folder), made on first
# use. Making a prefix takes several seconds, and test programs start in
# parallel, so the first caller makes it under a lock while the others wait.
set -eu

prefix=$1
shift

export WINEPREFIX="$prefix"
export WINEARCH=win32
export WINEDEBUG=-all
# Wine takes the ANSI code page from the locale, and the encoding of Linux
# file names from the C library's locale, which must exist: C.UTF-8 is
# always there, and gives code page 1252 and UTF-8 names.
export LC_ALL=C.UTF-8
# No prompts for the Mono and Gecko add-ons: nobody is there to answer.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -e "$prefix/.made" ]; then
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -e "$prefix/.made" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 9>&-
    touch "$prefix/.made"
  fi
  flock -u 9
  exec 9>&-
fi

# The first program of a session starts the Wine server and its services in
# the background, and they inherit the program's output. A caller that reads
# the output to its end (CTest does) would wait for them to go, seconds
# after the program ended, so the program writes to a file that is passed on.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
wine "$@" >"$output" 2>&1 || status=$?
cat "$output"
exit "$status"
