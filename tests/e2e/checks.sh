# Sourced by the end-to-end scripts: a scratch folder, failures counted and
# named by case, runs of a real program with its output and exit status
# kept, a program fed through a pipe while the script watches it, and the
# comparisons the scripts make of what a run printed and left on disk.

# new_work NAME: $work, a scratch folder removed when the script exits.
new_work() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
  trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
}

# take_paths NAME... -- ARGUMENT...: sets each NAME to the absolute path of
# the script's argument in its place; stops with the usage when one lacks.
take_paths() {
  local names=()
  while [ "$1" != -- ]; do
    names+=("$1")
    shift
  done
  shift
  local name
  for name in "${names[@]}"; do
    if [ $# -eq 0 ]; then
      echo "usage: $(basename "$0") ${names[*]^^}" >&2
      exit 2
    fi
    printf -v "$name" '%s' "$(realpath "$1")"
    shift
  done
}

# new_target NAME: $target, a fresh copy of the demo's release 1 (from
# $demo) at $work/NAME, times kept.
new_target() {
  target="$work/$1"
  rm -rf "$target"
  mkdir -p "$(dirname "$target")"
  cp -a "$demo/release1" "$target"
}

failed=0
case_name=
out=

# Names the case and shows the end of what its run printed.
fail() {
  echo "FAIL: ${case_name:+$case_name: }$*" >&2
  if [ -n "$out" ]; then printf '%s\n' "$out" | tail -15 >&2; fi
  failed=$((failed + 1))
}

# run NAME INPUT PROGRAM [ARGUMENTS...]: PROGRAM in $work/cwd with INPUT
# (printf %b escapes) on standard input; sets $out (standard output and
# error together) and $status.
run() {
  case_name=$1
  local input=$2
  shift 2
  mkdir -p "$work/cwd"
  out=$(cd "$work/cwd" && printf '%b' "$input" | "$@" 2>&1)
  status=$?
}

expect_status() { [ "$status" -eq "$1" ] || fail "exit status $status, wanted $1"; }
expect_text() { grep -qF -- "$1" <<<"$out" || fail "missing text: $1"; }
expect_no_text() { ! grep -qF -- "$1" <<<"$out" || fail "unexpected text: $1"; }
# expect_tree FOLDER EXPECTED: the same names with the same contents.
expect_tree() { diff -r "$1" "$2" >/dev/null || fail "$1 differs from $2"; }

# start_fed PROGRAM [ARGUMENTS...]: PROGRAM in the background, in
# $work/cwd, reading what `feed` writes and printing to $work/fed.out.
start_fed() {
  rm -f "$work/fed.in" "$work/fed.out"
  mkfifo "$work/fed.in"
  mkdir -p "$work/cwd"
  (cd "$work/cwd" && exec "$@" <"$work/fed.in" >"$work/fed.out" 2>&1) &
  fed_pid=$!
  exec 3>"$work/fed.in"
}
feed() { printf '%b' "$1" >&3; }
# await TEXT: returns once the fed program has printed TEXT, or fails after
# a minute.
await() {
  for _ in $(seq 600); do
    grep -qF -- "$1" "$work/fed.out" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "never printed: $1"
  return 1
}
# interrupt: Ctrl-C for the fed program.
interrupt() { kill -INT "$fed_pid"; }
# end_fed: closes the fed program's input and waits for it to end; sets
# $out and $status.
end_fed() {
  exec 3>&-
  wait "$fed_pid"
  status=$?
  out=$(cat "$work/fed.out")
}

# with_failing_moves ALLOWED PROGRAM [ARGUMENTS...]: PROGRAM with
# libfailing_rename preloaded ($failing_rename), so that each move after the
# first ALLOWED fails.
with_failing_moves() {
  local allowed=$1
  shift
  # The sanitizer runtime of an instrumented build wants to be loaded first.
  LD_PRELOAD=$failing_rename UPG_RENAMES_ALLOWED=$allowed \
    ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 "$@"
}

# expect_demo_left_mixed TARGET DEMO: the demo's commit stopped after
# placing the theme music and moving the engine aside, and neither could be
# put back. The music is new, the engine's two versions wait in the staging
# folder, and every other file is as release 1 has it.
expect_demo_left_mixed() {
  local target=$1 demo=$2
  cmp -s "$target/addons/music/theme.mid" "$demo/release2/addons/music/theme.mid" ||
    fail "the theme music is not the new version"
  [ ! -e "$target/bin/engine.dat" ] || fail "bin/engine.dat is in place"
  local version
  for version in release1 release2; do
    local kept=0 staged
    for staged in "$target/__KVUPD_"/*; do
      cmp -s "$staged" "$demo/$version/bin/engine.dat" && kept=1
    done
    [ "$kept" -eq 1 ] || fail "the staging folder lacks the engine of $version"
  done
  local name
  for name in readme.txt legacy.cfg gfx/logo.bmp data/levels/level1.map; do
    cmp -s "$target/$name" "$demo/release1/$name" || fail "$name is not as release 1 has it"
  done
  [ ! -e "$target/data/levels/level2.map" ] || fail "level2.map was put in place"
}

# finish NAME: the summary line; exits 1 after any failure.
finish() {
  if [ "$failed" -ne 0 ]; then
    echo "$1: $failed check(s) failed"
    exit 1
  fi
  echo "$1: all checks passed"
}
