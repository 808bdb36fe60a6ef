#!/usr/bin/env bash
# Save & exit, as a user does it: lines typed into a new file reach the disk
# byte for byte (LF line ends, trailing blanks dropped, a blank that ends on
# a tab stop written as a TAB), the editor ends with status 0 once its only
# text is closed, and no temporary file is left. Saving over the file again
# keeps the previous version as the backup.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
data=$(mktemp -d)
trap 'drive_cleanup; rm -rf "$data"' EXIT
fail() {
  echo "FAIL: $*" >&2
  [[ -n ${DRIVE_WORK:-} && -n ${DRIVE_PID:-} ]] && kill -0 "$DRIVE_PID" 2>/dev/null &&
    drive_shot "$data/failed.png" 2>/dev/null && cp "$data/failed.png" "${TMPDIR:-/tmp}/save_exit-failed.png" &&
    echo "screen at the failure: ${TMPDIR:-/tmp}/save_exit-failed.png" >&2
  exit 1
}

head_row=700x20+0+22 # the tab line, where the prompt appears

# Checksum of a rectangle WxH+X+Y of the screen as it is now.
region() {
  drive_shot "$DRIVE_WORK/poll.png" && convert "$DRIVE_WORK/poll.png" -crop "$1" +repage -format '%#' info:
}
# Waits until the screen stops changing (two equal shots in a row): the
# editor has handled every key sent so far.
settle() {
  local a b n
  a=$(region 1280x1024+0+0)
  for ((n = 0; n < 50; n++)); do
    sleep 0.1
    b=$(region 1280x1024+0+0)
    [[ $a == "$b" ]] && return 0
    a=$b
  done
  return 1
}
# Waits up to 5 s for rectangle $1 to differ from checksum $2.
wait_changed() {
  local n
  for ((n = 0; n < 50; n++)); do
    [[ $(region "$1") != "$2" ]] && return 0
    sleep 0.1
  done
  return 1
}
typed() { xdotool type --delay 10 -- "$1"; }
keys() { xdotool key --delay 30 -- "$@"; }

drive_start_x || fail "no X server"
cd "$data" || fail "no data folder"
[[ ! -e new.txt ]] || fail "new.txt exists before the test"

# -d: built-in defaults whatever configuration file the user has.
drive_start -d new.txt || fail "vexor did not open its window"
title=$(xdotool getwindowname "$DRIVE_WIN")
[[ $title == "Vexor - $data/new.txt" ]] || fail "title is '$title'"
[[ ! -e new.txt ]] || fail "opening a new file created it"

# Line 1 ends in a blank that must not reach the disk; in line 2 the blank
# after "abcdefg" ends on the tab stop at column 8.
typed "hello world "
keys Return
typed "abcdefg tab stop"
settle || fail "the screen does not settle after typing"
before=$(region "$head_row")
keys ctrl+k d
wait_changed "$head_row" "$before" || fail "no \"Save & exit:\" prompt after Ctrl+K D"
kill -0 "$DRIVE_PID" 2>/dev/null || fail "vexor ended before the prompt was answered"
[[ ! -e new.txt ]] || fail "the file was written before the prompt was answered"
keys Return # accepts the preset name
drive_wait_exit 10 || fail "vexor still runs after Save & exit of its only text"
[[ $DRIVE_STATUS == 0 ]] || fail "exit status $DRIVE_STATUS"

printf 'hello world\nabcdefg\ttab stop\n' >"$data/want1"
[[ -f new.txt ]] || fail "new.txt was not written"
cmp new.txt "$data/want1" || fail "new.txt: $(od -c new.txt)"
[[ ! -e new.txt~~ ]] || fail "the temporary file new.txt~~ was left"
[[ ! -e new.txt~ ]] || fail "a backup was made of a file that did not exist"

# Again on the existing file: the old content becomes the backup.
drive_start -d new.txt || fail "vexor did not open its window again"
# The y shifts the blank of line 2 off the tab stop: the TAB read from the
# file must become a plain blank again.
typed "x"
keys Down Left
typed "y"
settle || fail "the screen does not settle after typing"
before=$(region "$head_row")
keys ctrl+k d
wait_changed "$head_row" "$before" || fail "no \"Save & exit:\" prompt after Ctrl+K D"
keys Return
drive_wait_exit 10 || fail "vexor still runs after the second Save & exit"
[[ $DRIVE_STATUS == 0 ]] || fail "second exit status $DRIVE_STATUS"
printf 'xhello world\nyabcdefg tab stop\n' >"$data/want2"
cmp new.txt "$data/want2" || fail "new.txt after the second save: $(od -c new.txt)"
cmp new.txt~ "$data/want1" || fail "the backup new.txt~ does not hold the previous version"
[[ ! -e new.txt~~ ]] || fail "the temporary file new.txt~~ was left"
echo "save_exit: ok"
