#!/usr/bin/env bash
# End to end: upgtool apply brings the demo's release 1 to release 2 (every
# operation, sub-folders, a "[KVZ]" package, and an extended package built
# from the same releases), stamps every written file with its new date,
# never touches a file beside the target folder, changes nothing when it
# stops, undoes a commit that fails, and refuses a second run on a folder
# that one is applying to. The questions, the answers read and every
# failure point are the unit tests' part; this runs the real program once
# for each outcome.
# usage: upgtool_apply_test.sh UPGTOOL MAKE_DEMO
set -euo pipefail
upgtool=$1
make_demo=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/upgtool_apply.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$make_demo" "$work/demo" >/dev/null
package=$work/demo/demo.upg
release1=$work/demo/release1
release2=$work/demo/release2
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Every file under a folder with its size, contents digest and time.
listing() {
  (cd "$1" && find . -type f -exec stat -c '%n %s %Y' {} + | sort && find . -type f -exec md5sum {} + | sort -k2)
}

# Runs upgtool apply with standard input from INPUT (a text; empty: none)
# and sets $out and $status.
run_apply() {
  local input=$1
  shift
  set +e
  out=$(printf '%s' "$input" | "$upgtool" apply "$@")
  status=$?
  set -e
}

fresh_target() {
  rm -rf "$work/site"
  mkdir -p "$work/site"
  cp -a "$release1" "$work/site/app"
  printf 'not part of the upgrade\n' >"$work/site/sentinel.txt"
  touch -d '2001-02-03 04:05:06' "$work/site/sentinel.txt"
  sentinel_before=$(stat -c '%s %Y' "$work/site/sentinel.txt")
}

check_sentinel() {
  [ "$(stat -c '%s %Y' "$work/site/sentinel.txt")" = "$sentinel_before" ] || fail "$1: the sentinel changed"
  [ "$(cat "$work/site/sentinel.txt")" = "not part of the upgrade" ] || fail "$1: the sentinel's contents changed"
  [ "$(ls "$work/site")" = "$(printf 'app\nsentinel.txt')" ] || fail "$1: something appeared beside the target"
}

# 1. The unattended upgrade, by a classic and by an extended package.
extended=$work/extended.upg
"$upgtool" build --extended "$release1" "$release2" -o "$extended" >/dev/null ||
  fail "upgtool build --extended failed"
"$upgtool" list "$extended" | grep -qx 'Kind:         extended' || fail "the extended package lists as another kind"
for applied in "$package" "$extended"; do
fresh_target
run_apply "" --yes "$applied" "$work/site/app"
[ $status -eq 0 ] || fail "apply --yes exited $status"
grep -qx 'The upgrade has been applied.' <<<"$out" || fail "apply --yes did not say it applied"
(cd "$release2" && find . -type f | sort) >"$work/expected_files"
(cd "$work/site/app" && find . -type f | sort) >"$work/actual_files"
cmp -s "$work/expected_files" "$work/actual_files" || fail "the applied tree has other files than release 2"
while read -r name; do
  cmp -s "$release2/$name" "$work/site/app/$name" || fail "$name differs from release 2"
done <"$work/expected_files"
[ ! -e "$work/site/app/__KVUPD_" ] || fail "the staging folder was left"
check_sentinel "apply --yes"
# Every written file bears its new stamp's date and time.
"$upgtool" list "$applied" | awk '
  /^\[[0-9]+\] (Add|Update|Replace) / { wanted = 1; next }
  /^\[[0-9]+\]/ { wanted = 0; next }
  wanted && /^    File:/ { sub(/^    File: +/, ""); file = $0 }
  wanted && /^    New stamp:/ { sub(/^    New stamp: +/, ""); print file "\t" $0 }
' >"$work/new_stamps"
[ "$(wc -l <"$work/new_stamps")" -eq 5 ] || fail "expected five written files in the package"
while IFS=$'\t' read -r name stamp; do
  path=$work/site/app/${name//\\//}
  found=$("$upgtool" stamp "$path")
  [ "$found" = "$path: $stamp" ] || fail "$name is stamped '$found', the package says '$stamp'"
done <"$work/new_stamps"
done

# 2. --no on a changed file stops without changing anything.
fresh_target
printf 'edited by the user\r\n' >>"$work/site/app/bin/engine.dat"
before=$(listing "$work/site/app")
run_apply "" --no "$package" "$work/site/app"
[ $status -eq 1 ] || fail "apply --no on a changed file exited $status"
grep -qx 'The upgrade process was aborted. No changes have been made to any of your files.' <<<"$out" ||
  fail "apply --no on a changed file did not say it aborted"
grep -q 'Filename: bin\\engine.dat' <<<"$out" || fail "the question did not name the file"
[ "$(listing "$work/site/app")" = "$before" ] || fail "apply --no on a changed file changed files"
check_sentinel "apply --no"

# 3. A new file that cannot be put in place stops the commit, which is
# undone: exit 1, the file named, the folder exactly as it was.
fresh_target
printf 'a file where a folder should be\n' >"$work/site/app/addons"
before=$(listing "$work/site/app")
run_apply "" --yes "$package" "$work/site/app"
[ $status -eq 1 ] || fail "a failed commit exited $status"
grep -q 'addons\\music\\theme.mid could not be put in place' <<<"$out" ||
  fail "the file not put in place was not named"
grep -q 'No changes have been made' <<<"$out" || fail "an undone commit did not say nothing changed"
[ "$(listing "$work/site/app")" = "$before" ] || fail "an undone commit changed files"
[ ! -e "$work/site/app/__KVUPD_" ] || fail "an undone commit left the staging folder"
check_sentinel "undone commit"

# 4. Two runs at once, each with its own copy of the package: the first
# waits at a question holding the folder; the second is refused at once.
fresh_target
touch -d '2020-01-01 10:00:00' "$work/site/app/readme.txt"
before=$(listing "$work/site/app")
cp "$package" "$work/second.upg"
mkfifo "$work/answers"
"$upgtool" apply "$package" "$work/site/app" <"$work/answers" >"$work/first.out" 2>&1 &
first=$!
exec 3>"$work/answers"
for _ in $(seq 300); do
  grep -q '^\[y/n\]' "$work/first.out" && break
  sleep 0.1
done
grep -q '^\[y/n\]' "$work/first.out" || fail "the first run never asked"
run_apply "" --yes "$work/second.upg" "$work/site/app"
[ $status -eq 1 ] || fail "the second run exited $status"
grep -q 'Another upgrade is being applied to this folder right now' <<<"$out" ||
  fail "the second run did not say why it was refused"
[ "$(listing "$work/site/app")" = "$before" ] || fail "the refused run changed files"
echo y >&3
exec 3>&-
set +e
wait $first
first_status=$?
set -e
[ $first_status -eq 0 ] || fail "the first run exited $first_status after the second"
cmp -s "$release2/bin/engine.dat" "$work/site/app/bin/engine.dat" || fail "the first run did not apply"
rm -f "$work/answers"

# 5. Usage errors.
run_apply "" "$package" 2>/dev/null
[ $status -eq 2 ] || fail "a missing folder operand is not a usage error"
run_apply "" --yes --no "$package" "$work/site/app" 2>/dev/null
[ $status -eq 2 ] || fail "--yes with --no is not a usage error"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "upgtool apply: all checks passed"
