#!/usr/bin/env bash
# Drives upgapply.exe in a real window: Wine's virtual desktop in an Xvfb
# display, keys typed with xdotool, the outcome read from the message boxes'
# captions, the exit status and the target folder on disk.
#
#   upgapply_gui_test.sh BUILD_DIR UPGAPPLY_EXE MAKE_DEMO_EXE MAKE_GUI_FIXTURES_EXE SCENARIO
#                        [UPGTOOL_EXE]
#
# The Wine prefix BUILD_DIR/gui-prefix is made on first use. Its only drive
# is C: (the mapping of the Linux root is removed), so the program's search
# walks that drive alone. Screenshots go to BUILD_DIR/gui-screenshots.
set -euo pipefail

build=$1
upgapply=$2
make_demo=$3
make_fixtures=$4
scenario=$5
upgtool=${6:-}

if [ -z "${UPG_GUI_UNDER_XVFB:-}" ]; then
  export UPG_GUI_UNDER_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

export WINEPREFIX="$build/gui-prefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
drive_c="$WINEPREFIX/drive_c"
shots="$build/gui-screenshots"
mkdir -p "$shots"

fail() {
  echo "FAIL ($scenario): $*" >&2
  import -window root "$shots/failure-$scenario.png" 2>/dev/null || true
  exit 1
}

# --- the prefix -------------------------------------------------------------

make_prefix() {
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -e "$WINEPREFIX/.made" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    # Every program runs in one 1024 by 768 desktop window of its own, where
    # captions, frames and message boxes are drawn as on Windows.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
    # The caption buttons' glyphs: this Wine does not find its own copy.
    if [ -e /usr/share/wine/fonts/marlett.ttf ]; then
      mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
      cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    rm -f "$WINEPREFIX/dosdevices/z:"
    touch "$WINEPREFIX/.made"
  fi
  flock -u 9
  exec 9>&-
}

# The programs, the demo and the GUI fixtures on C:. Fixtures live under a
# folder whose name begins with "." so that the search never finds them.
install_programs() {
  mkdir -p "$drive_c/app" "$drive_c/tools"
  cp "$upgapply" "$drive_c/app/upgapply.exe"
  cp "$make_demo" "$drive_c/tools/make_demo.exe"
  cp "$make_fixtures" "$drive_c/tools/make_gui_fixtures.exe"
  rm -rf "$drive_c/.fixtures"
  mkdir -p "$drive_c/.fixtures"
  wine 'C:\tools\make_demo.exe' 'C:\.fixtures\demo' >/dev/null 2>&1 ||
    fail "make_demo did not run"
  wine 'C:\tools\make_gui_fixtures.exe' 'C:\.fixtures\gui' >/dev/null 2>&1 ||
    fail "make_gui_fixtures did not run"
  printf 'This is not an upgrade package.\r\n' >"$drive_c/.fixtures/bad.upg"
  mkdir -p "$drive_c/.fixtures/with blank"
  cp "$drive_c/.fixtures/demo/demo.upg" "$drive_c/.fixtures/with blank/demo.upg"
}

# The installations the packages look for, fresh for every scenario:
# release 1 of the demo three folders deep, and the slow package's target.
install_targets() {
  rm -rf "$drive_c/Karvell" "$drive_c/Target" "$drive_c/Many" "$drive_c/windows/added.txt"
  mkdir -p "$drive_c/Karvell/Games"
  cp -a "$drive_c/.fixtures/demo/release1" "$drive_c/Karvell/Games/Demo"
  cp -a "$drive_c/.fixtures/gui/target" "$drive_c/Target"
}

# --- driving the program ----------------------------------------------------

app_pid=
app_status=

start_app() {
  start_program 'C:\app\upgapply.exe' "$@"
}

start_program() {
  wine "$@" >/dev/null 2>&1 &
  app_pid=$!
}

# Waits for the program to end and keeps its exit status.
wait_app_end() {
  local waited=0
  while kill -0 "$app_pid" 2>/dev/null; do
    sleep 0.1
    waited=$((waited + 1))
    [ "$waited" -lt 300 ] || fail "the program did not end"
  done
  app_status=0
  wait "$app_pid" || app_status=$?
}

# The visible windows whose caption is exactly $1.
windows_named() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true
}

count_named() {
  windows_named "$1" | grep -c . || true
}

# Waits until exactly $2 windows are captioned $1 (default 1).
wait_count() {
  local caption=$1 want=${2:-1} waited=0
  while [ "$(count_named "$caption")" != "$want" ]; do
    sleep 0.1
    waited=$((waited + 1))
    [ "$waited" -lt 300 ] || fail "waited in vain for $want window(s) \"$caption\""
  done
  # The window is mapped before it has taken the keyboard focus.
  sleep 0.4
}

# Waits for a window captioned $1 other than the window $2.
wait_new_window() {
  local caption=$1 old=$2 waited=0
  while :; do
    local ids
    ids=$(windows_named "$caption")
    if [ -n "$ids" ] && ! grep -qx "$old" <<<"$ids"; then
      sleep 0.4
      return
    fi
    sleep 0.1
    waited=$((waited + 1))
    [ "$waited" -lt 300 ] || fail "waited in vain for a new \"$caption\""
  done
}

page_id() {
  windows_named "Upgrade Applicator" | head -n 1
}

# Keys go to the desktop window under the pointer, and Wine hands them to
# its active window.
press() {
  xdotool mousemove 1000 760
  xdotool key --delay 80 "$@"
}

# Starts program $1 on package $2 and presses Next on pages 1 and 2.
start_through_two_pages() {
  start_program "$@"
  wait_count "Upgrade Applicator"
  local page
  page=$(page_id)
  press Return
  wait_new_window "Upgrade Applicator" "$page"
  press Return
}

shot() {
  import -window root "$shots/$1.png"
}

expect_status() {
  [ "$app_status" = "$1" ] || fail "exit status $app_status, expected $1"
}

same_tree() {
  diff -r "$1" "$2" >/dev/null
}

# The program ends with status 0 and the demo's folder is release 2.
expect_demo_applied() {
  wait_app_end
  expect_status 0
  same_tree "$drive_c/Karvell/Games/Demo" "$drive_c/.fixtures/demo/release2" ||
    fail "the folder is not release 2"
}

# --- scenarios --------------------------------------------------------------

# The demo from the command line, quoted as Windows quotes a path with a
# blank: the search finds release 1, two pages, the installation, and the
# folder is release 2.
scenario_applied() {
  # Enough folders before the installation for the search notice to stand
  # a moment.
  mkdir -p "$drive_c/Many"
  (cd "$drive_c/Many" && mkdir $(seq -f 'folder%04g' 1 3000))
  start_app 'C:\.fixtures\with blank\demo.upg'
  while [ "$(count_named "Karvell Upgrade Applicator")" = 0 ]; do sleep 0.05; done
  sleep 0.2
  shot search-notice
  wait_count "Upgrade Applicator"
  shot wizard-page1
  # The search is over: the many folders only slow down other searches.
  rm -rf "$drive_c/Many"
  local page
  page=$(page_id)
  press Return
  wait_new_window "Upgrade Applicator" "$page"
  shot wizard-page2
  press Return
  wait_count "All Finished"
  shot all-finished
  press Return
  expect_demo_applied
}

# An extended package, found by the search in C:\Target: two pages, and
# marker1.txt rebuilt by its AddDiff.
scenario_applied_extended() {
  start_through_two_pages 'C:\app\upgapply.exe' 'C:\.fixtures\gui\extended.upg'
  wait_count "All Finished"
  press Return
  wait_app_end
  expect_status 0
  [ "$(cat "$drive_c/Target/marker1.txt")" = "INSTALLED marker1.txt" ] ||
    fail "marker1.txt was not rewritten"
  [ "$(cat "$drive_c/Target/marker2.txt")" = "installed marker2.txt" ] || fail "marker2.txt changed"
}

# Cancel on page $1, answered No (the page stays) and then Yes (the program
# ends with no message and changes nothing).
cancel_on_page() {
  local target_page=$1 package=$2 page
  start_app "$package"
  wait_count "Upgrade Applicator"
  for ((n = 1; n < target_page; n++)); do
    page=$(page_id)
    press Return
    wait_new_window "Upgrade Applicator" "$page"
  done
  [ "$target_page" != 3 ] || shot wizard-page3
  page=$(page_id)
  press Escape
  wait_count "Upgrade Cancel Confirmation"
  shot "cancel-question-page$target_page"
  press n
  wait_count "Upgrade Cancel Confirmation" 0
  [ "$(page_id)" = "$page" ] || fail "No did not keep page $target_page"
  press Escape
  wait_count "Upgrade Cancel Confirmation"
  press Return
  wait_app_end
  expect_status 1
  [ "$(count_named "All Finished")$(count_named "Upgrade Aborted")" = 00 ] ||
    fail "a closing message was shown"
}

scenario_cancel_page1() {
  cancel_on_page 1 'C:\.fixtures\demo\demo.upg'
  same_tree "$drive_c/Karvell/Games/Demo" "$drive_c/.fixtures/demo/release1" ||
    fail "the folder changed"
}

scenario_cancel_page2() {
  cancel_on_page 2 'C:\.fixtures\demo\demo.upg'
  same_tree "$drive_c/Karvell/Games/Demo" "$drive_c/.fixtures/demo/release1" ||
    fail "the folder changed"
}

scenario_cancel_page3() {
  cancel_on_page 3 'C:\.fixtures\gui\lenient.upg'
  [ ! -e "$drive_c/windows/added.txt" ] || fail "the folder changed"
}

# Next, Back, Next, Next: page 1 comes back between two page 2s, and the
# upgrade then applies. On the first page 2 the folder dialog opens and OK
# keeps the folder it starts at.
scenario_back_and_next() {
  start_app 'C:\.fixtures\demo\demo.upg'
  wait_count "Upgrade Applicator"
  local page
  page=$(page_id)
  press Return
  wait_new_window "Upgrade Applicator" "$page"
  page=$(page_id)
  press alt+r
  wait_count "Change Target Folder"
  shot browse-dialog
  press Return
  wait_count "Change Target Folder" 0
  [ "$(page_id)" = "$page" ] || fail "the folder dialog did not return to page 2"
  press alt+b
  wait_new_window "Upgrade Applicator" "$page"
  page=$(page_id)
  press Return
  wait_new_window "Upgrade Applicator" "$page"
  page=$(page_id)
  press Return
  wait_count "All Finished"
  press Return
  expect_demo_applied
}

# A package that fits no folder: the Windows folder is offered, page 3
# warns, Back returns to page 2, and Next on page 3 installs anyway after
# the question about the missing file.
scenario_page3_applies_anyway() {
  start_app 'C:\.fixtures\gui\lenient.upg'
  wait_count "Upgrade Applicator"
  local page
  for step in Return Return alt+b Return; do
    page=$(page_id)
    press "$step"
    wait_new_window "Upgrade Applicator" "$page"
  done
  press Return
  # The progress dialog and the question about missing.txt share a caption.
  wait_count "Upgrade Processing" 2
  shot preflight-question
  press Return
  wait_count "All Finished"
  press Return
  wait_app_end
  expect_status 0
  [ "$(cat "$drive_c/windows/added.txt")" = added ] || fail "added.txt was not installed"
}

scenario_invalid_package() {
  start_app 'C:\.fixtures\bad.upg'
  wait_count "Error"
  shot invalid-package
  press Return
  wait_app_end
  expect_status 2
  [ "$(count_named "Upgrade Applicator")" = 0 ] || fail "the wizard was shown"
}

# No package on the command line and none beside the program: the chooser
# opens, and cancelling it ends the program without a message.
scenario_chooser_cancelled() {
  start_app
  wait_count "Upgrade Applicator"
  shot package-chooser
  press Escape
  wait_app_end
  expect_status 1
  [ "$(count_named "Error")" = 0 ] || fail "a message was shown"
}

# Cancel pressed on the progress dialog during the installation and
# confirmed: "Upgrade Aborted", and the folder is as it was.
scenario_cancel_installation() {
  start_through_two_pages 'C:\app\upgapply.exe' 'C:\.fixtures\gui\slow.upg'
  # The pre-flight question about missing.txt: going on starts the long
  # installation, during which the dialog answers its Cancel button.
  wait_count "Upgrade Processing" 2
  press Return
  wait_count "Upgrade Processing" 1
  sleep 1
  shot progress-dialog
  press Escape
  wait_count "Upgrade Processing" 2
  shot cancel-confirmation
  press Return
  wait_count "Upgrade Aborted"
  shot upgrade-aborted
  press Return
  wait_app_end
  expect_status 1
  same_tree "$drive_c/Target" "$drive_c/.fixtures/gui/target" || fail "the folder changed"
}

# A publisher's key made and used with upgtool.exe: the program in C:\signed
# with upgapply.pub beside it, the demo package signed, and a copy of it
# with one byte added after the signing.
install_signed() {
  [ -n "$upgtool" ] || fail "the signed scenarios need upgtool.exe"
  cp "$upgtool" "$drive_c/tools/upgtool.exe"
  rm -rf "$drive_c/signed" "$drive_c/.fixtures/signed"
  mkdir -p "$drive_c/signed" "$drive_c/.fixtures/signed"
  cp "$upgapply" "$drive_c/signed/upgapply.exe"
  wine 'C:\tools\upgtool.exe' keygen -o 'C:\.fixtures\signed\publisher' >/dev/null 2>&1 ||
    fail "upgtool keygen did not run"
  cp "$drive_c/.fixtures/signed/publisher.pub" "$drive_c/signed/upgapply.pub"
  cp "$drive_c/.fixtures/demo/demo.upg" "$drive_c/.fixtures/signed/demo.upg"
  wine 'C:\tools\upgtool.exe' sign --key 'C:\.fixtures\signed\publisher' \
    'C:\.fixtures\signed\demo.upg' >/dev/null 2>&1 || fail "upgtool sign did not run"
  cp "$drive_c/.fixtures/signed/demo.upg" "$drive_c/.fixtures/signed/altered.upg"
  cp "$drive_c/.fixtures/signed/demo.upg.sig" "$drive_c/.fixtures/signed/altered.upg.sig"
  printf 'x' >>"$drive_c/.fixtures/signed/altered.upg"
}

# With the publisher's key beside the program, the signed package goes
# through the two pages and is applied.
scenario_signed_applied() {
  install_signed
  start_through_two_pages 'C:\signed\upgapply.exe' 'C:\.fixtures\signed\demo.upg'
  wait_count "All Finished"
  press Return
  expect_demo_applied
}

# The same package with a byte added: "Upgrade is invalid!" with the
# reason, before any search or page, and nothing changed.
scenario_signed_refused() {
  install_signed
  start_program 'C:\signed\upgapply.exe' 'C:\.fixtures\signed\altered.upg'
  wait_count "Error"
  shot signed-package-refused
  press Return
  wait_app_end
  expect_status 2
  [ "$(count_named "Upgrade Applicator")" = 0 ] || fail "the wizard was shown"
  same_tree "$drive_c/Karvell/Games/Demo" "$drive_c/.fixtures/demo/release1" ||
    fail "the folder changed"
}

# --- run --------------------------------------------------------------------

command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v import >/dev/null || fail "imagemagick is not installed"
declare -F "scenario_$scenario" >/dev/null || fail "no scenario $scenario"

make_prefix
# A server left by an earlier run that was stopped would hold another display.
wineserver -k 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
install_programs
install_targets
"scenario_$scenario"
echo "PASS ($scenario)"
