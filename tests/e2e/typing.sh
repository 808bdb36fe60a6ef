#!/usr/bin/env bash
# Keys typed into the window reach the text and are painted at once; closing
# the window with an unsaved change ends the editor once the change is
# discarded ("Discard text [Y/N]:" answered with y, where the editor asks),
# and nothing is written to disk.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin typing
data=$DRIVE_DATA

printf 'the quick brown fox\n' >"$data/t.txt"
cp "$data/t.txt" "$data/t.orig"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start t.txt || drive_fail "vexor did not open its window"
shot=$DRIVE_WORK
drive_shot "$shot/before.png" || drive_fail "no screenshot"

drive_type "Wow "
drive_shot "$shot/after.png" || drive_fail "no screenshot"
# The first text row and the status line changed; the rows below did not.
row_before=$(drive_checksum "$shot/before.png" "$(drive_row 0)")
row_after=$(drive_checksum "$shot/after.png" "$(drive_row 0)")
[[ $row_before != "$row_after" ]] || drive_fail "typed text was not painted"
status_before=$(drive_checksum "$shot/before.png" "$(drive_row status)")
status_after=$(drive_checksum "$shot/after.png" "$(drive_row status)")
[[ $status_before != "$status_after" ]] || drive_fail "status line did not follow the cursor"
# From the row under the end-of-text mark to the window's foot.
low=700x$((600 - 4 * DRIVE_LH))+0+$((4 * DRIVE_LH))
low_before=$(drive_checksum "$shot/before.png" "$low")
low_after=$(drive_checksum "$shot/after.png" "$low")
[[ $low_before == "$low_after" ]] || drive_fail "rows below the text changed"

# Typing the same again changes the row again: every key is handled.
drive_type "x"
drive_shot "$shot/again.png" || drive_fail "no screenshot"
row_again=$(drive_checksum "$shot/again.png" "$(drive_row 0)")
[[ $row_again != "$row_after" ]] || drive_fail "second key was dropped"

drive_close || drive_fail "could not send the close request"
if ! drive_wait_exit 2; then
  # The editor asks before it drops the change: the question replaces the
  # tab line.
  drive_shot "$shot/asked.png" || drive_fail "no screenshot"
  head_after=$(drive_checksum "$shot/again.png" "$DRIVE_TAB_ROW")
  head_asked=$(drive_checksum "$shot/asked.png" "$DRIVE_TAB_ROW")
  [[ $head_after != "$head_asked" ]] || drive_fail "still running, and no question shown"
  drive_key y
  if ! drive_wait_exit 3; then
    drive_key Return
    drive_wait_exit 10 || drive_fail "vexor still runs after the change was discarded"
  fi
fi
[[ $DRIVE_STATUS == 0 ]] || drive_fail "exit status $DRIVE_STATUS"
cmp -s "$data/t.txt" "$data/t.orig" || drive_fail "t.txt was written"
[[ ! -e $data/t.txt~ && ! -e $data/t.txt~~ ]] || drive_fail "a backup or temporary file was left"
echo "typing: ok"
