#!/usr/bin/env bash
# The console applicator as a real process, driven through standard input
# as a script or a person at a terminal would, once for each way a run can
# end: applied, refused (an invalid package), not applied (no package
# beside the program, the chooser cancelled), cancelled by Ctrl-C, and left
# neither old nor new by a commit whose undo fails too (exit 3). The pages,
# the answers and every failure point are the unit tests' part.
# usage: upgapply_console_test.sh UPGAPPLY DEMO_FOLDER MAKE_LENIENT_PACKAGE FAILING_RENAME_LIBRARY
#
# Every run browses to its own scratch copy of release 1 (the search walks
# the whole disk and could find any copy), and runs with a scratch folder as
# its current directory, which stands in for the Windows folder.
set -u
. "$(dirname "$0")/checks.sh"
take_paths upgapply demo make_lenient failing_rename -- "$@"
new_work upgapply-e2e

# The answers of a run through the wizard: Next on page 1, Browse to the
# folder on page 2, then Next.
to_folder() { printf 'n\\nr\\n%s\\nn\\n' "$1"; }

# A package of its own, in a folder with a blank in its name: the
# applicator holds its package for exclusive use, other tests may be running
# on the demo's, and the unquoted arguments make one command line.
mkdir -p "$work/with blank"
package="$work/with blank/demo.upg"
cp "$demo/demo.upg" "$package"

new_target applied
run applied "$(to_folder "$target")" "$upgapply" "$package"
expect_status 0
expect_text "Karvell Upgrade Applicator"
expect_text "Title: Karvell Demo Suite 2.0"
expect_text "Upgrade Processing"
expect_text "[All Finished]"
expect_text "The upgrade has been applied."
expect_tree "$target" "$demo/release2"
[ "$(stat -c %Y "$target/readme.txt")" = "$(stat -c %Y "$demo/release2/readme.txt")" ] ||
  fail "readme.txt does not bear its new date"

printf 'not a package' >"$work/junk.upg"
run refused "" "$upgapply" "$work/junk.upg"
expect_status 2
expect_text "[Error]"
expect_text "Upgrade is invalid!"

# The program alone in a folder of its own finds no package beside itself.
mkdir -p "$work/alone"
cp "$upgapply" "$work/alone/setup"
run "not applied" "" "$work/alone/setup"
expect_status 1
expect_text "No upgrade package was found"
expect_no_text "Error"

# Ctrl-C while the engine waits for the answer about the file the lenient
# package misses, so it lands inside the installation whatever the
# machine's speed; the press is settled at the next poll, after the answer.
"$make_lenient" "$work/lenient.upg" || fail "make_lenient_package failed"
new_target cancelled
case_name=cancelled
start_fed "$upgapply" "$work/lenient.upg"
# Then Next on page 3, which the folder check fails.
feed "$(to_folder "$target")n\\n"
await "Do you wish to continue with the update?" && interrupt && sleep 0.2 && feed 'y\n' &&
  await "Are you sure you want to cancel?" && feed 'y\n'
end_fed
expect_status 1
expect_text "The update has not been performed. Are you sure you want to cancel?"
expect_text "The upgrade process was aborted. No changes have been made to any of your files."
expect_tree "$target" "$demo/release1"

# The journal's move and the first two of the commit go through: the theme
# music is placed and the engine moved aside; then every move fails.
new_target mixed
run "exit 3" "$(to_folder "$target")" with_failing_moves 3 "$upgapply" "$package"
expect_status 3
expect_text "[Upgrade Incomplete]"
expect_text 'bin\engine.dat could not be put in place (the new version could not be moved in)'
expect_text '  addons\music\theme.mid'
expect_text "kept in $target\\__KVUPD_"
expect_demo_left_mixed "$target" "$demo"

case_name="help and version"
out=$("$upgapply" --help)
status=$?
expect_status 0
expect_text "usage: upgapply"
out=$("$upgapply" --version)
expect_text "upgapply 3.0"

finish "upgapply console"
