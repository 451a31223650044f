#!/usr/bin/env bash
# Signed packages end to end: a publisher makes a key with upgtool, builds
# and signs the demo's package, and ships the public key beside upgapply.
# The applicator then applies the signed package and refuses every altered
# or unsigned one with its reason, changing nothing; upgtool verify and
# apply --key judge the same way.
# usage: signed_packages_test.sh UPGAPPLY UPGTOOL DEMO_FOLDER
set -u
upgapply=$(realpath "$1")
upgtool=$(realpath "$2")
demo=$(realpath "$3")
work=$(mktemp -d "${TMPDIR:-/tmp}/signed-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

fail() {
  echo "FAIL: $case_name: $*"
  failed=$((failed + 1))
}

expect_status() { [ "$status" -eq "$1" ] || fail "exit status $status, wanted $1"; }
expect_text() { grep -qF -- "$1" <<<"$out" || fail "missing text: $1"; }
expect_release() { diff -r "$target" "$demo/$1" >/dev/null || fail "target differs from $1"; }

new_target() {
  target="$work/target"
  rm -rf "$target"
  cp -a "$demo/release1" "$target"
}

# tool NAME ARGUMENTS...: upgtool.
tool() {
  case_name=$1
  shift
  out=$("$upgtool" "$@" 2>&1)
  status=$?
}

# apply NAME PROGRAM PACKAGE: the console applicator, browsing to the target.
apply() {
  case_name=$1
  new_target
  out=$(cd "$work" && printf 'n\nr\n%s\nn\n' "$target" | "$2" "$3" 2>&1)
  status=$?
}

"$upgtool" keygen -o "$work/publisher" >/dev/null || { echo "FAIL: keygen"; exit 1; }
mkdir -p "$work/shipped" "$work/bare"
cp "$upgapply" "$work/shipped/upgapply"
cp "$work/publisher.pub" "$work/shipped/upgapply.pub"
cp "$upgapply" "$work/bare/upgapply"
"$upgtool" build --sign "$work/publisher" --title "Signed demo" \
  "$demo/release1" "$demo/release2" -o "$work/signed.upg" >/dev/null ||
  { echo "FAIL: build --sign"; exit 1; }

apply "valid signature" "$work/shipped/upgapply" "$work/signed.upg"
expect_status 0
expect_text "The upgrade has been applied."
expect_release release2

case_name="renamed program" && mkdir -p "$work/renamed"
cp "$upgapply" "$work/renamed/setup" && cp "$work/publisher.pub" "$work/renamed/setup.pub"
apply "$case_name" "$work/renamed/setup" "$work/signed.upg"
expect_status 0
expect_release release2

# Each altered copy of the package (with its signature file beside it, as
# the case leaves it) and the reason the applicator must give.
tampered() {
  local name=$1
  rm -f "$work/t.upg" "$work/t.upg.sig"
  cp "$work/signed.upg" "$work/t.upg"
  cp "$work/signed.upg.sig" "$work/t.upg.sig"
  case $name in
    unsigned) rm "$work/t.upg.sig" ;;
    flipped) printf '\x5a' | dd of="$work/t.upg" bs=1 seek=300 conv=notrunc 2>/dev/null ;;
  esac
}

# Every other kind of tampering is the unit tests' part.
for name in unsigned flipped; do
  case $name in
    unsigned) reason="is not signed" ;;
    *) reason="has been altered since it was signed" ;;
  esac
  tampered $name
  apply "$name (upgapply)" "$work/shipped/upgapply" "$work/t.upg"
  expect_status 2
  expect_text "Upgrade is invalid!"
  expect_text "$reason"
  expect_release release1

  tool "$name (upgtool verify)" verify --key "$work/publisher.pub" "$work/t.upg"
  expect_status 1
  expect_text "$reason"

  new_target
  tool "$name (upgtool apply --key)" apply --yes --key "$work/publisher.pub" "$work/t.upg" "$target"
  expect_status 1
  expect_text "$reason"
  expect_release release1
done

# Without a key beside the program, the unsigned package applies as ever.
tampered unsigned
apply "no key, unsigned" "$work/bare/upgapply" "$work/t.upg"
expect_status 0
expect_release release2

tool "upgtool verify" verify --key "$work/publisher.pub" "$work/signed.upg"
expect_status 0
expect_text "valid signature by key"
new_target
tool "upgtool apply --key" apply --yes --key "$work/publisher.pub" "$work/signed.upg" "$target"
expect_status 0
expect_release release2

if [ "$failed" -ne 0 ]; then
  echo "$failed check(s) failed"
  exit 1
fi
echo "signed packages: all checks passed"
