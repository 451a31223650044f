#!/usr/bin/env bash
# Packages built on Linux apply alike everywhere, run from an unpacked
# release: names with é, ü, ß and € (code page 1252) are created as the same
# names, and stamps built for the users' time zone match there.
#
#   build_anywhere_test.sh UPGTOOL RELEASE_FOLDER [WINE_RUN WINE_PREFIX]
#
# UPGTOOL is the Linux upgtool that builds the packages. RELEASE_FOLDER holds
# the programs under test: upgapply and upgtool, or upgapply.exe and
# upgtool.exe, which run under Wine through WINE_RUN in WINE_PREFIX. Exits
# 77 (skipped) when UPGTOOL is missing.
set -uo pipefail
. "$(dirname "$0")/checks.sh"
builder=$1
release=$(realpath "$2")
wine_run=${3:-}
wine_prefix=${4:-}
[ -x "$builder" ] || { echo "no Linux upgtool at $builder: skipped"; exit 77; }
builder=$(realpath "$builder")
new_work build-anywhere
cd "$work"

# The upgtool under test, with its arguments; sets $out and $status.
run_tool() {
  if [ -n "$wine_run" ]; then
    out=$("$wine_run" "$wine_prefix" "$release/upgtool.exe" "$@" 2>&1)
  else
    out=$("$release/upgtool" "$@" 2>&1)
  fi
  status=$?
}

build() {
  out=$("$builder" build "$@" 2>&1)
  status=$?
}

# Every name below a folder as the system lists it.
names() { (cd "$1" && find . | LC_ALL=C sort); }

same_release() {
  [ "$(names "$1")" = "$(names "$2")" ] || fail "$3: the names differ: $(diff <(names "$1") <(names "$2") | tr '\n' ' ')"
  diff -r "$1" "$2" >/dev/null || fail "$3: the contents differ"
}

# --- Names and a title in code page 1252 ------------------------------------

title='Café für Straße: 5 €'
mkdir -p old/über new/über
printf 'old\n' >old/café.txt
printf 'new\n' >new/café.txt
printf 'same\n' >old/über/Größe.txt
cp -p old/über/Größe.txt new/über/Größe.txt
printf 'added\n' >'new/über/Maß 5 €.txt'
printf 'Schöne Grüße\n' >notes.txt
build --plain --title "$title" --description-file notes.txt old new -o names-é.upg
[ $status -eq 0 ] || fail "the package with names in code page 1252 was not built"
LC_ALL=C grep -qa $'caf\xe9\\.txt' names-é.upg || fail "the package does not hold café.txt with é as the byte 0xE9"

rm -rf site-é && cp -a old site-é
run_tool apply --yes names-é.upg site-é
[ $status -eq 0 ] || fail "upgtool apply of the names exited $status"
same_release site-é new "upgtool apply"

if [ -z "$wine_run" ]; then
  # The console program, browsing to a folder it is told in UTF-8.
  rm -rf site-é && cp -a old site-é
  out=$(printf 'n\nr\n%s\nn\n' "$work/site-é" | "$release/upgapply" names-é.upg 2>&1)
  status=$?
  [ $status -eq 0 ] || fail "upgapply exited $status"
  grep -qF "Title: $title" <<<"$out" || fail "upgapply did not show the title in UTF-8"
  grep -qx 'Schöne Grüße' <<<"$out" || fail "upgapply did not show the description in UTF-8"
  grep -qF "Add über\\Maß 5 €.txt" <<<"$out" || fail "upgapply did not show the names in UTF-8"
  same_release site-é new "upgapply"

  build --title 'Snow ☃' old new -o snow.upg
  [ $status -eq 2 ] || fail "a title outside code page 1252 exited $status"
  grep -qF '"Snow ☃" cannot be written in code page 1252' <<<"$out" || fail "the title's refusal was not explained"
  [ ! -e snow.upg ] || fail "a package was written with a title outside the code page"

  # Another code page, chosen by the publisher for the build and the list.
  mkdir -p empty cyrillic
  printf 'x\n' >cyrillic/Привет.txt
  build --codepage 1251 empty cyrillic -o cyrillic.upg
  [ $status -eq 0 ] || fail "the package in code page 1251 was not built"
  out=$("$release/upgtool" list --codepage 1251 cyrillic.upg)
  grep -qx '    File:        Привет.txt' <<<"$out" || fail "the name in code page 1251 did not come back"
else
  # The Windows programs name files in the system's code page, and take no other.
  run_tool build --codepage 1251 old new -o cyrillic.upg
  [ $status -eq 2 ] || fail "upgtool.exe took code page 1251 on a system whose code page is 1252"
  run_tool build --time-zone America/New_York old new -o zoned.upg
  [ $status -eq 2 ] || fail "upgtool.exe took a time zone it has no database for"
fi

# --- Stamps for the users' time zone ----------------------------------------

# A release with files dated in summer and in winter: built on a machine in
# UTC, applied in New York, where only the offset in force counts.
mkdir -p zold znew
printf 'summer\n' >zold/summer.txt
printf 'winter\n' >zold/winter.txt
printf 'version 1\n' >zold/changed.txt
touch -d '2024-07-15 12:00:00 UTC' zold/summer.txt zold/changed.txt
touch -d '2024-01-15 12:00:00 UTC' zold/winter.txt
cp -p zold/summer.txt zold/winter.txt znew/
printf 'version 2\n' >znew/changed.txt
export TZ=UTC
build --verify-unchanged --time-zone America/New_York zold znew -o zoned.upg
[ $status -eq 0 ] || fail "the package for New York was not built"
build --verify-unchanged zold znew -o utc.upg
[ $status -eq 0 ] || fail "the package without a zone was not built"
build --time-zone Mars/Olympus_Mons zold znew -o mars.upg
[ $status -eq 2 ] && grep -qF "time zone Mars/Olympus_Mons is not in the time-zone database" <<<"$out" ||
  fail "an unknown time zone was not refused"

export TZ=America/New_York
rm -rf zsite && cp -a zold zsite
run_tool apply --no zoned.upg zsite
[ $status -eq 0 ] || fail "the package built for New York did not apply there without a question (exit $status)"
grep -q '^\[y/n\]' <<<"$out" && fail "the package built for New York asked a question"
diff -r zsite znew >/dev/null || fail "the package built for New York did not bring the new release"

# The reason for the option: without it every unchanged file's time differs.
rm -rf zsite && cp -a zold zsite
run_tool apply --no utc.upg zsite
[ $status -eq 1 ] || fail "the package built in UTC applied in New York without a question (exit $status)"
grep -qF "time or date stamp does not match" <<<"$out" || fail "no time difference was reported"
diff -r zsite zold >/dev/null || fail "the refused upgrade changed files"

finish "build anywhere, apply anywhere"
