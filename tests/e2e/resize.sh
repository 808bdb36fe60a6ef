#!/usr/bin/env bash
# A window made larger is laid out and painted anew at its new width.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin resize
data=$DRIVE_DATA

printf 'resize me\n' >"$data/r.txt"
drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start r.txt || drive_fail "vexor did not open its window"

drive_shot "$DRIVE_WORK/small.png"
[[ $(drive_pixel "$DRIVE_WORK/small.png" 1000 3) != B0DC1C ]] || drive_fail "status line wider than the window"

xdotool windowsize --sync "$DRIVE_WIN" 1200 700 || drive_fail "could not resize"
drive_settle 0.8
drive_shot "$DRIVE_WORK/large.png"
status=$(drive_pixel "$DRIVE_WORK/large.png" 1000 3)
[[ $status == B0DC1C ]] || drive_fail "status line not repainted across the wider window ($status)"
rows=$(drive_colours "$DRIVE_WORK/large.png" 700x40+0+44)
((rows > 4)) || drive_fail "text rows blank after the resize"

drive_expect_close
echo "resize: ok"
