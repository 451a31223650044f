#!/usr/bin/env bash
# Drives the console applicator through standard input, as a script or a
# person at a terminal would, and checks what it prints, its exit status and
# the target folder. Usage: upgapply_console_test.sh UPGAPPLY DEMO_FOLDER
#
# Every run browses to its own scratch copy of release 1 (the search walks
# the whole disk and could find any copy), and runs with a scratch folder as
# its current directory, which stands in for the Windows folder.
set -u
upgapply=$(realpath "$1")
demo=$(realpath "$2")
make_lenient=$(realpath "$3")
work=$(mktemp -d "${TMPDIR:-/tmp}/upgapply-e2e.XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
passed=0
failed=0

fail() {
  echo "FAIL: $case_name: $*"
  [ -n "${VERBOSE:-}" ] && printf "%s\n" "$out" | tail -25
  failed=$((failed + 1))
}
pass() { passed=$((passed + 1)); }

# A fresh copy of release 1, times kept.
new_target() {
  target="$work/$1"
  rm -rf "$target"
  cp -a "$demo/release1" "$target"
}

# run NAME INPUT [ARGS...]: runs $program (upgapply unless set) with INPUT
# on standard input.
run() {
  case_name=$1
  local input=$2
  shift 2
  mkdir -p "$work/cwd"
  out=$(cd "$work/cwd" && printf '%b' "$input" | "${program:-$upgapply}" "$@" 2>&1)
  status=$?
}

expect_status() { [ "$status" -eq "$1" ] || fail "exit status $status, wanted $1"; }
expect_text() { grep -qF -- "$1" <<<"$out" || fail "missing text: $1"; }
expect_no_text() { ! grep -qF -- "$1" <<<"$out" || fail "unexpected text: $1"; }
expect_count() {
  local n
  n=$(grep -cF -- "$1" <<<"$out")
  [ "$n" -eq "$2" ] || fail "'$1' printed $n times, wanted $2"
}
expect_release() { diff -r "$target" "$demo/$1" >/dev/null || fail "target differs from $1"; }
finish_case() { [ "$failed" -eq "$failed_before" ] && pass; }

# browse answers for page 2: Browse, the folder, then the page's answer.
browse_to() { printf 'r\\n%s\\n' "$1"; }

# A package of its own: the applicator holds its package for exclusive use,
# and other tests may be running on the demo's at the same time.
package="$work/demo.upg"
cp "$demo/demo.upg" "$package"

failed_before=$failed; new_target applied
run applied "n\n$(browse_to "$target")n\n" "$package"
expect_status 0
expect_text "Karvell Upgrade Applicator"
expect_text "Title: Karvell Demo Suite 2.0"
expect_text "Upgrade Processing"
expect_text "[All Finished]"
expect_text "The upgrade has been applied."
expect_release release2
# Every written file bears its new date.
[ "$(stat -c %Y "$target/readme.txt")" = "$(stat -c %Y "$demo/release2/readme.txt")" ] ||
  fail "readme.txt does not bear its new date"
finish_case

# Cancel on the last page, after Browse and the failed check; the page loop
# itself is the unit tests' part.
failed_before=$failed; new_target cancel3
mkdir -p "$work/empty"
run "cancel on page 3" "n\n$(browse_to "$work/empty")n\nc\nn\nc\ny\n" "$package"
expect_status 1
expect_count "page 3 of 3" 2
expect_count "Are you sure you want to cancel?" 2
expect_no_text "Upgrade Aborted"
expect_no_text "Upgrade Processing"
expect_release release1
finish_case

failed_before=$failed; new_target backnext
run "back and next" "n\nb\nn\n$(browse_to "$target")n\n" "$package"
expect_status 0
expect_count "page 1 of 3" 2
expect_release release2
finish_case

failed_before=$failed
printf 'not a package' >"$work/junk.upg"
run "invalid package" "" "$work/junk.upg"
expect_status 2
expect_text "[Error]"
expect_text "Upgrade is invalid!"
finish_case

failed_before=$failed; new_target quoted
mkdir -p "$work/with blank"
cp "$package" "$work/with blank/demo.upg"
run "quoted path" "n\n$(browse_to "$target")n\n" "\"$work/with blank/demo.upg\""
expect_status 0
expect_release release2
new_target unquoted
run "path with a blank, unquoted" "n\n$(browse_to "$target")n\n" "$work/with blank/demo.upg"
expect_status 0
expect_release release2
finish_case

# The program copied into folders of its own, to test what lies beside it.
failed_before=$failed
mkdir -p "$work/alone"
cp "$upgapply" "$work/alone/setup"
program="$work/alone/setup" run "no package, chooser cancelled" ""
expect_status 1
expect_text "No upgrade package was found"
expect_no_text "Error"
finish_case

failed_before=$failed; new_target beside_target
mkdir -p "$work/beside"
cp "$upgapply" "$work/beside/setup"
cp "$package" "$work/beside/setup.upg"
printf 'not a package' >"$work/beside/default.upg"
program="$work/beside/setup" run "named after the program" "n\n$(browse_to "$target")n\n"
expect_status 0
expect_release release2
finish_case

# A folder without the file the package verifies fails the check; Next on
# page 3 goes ahead, the question about the file is answered Yes, and the
# added file is installed.
failed_before=$failed
"$make_lenient" "$work/lenient.upg"
target="$work/lenient"
mkdir -p "$target"
run "folder fails the check" "n\n$(browse_to "$target")n\nn\ny\n" "$work/lenient.upg"
expect_status 0
expect_text "Invalid target folder!"
expect_text "** Error: This file cannot be found. It will not be updated."
expect_text "[All Finished]"
[ "$(cat "$target/added.txt" 2>/dev/null)" = "added" ] || fail "added.txt was not installed"
finish_case

# Control bytes of a package or a folder name reach the terminal escaped.
failed_before=$failed
"$make_lenient" "$work/hostile.upg" hostile
target=$(printf '%s/hostile\033[5m' "$work")
mkdir -p "$target"
run "control bytes escaped" "n\n$(browse_to "$target")n\nn\ny\n" "$work/hostile.upg"
expect_status 0
expect_text 'Title: Lenient\x1B]0;owned\x07'
expect_text 'two\x1B[1A\x0Dthree'
expect_text 'expected\x1B[2J.txt'
expect_text 'hostile\x1B[5m'
raw=$(printf '%s' "$out" | LC_ALL=C tr -d '\n\040-\176\200-\377' | od -An -c | tr -s ' ')
[ -z "$raw" ] || fail "raw control bytes in the output:$raw"
[ "$(cat "$target/added"$'\033'"[31m.txt" 2>/dev/null)" = "added" ] || fail "the file was not installed"
finish_case

failed_before=$failed; new_target browse
mkdir -p "$work/other"
run "browse cancelled" "n\nr\n\nr\n$work/does-not-exist\n\nc\ny\n" "$package"
expect_status 1
expect_text "This folder does not exist."
expect_release release1
finish_case

# Ctrl-C during the installation: a press answered No goes on; a press
# answered Yes ends with nothing changed. The press comes while the engine
# waits for the answer to its question about the missing file, so it lands
# inside the installation whatever the machine's speed, and is settled at
# the next poll.
wait_for() {
  for _ in $(seq 600); do grep -qF -- "$1" "$work/out" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}

interrupt_run() {
  local answer=$1
  rm -f "$work/in" && mkfifo "$work/in"
  (cd "$work/cwd" && exec "$upgapply" "$work/lenient.upg" <"$work/in" >"$work/out" 2>&1) &
  local pid=$!
  exec 3>"$work/in"
  printf 'n\nr\n%s\nn\nn\n' "$target" >&3
  wait_for "Do you wish to continue with the update?" || fail "no question about the file"
  kill -INT "$pid"
  sleep 0.2
  printf 'y\n' >&3
  wait_for "Are you sure you want to cancel?" || fail "the press was not taken as Cancel"
  printf '%s\n' "$answer" >&3
  exec 3>&-
  wait "$pid"
  status=$?
  out=$(cat "$work/out")
}

failed_before=$failed
target="$work/ctrlc_no" && mkdir -p "$target"
case_name="Ctrl-C answered No"
interrupt_run n
expect_status 0
expect_text "The update has not been performed. Are you sure you want to cancel?"
expect_text "[All Finished]"
[ "$(cat "$target/added.txt" 2>/dev/null)" = "added" ] || fail "added.txt was not installed"
finish_case

failed_before=$failed
target="$work/ctrlc_yes" && mkdir -p "$target"
case_name="Ctrl-C answered Yes"
interrupt_run y
expect_status 1
expect_text "The upgrade process was aborted. No changes have been made to any of your files."
[ -z "$(ls -A "$target")" ] || fail "the target folder changed: $(ls -A "$target")"
finish_case

failed_before=$failed
case_name="help and version"
out=$("$upgapply" --help); status=$?
expect_status 0
expect_text "usage: upgapply"
out=$("$upgapply" --version); status=$?
expect_text "upgapply 3.0"
finish_case

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
