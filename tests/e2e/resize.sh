#!/usr/bin/env bash
# A window made larger is laid out and painted anew at its new width.
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

printf 'resize me\n' >"$data/r.txt"
drive_start_x || fail "no X server"
cd "$data" || fail "no data folder"
drive_start r.txt || fail "vexor did not open its window"

drive_shot "$DRIVE_WORK/small.png"
[[ $(drive_pixel "$DRIVE_WORK/small.png" 1000 3) != B0DC1C ]] || fail "status line wider than the window"

xdotool windowsize --sync "$DRIVE_WIN" 1200 700 || fail "could not resize"
drive_settle 0.8
drive_shot "$DRIVE_WORK/large.png"
status=$(drive_pixel "$DRIVE_WORK/large.png" 1000 3)
[[ $status == B0DC1C ]] || fail "status line not repainted across the wider window ($status)"
rows=$(drive_colours "$DRIVE_WORK/large.png" 700x40+0+44)
((rows > 4)) || fail "text rows blank after the resize"

drive_close || fail "could not send the close request"
drive_wait_exit 10 || fail "vexor still runs after the close request"
[[ $DRIVE_STATUS == 0 ]] || fail "exit status $DRIVE_STATUS"
echo "resize: ok"
