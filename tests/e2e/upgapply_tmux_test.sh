#!/usr/bin/env bash
# One interactive run of the console applicator in a real terminal (tmux):
# the banner, the pages and the progress bar render, and the upgrade
# applies. Usage: upgapply_tmux_test.sh UPGAPPLY DEMO_FOLDER
set -u
upgapply=$(realpath "$1")
demo=$(realpath "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/upgapply-tmux.XXXXXX")
session="upgapply-$$"
export TMUX_TMPDIR="$work"
cleanup() {
  tmux kill-server 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failed=0
fail() { echo "FAIL: $*"; tmux capture-pane -p -t "$session" -S -100 2>/dev/null | grep -v '^$'; failed=$((failed + 1)); }

screen() { tmux capture-pane -p -t "$session" -S -300; }
# The search for the installed folder walks the disk before page 1 shows;
# on a loaded machine that takes a while, so the waits are long.
wait_for() {
  for _ in $(seq 1200); do screen | grep -qF -- "$1" && return 0; sleep 0.1; done
  fail "the screen never showed: $1"
  return 1
}
type_line() { tmux send-keys -t "$session" -l -- "$1" && tmux send-keys -t "$session" Enter; }

cp -a "$demo/release1" "$work/target"
# A package of its own: the applicator holds its package for exclusive use,
# and other tests may be running on the demo's at the same time.
cp "$demo/demo.upg" "$work/demo.upg"
mkdir -p "$work/cwd"
tmux new-session -d -s "$session" -x 110 -y 50 \
  "cd '$work/cwd' && '$upgapply' '$work/demo.upg'; echo EXIT=\$?; sleep 60"

wait_for "Karvell Upgrade Applicator" &&
  wait_for "Title: Karvell Demo Suite 2.0" && type_line n &&
  wait_for "page 2 of 3" && type_line r &&
  wait_for "Folder (Enter to cancel):" && type_line "$work/target" &&
  wait_for "  $work/target" && type_line n &&
  wait_for "EXIT="
screen >"$work/screen.txt"
grep -qF "Version 3.0" "$work/screen.txt" || fail "no version line"
grep -qF "Upgrade Processing" "$work/screen.txt" || fail "no progress title"
grep -qF "[########100%########]" "$work/screen.txt" || fail "no full progress bar"
grep -qF "The upgrade has been applied." "$work/screen.txt" || fail "no closing message"
grep -qF "EXIT=0" "$work/screen.txt" || fail "exit status not 0"
# Redrawn in place: one status line, not one per percent.
[ "$(grep -c '%#' "$work/screen.txt")" -le 2 ] || fail "the progress bar was not redrawn in place"
diff -r "$work/target" "$demo/release2" >/dev/null || fail "the target differs from release 2"

[ -n "${VERBOSE:-}" ] && cat "$work/screen.txt"
if [ "$failed" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
[ "$failed" -eq 0 ]
