#!/usr/bin/env bash
# Save & exit, as a user does it: lines typed into a new file reach the disk
# byte for byte (LF line ends, trailing blanks dropped, a blank that ends on
# a tab stop written as a TAB), the editor ends with status 0 once its only
# text is closed, and no temporary file is left. Saving over the file again
# keeps the previous version as the backup.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin save_exit
data=$DRIVE_DATA

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
[[ ! -e new.txt ]] || drive_fail "new.txt exists before the test"

# -d: built-in defaults whatever configuration file the user has.
drive_start -d new.txt || drive_fail "vexor did not open its window"
title=$(drive_title)
[[ $title == "Vexor - $data/new.txt" ]] || drive_fail "title is '$title'"
[[ ! -e new.txt ]] || drive_fail "opening a new file created it"

# Line 1 ends in a blank that must not reach the disk; in line 2 the blank
# after "abcdefg" ends on the tab stop at column 8.
drive_type_fast "hello world "
drive_keys_fast Return
drive_type_fast "abcdefg tab stop"
drive_wait_stable || drive_fail "the screen does not settle after typing"
drive_keys_prompt ctrl+k d || drive_fail "no \"Save & exit:\" prompt after Ctrl+K D"
kill -0 "$DRIVE_PID" 2>/dev/null || drive_fail "vexor ended before the prompt was answered"
[[ ! -e new.txt ]] || drive_fail "the file was written before the prompt was answered"
drive_keys_fast Return # accepts the preset name
drive_wait_exit 10 || drive_fail "vexor still runs after Save & exit of its only text"
[[ $DRIVE_STATUS == 0 ]] || drive_fail "exit status $DRIVE_STATUS"

printf 'hello world\nabcdefg\ttab stop\n' >"$data/want1"
[[ -f new.txt ]] || drive_fail "new.txt was not written"
cmp new.txt "$data/want1" || drive_fail "new.txt: $(od -c new.txt)"
[[ ! -e new.txt~~ ]] || drive_fail "the temporary file new.txt~~ was left"
[[ ! -e new.txt~ ]] || drive_fail "a backup was made of a file that did not exist"

# Again on the existing file: the old content becomes the backup.
drive_start -d new.txt || drive_fail "vexor did not open its window again"
# The y shifts the blank of line 2 off the tab stop: the TAB read from the
# file must become a plain blank again.
drive_type_fast "x"
drive_keys_fast Down Left
drive_type_fast "y"
drive_save_exit
printf 'xhello world\nyabcdefg tab stop\n' >"$data/want2"
cmp new.txt "$data/want2" || drive_fail "new.txt after the second save: $(od -c new.txt)"
cmp new.txt~ "$data/want1" || drive_fail "the backup new.txt~ does not hold the previous version"
[[ ! -e new.txt~~ ]] || drive_fail "the temporary file new.txt~~ was left"
echo "save_exit: ok"
