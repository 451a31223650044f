#!/usr/bin/env bash
# A real upgtool apply --yes killed with SIGKILL at random moments, most of
# them while it puts its files in place, each followed by a second run. At
# the kill the folder is exactly old, exactly new, or holds the journal of
# an interrupted commit; after the second run it is exactly new.
# usage: upgtool_kill_test.sh UPGTOOL [TRIALS]
set -euo pipefail
. "$(dirname "$0")/checks.sh"
upgtool=$1
trials=${2:-50}
new_work upgtool_kill

# Release 1: 90 files of 24 KiB; release 2 changes 70 of them a little,
# rewrites 10, removes 10 and adds 10 in folders of their own: 100 entries.
mkdir -p "$work/release1" "$work/release2"
for i in $(seq -w 0 89); do
  head -c 24576 /dev/urandom >"$work/release1/f$i.dat"
done
cp -a "$work/release1/." "$work/release2/"
for i in $(seq -w 0 69); do
  printf 'changed %s' "$i" | dd of="$work/release2/f$i.dat" bs=1 seek=$((10#$i * 97)) conv=notrunc status=none
done
for i in $(seq -w 70 79); do head -c 20000 /dev/urandom >"$work/release2/f$i.dat"; done
for i in $(seq -w 80 89); do rm "$work/release2/f$i.dat"; done
for i in $(seq -w 0 9); do
  mkdir -p "$work/release2/added$i"
  head -c 24576 /dev/urandom >"$work/release2/added$i/new.dat"
done
# Ask, not critical: a second run that finds files already new goes on.
"$upgtool" build --plain --warning ask --error ask "$work/release1" "$work/release2" \
  -o "$work/p.upg" >/dev/null
entries=$("$upgtool" list --json "$work/p.upg" | grep -o '"operation"' | wc -l)
[ "$entries" -eq 100 ] || fail "the package has $entries entries, not 100"

digest() { (cd "$1" && find . -path ./__KVUPD_ -prune -o -type f -print0 | sort -z | xargs -0 md5sum); }
old=$(digest "$work/release1")
new=$(digest "$work/release2")

fresh() {
  rm -rf "$work/t"
  cp -a "$work/release1" "$work/t"
}

# Starts the apply in the background as $pid.
start() {
  "$upgtool" apply --yes "$work/p.upg" "$work/t" >"$work/run.out" 2>&1 &
  pid=$!
}

# Returns once the run reports its commit (or has ended).
await_commit() {
  while ! grep -q 'Installing Files' "$work/run.out" 2>/dev/null; do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.002
  done
}

# Returns once the commit's journal is in place and files start to move.
await_journal() {
  while [ ! -e "$work/t/__KVUPD_/COMMIT.JNL" ]; do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.001
  done
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# How long each part takes here: the whole run, the commit from its first
# line, and the moves from the journal's appearance to the end.
fresh
begin=$(now_ms)
start
await_commit
committing=$(now_ms)
await_journal
moving=$(now_ms)
wait "$pid" || fail "the calibration run failed"
end=$(now_ms)
whole_ms=$((end - begin))
commit_ms=$((end - committing))
moves_ms=$((end - moving))
[ "$(digest "$work/t")" = "$new" ] || fail "the calibration run did not apply"
echo "a run takes ${whole_ms} ms, its commit ${commit_ms} ms, the moves and clean-up ${moves_ms} ms"

outcomes=""
for trial in $(seq "$trials"); do
  fresh
  start
  case $((trial % 5)) in
    0) delay_ms=$((RANDOM % (whole_ms + 1))) ;;
    1) await_commit; delay_ms=$((RANDOM % (commit_ms + 1))) ;;
    *) await_journal; delay_ms=$((RANDOM % (moves_ms + 1))) ;;
  esac
  sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  now=$(digest "$work/t")
  if [ -e "$work/t/__KVUPD_/COMMIT.JNL" ]; then
    state=interrupted
    # A folder it calls not valid: check exits 1, which is beside the point.
    "$upgtool" check "$work/p.upg" "$work/t" >"$work/check.out" || true
    grep -q '^Interrupted: .* by this package' "$work/check.out" ||
      fail "trial $trial: check did not report the interrupted commit: $(cat "$work/check.out")"
  elif [ "$now" = "$old" ]; then
    state=old
  elif [ "$now" = "$new" ]; then
    state=new
  else
    state=mixed
    fail "trial $trial: killed after ${delay_ms} ms, the folder is mixed without a journal"
  fi
  outcomes="$outcomes $state"
  set +e
  "$upgtool" apply --yes "$work/p.upg" "$work/t" >"$work/again.out" 2>&1
  status=$?
  set -e
  [ $status -eq 0 ] || fail "trial $trial ($state): the second run exited $status"
  [ "$(digest "$work/t")" = "$new" ] || fail "trial $trial ($state): not new after the second run"
  [ ! -e "$work/t/__KVUPD_" ] || fail "trial $trial ($state): the staging folder was left"
done
echo "states at the kill:$(tr ' ' '\n' <<<"$outcomes" | grep . | sort | uniq -c | tr -s ' \n' ' ')"

finish "upgtool kill"
