#!/usr/bin/env bash
# Keys typed into the window reach the text and are painted at once; closing
# the window with an unsaved change ends the editor once the change is
# discarded ("Discard text [Y/N]:" answered with y, where the editor asks),
# and nothing is written to disk.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
data=$(mktemp -d)
trap 'drive_cleanup; rm -rf "$data"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

printf 'the quick brown fox\n' >"$data/t.txt"
cp "$data/t.txt" "$data/t.orig"

drive_start_x || fail "no X server"
cd "$data" || fail "no data folder"
drive_start t.txt || fail "vexor did not open its window"
shot=$DRIVE_WORK
drive_shot "$shot/before.png" || fail "no screenshot"

drive_type "Wow "
drive_shot "$shot/after.png" || fail "no screenshot"
# The first text row and the status line changed; the rows below did not.
row_before=$(convert "$shot/before.png" -crop 700x22+0+44 +repage -format '%#' info:)
row_after=$(convert "$shot/after.png" -crop 700x22+0+44 +repage -format '%#' info:)
[[ $row_before != "$row_after" ]] || fail "typed text was not painted"
status_before=$(convert "$shot/before.png" -crop 700x20+0+0 +repage -format '%#' info:)
status_after=$(convert "$shot/after.png" -crop 700x20+0+0 +repage -format '%#' info:)
[[ $status_before != "$status_after" ]] || fail "status line did not follow the cursor"
low_before=$(convert "$shot/before.png" -crop 700x300+0+200 +repage -format '%#' info:)
low_after=$(convert "$shot/after.png" -crop 700x300+0+200 +repage -format '%#' info:)
[[ $low_before == "$low_after" ]] || fail "rows below the text changed"

# Typing the same again changes the row again: every key is handled.
drive_type "x"
drive_shot "$shot/again.png" || fail "no screenshot"
row_again=$(convert "$shot/again.png" -crop 700x22+0+44 +repage -format '%#' info:)
[[ $row_again != "$row_after" ]] || fail "second key was dropped"

drive_close || fail "could not send the close request"
if ! drive_wait_exit 2; then
  # The editor asks before it drops the change: the question replaces the
  # tab line.
  drive_shot "$shot/asked.png" || fail "no screenshot"
  head_after=$(convert "$shot/again.png" -crop 700x20+0+22 +repage -format '%#' info:)
  head_asked=$(convert "$shot/asked.png" -crop 700x20+0+22 +repage -format '%#' info:)
  [[ $head_after != "$head_asked" ]] || fail "still running, and no question shown"
  drive_key y
  if ! drive_wait_exit 3; then
    drive_key Return
    drive_wait_exit 10 || fail "vexor still runs after the change was discarded"
  fi
fi
[[ $DRIVE_STATUS == 0 ]] || fail "exit status $DRIVE_STATUS"
cmp -s "$data/t.txt" "$data/t.orig" || fail "t.txt was written"
[[ ! -e $data/t.txt~ && ! -e $data/t.txt~~ ]] || fail "a backup or temporary file was left"
echo "typing: ok"
