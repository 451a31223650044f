#!/usr/bin/env bash
# Signed packages end to end: a publisher makes a key with upgtool, builds
# and signs the demo's package, and ships the public key beside upgapply
# (under the program's own name, whatever that is). The applicator applies
# the signed package and refuses an altered or unsigned one with its reason,
# changing nothing; upgtool verify and apply --key judge the same way. Every
# other kind of tampering, and the key given to check and apply, are the
# unit tests' part.
# usage: signed_packages_test.sh UPGAPPLY UPGTOOL DEMO_FOLDER
set -u
. "$(dirname "$0")/checks.sh"
take_paths upgapply upgtool demo -- "$@"
new_work signed-e2e

# apply NAME PROGRAM PACKAGE: the console applicator on a fresh copy of
# release 1, browsing to it.
apply() {
  new_target target
  run "$1" "n\nr\n$target\nn\n" "$2" "$3"
}

"$upgtool" keygen -o "$work/publisher" >/dev/null || { echo "FAIL: keygen"; exit 1; }
"$upgtool" build --sign "$work/publisher" --title "Signed demo" \
  "$demo/release1" "$demo/release2" -o "$work/signed.upg" >/dev/null ||
  { echo "FAIL: build --sign"; exit 1; }
for program in shipped/upgapply renamed/setup bare/upgapply; do
  mkdir -p "$work/$(dirname $program)"
  cp "$upgapply" "$work/$program"
done
cp "$work/publisher.pub" "$work/shipped/upgapply.pub"
cp "$work/publisher.pub" "$work/renamed/setup.pub"

apply "valid signature" "$work/shipped/upgapply" "$work/signed.upg"
expect_status 0
expect_text "The upgrade has been applied."
expect_tree "$target" "$demo/release2"

cp "$work/signed.upg" "$work/unsigned.upg"
cp "$work/signed.upg" "$work/flipped.upg"
cp "$work/signed.upg.sig" "$work/flipped.upg.sig"
printf '\x5a' | dd of="$work/flipped.upg" bs=1 seek=300 conv=notrunc 2>/dev/null
# The renamed program finds its key under its own name.
for tampered in "unsigned|renamed/setup|is not signed" \
                "flipped|shipped/upgapply|has been altered since it was signed"; do
  IFS='|' read -r name program reason <<<"$tampered"
  apply "$name ($program)" "$work/$program" "$work/$name.upg"
  expect_status 2
  expect_text "Upgrade is invalid!"
  expect_text "$reason"
  expect_tree "$target" "$demo/release1"
done

run "upgtool verify, flipped" "" "$upgtool" verify --key "$work/publisher.pub" "$work/flipped.upg"
expect_status 1
expect_text "has been altered since it was signed"
run "upgtool verify, signed" "" "$upgtool" verify --key "$work/publisher.pub" "$work/signed.upg"
expect_status 0
expect_text "valid signature by key"

new_target target
run "upgtool apply --key, flipped" "" \
  "$upgtool" apply --yes --key "$work/publisher.pub" "$work/flipped.upg" "$target"
expect_status 1
expect_text "has been altered since it was signed"
expect_tree "$target" "$demo/release1"

# Without a key beside the program, the unsigned package applies as ever.
apply "no key, unsigned" "$work/bare/upgapply" "$work/unsigned.upg"
expect_status 0
expect_tree "$target" "$demo/release2"

finish "signed packages"
