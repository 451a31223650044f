#!/usr/bin/env bash
# upgtool apply as a real process, once for each way a run can end: the
# demo applied (every written file stamped, nothing beside the target
# touched), not applied when a question is answered No, cancelled by Ctrl-C,
# and left neither old nor new by a commit whose undo fails too (exit 3),
# which the next run then completes. Refusals are the signed packages'
# test; the questions, the answers and every failure point are the unit
# tests' part.
# usage: upgtool_apply_test.sh UPGTOOL MAKE_DEMO MAKE_LENIENT_PACKAGE FAILING_RENAME_LIBRARY
set -u
. "$(dirname "$0")/checks.sh"
take_paths upgtool make_demo make_lenient failing_rename -- "$@"
new_work upgtool_apply
"$make_demo" "$work/demo" >/dev/null && "$make_lenient" "$work/lenient.upg" ||
  { echo "FAIL: the packages could not be made"; exit 1; }
demo=$work/demo
package=$demo/demo.upg

# Every file under a folder with its size, time and contents digest.
listing() {
  (cd "$1" && find . -type f -exec stat -c '%n %s %Y' {} + | sort && find . -type f -exec md5sum {} + | sort -k2)
}

# A copy of release 1 with a file beside it that no run may touch.
fresh_target() {
  rm -rf "$work/site"
  new_target site/app
  printf 'not part of the upgrade\n' >"$work/site/sentinel.txt"
  touch -d '2001-02-03 04:05:06' "$work/site/sentinel.txt"
  beside_before=$(listing "$work/site" | grep sentinel)
  before=$(listing "$target")
}

expect_nothing_beside() {
  [ "$(listing "$work/site" | grep sentinel)" = "$beside_before" ] || fail "the file beside the target changed"
  [ "$(ls "$work/site")" = "$(printf 'app\nsentinel.txt')" ] || fail "something appeared beside the target"
}
expect_unchanged() { [ "$(listing "$target")" = "$before" ] || fail "the target changed"; }

fresh_target
run applied "" "$upgtool" apply --yes "$package" "$target"
expect_status 0
expect_text "The upgrade has been applied."
expect_tree "$target" "$demo/release2"
expect_nothing_beside
# Every written file bears the date and time of its new stamp.
"$upgtool" list "$package" | awk '
  /^\[[0-9]+\] (Add|Update|Replace) / { wanted = 1; next }
  /^\[[0-9]+\]/ { wanted = 0; next }
  wanted && /^    File:/ { sub(/^    File: +/, ""); file = $0 }
  wanted && /^    New stamp:/ { sub(/^    New stamp: +/, ""); print file "\t" $0 }
' >"$work/new_stamps"
[ "$(wc -l <"$work/new_stamps")" -eq 5 ] || fail "expected five written files in the package"
while IFS=$'\t' read -r name stamp; do
  path=$target/${name//\\//}
  found=$("$upgtool" stamp "$path")
  [ "$found" = "$path: $stamp" ] || fail "$name is stamped '$found', the package says '$stamp'"
done <"$work/new_stamps"

fresh_target
printf 'edited by the user\r\n' >>"$target/bin/engine.dat"
before=$(listing "$target")
run "not applied" "" "$upgtool" apply --no "$package" "$target"
expect_status 1
expect_text 'Filename: bin\engine.dat'
expect_text "The upgrade process was aborted. No changes have been made to any of your files."
expect_unchanged

# Ctrl-C while the run waits for the answer about the file the lenient
# package misses, so it lands inside the installation whatever the
# machine's speed; the press is settled at the next poll, after the answer.
fresh_target
case_name=cancelled
start_fed "$upgtool" apply "$work/lenient.upg" "$target"
await "Do you wish to continue with the update?" && interrupt && sleep 0.2 && feed 'y\n' &&
  await "Are you sure you want to cancel?" && feed 'y\n'
end_fed
expect_status 1
expect_text "The upgrade process was aborted. No changes have been made to any of your files."
expect_unchanged

# The journal's move and the first two of the commit go through: the theme
# music is placed and the engine moved aside; then every move fails.
fresh_target
run "exit 3" "" with_failing_moves 3 "$upgtool" apply --yes "$package" "$target"
expect_status 3
expect_text "Upgrade Incomplete"
expect_text 'The upgrade could not be completed: bin\engine.dat could not be put in place (the new version could not be moved in), and putting back what had changed failed for:'
expect_text '  addons\music\theme.mid'
expect_text "kept in $target\\__KVUPD_; the next upgrade of this folder finishes or undoes what was left."
expect_demo_left_mixed "$target" "$demo"
expect_nothing_beside
run "exit 3, then a run that can move files" "" "$upgtool" apply --yes "$package" "$target"
expect_status 0
expect_tree "$target" "$demo/release2"

case_name="usage errors"
run "$case_name" "" "$upgtool" apply "$package"
expect_status 2
run "$case_name" "" "$upgtool" apply --yes --no "$package" "$target"
expect_status 2

finish "upgtool apply"
