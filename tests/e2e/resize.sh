#!/usr/bin/env bash
# A window made larger is laid out and painted anew at its new width; made
# smaller again, no pixel of the larger layout stays in the margins that no
# row covers (right of the line-end column, below the last row, left of the
# first column). The window's background is made magenta first, so that
# pixels the editor never paints show up wherever the server clears them.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin resize
data=$DRIVE_DATA

for i in $(seq 1 40); do printf 'line %02d of a text that is long enough to fill every column of the window, and more\n' "$i"; done >"$data/r.txt"
drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start r.txt || drive_fail "vexor did not open its window"
drive_tool win_background || drive_fail "cannot build the background helper"
"$DRIVE_WORK/win_background" "$DRIVE_WIN" ff00ff || drive_fail "cannot set the window background"

drive_shot "$data/small.png"
[[ $(drive_pixel "$data/small.png" 1000 3) != B0DC1C ]] || drive_fail "status line wider than the window"

xdotool windowsize --sync "$DRIVE_WIN" 1100 800 || drive_fail "could not resize"
drive_wait_stable || drive_fail "the screen does not settle at 1100x800"
drive_shot "$data/large.png"
status=$(drive_pixel "$data/large.png" 1000 3)
[[ $status == B0DC1C ]] || drive_fail "status line not repainted across the wider window (pixel 1000,3 is $status)"
rows=$(drive_colours "$data/large.png" "700x$((2 * DRIVE_LH))+0+$((2 * DRIVE_LH))")
((rows > 4)) || drive_fail "text rows blank after the resize ($rows colours)"

# Back to a size whose width and height leave remainders of a cell and a row
# (the line-end column may reach into the 10 pixels kept free at the right).
h=607
for ((w = 800; ; w++)); do
  cols=$(((w - 10) / DRIVE_CW))
  right=$((DRIVE_LEFT + (cols + 1) * DRIVE_CW))
  ((w - right >= 3)) && break
done
xdotool windowsize --sync "$DRIVE_WIN" "$w" "$h" || drive_fail "could not resize"
drive_wait_stable || drive_fail "the screen does not settle at ${w}x$h"
drive_shot "$data/shrunk.png"
rows=$(((h - 2 * DRIVE_LH) / DRIVE_LH))
bottom=$(((rows + 2) * DRIVE_LH))
# Each margin in the text background only: one colour, white.
check_margin() {
  local name=$1 rect=$2 n at
  n=$(drive_colours "$data/shrunk.png" "$rect")
  at=$(drive_pixel "$data/shrunk.png" "$3" "$4")
  ((n == 1)) && [[ $at == FFFFFF ]] ||
    drive_fail "the $name margin ($rect) shows $n colours, pixel $3,$4 is $at: pixels of the old layout or never painted"
}
check_margin right "$((w - right))x${bottom}+${right}+0" "$right" 3
check_margin bottom "${w}x$((h - bottom))+0+${bottom}" 3 "$bottom"
check_margin left "${DRIVE_LEFT}x${bottom}+0+0" 0 $((DRIVE_LH / 2))
# The status and tab lines end one cell before the text rows do.
check_margin "status line's end" "${DRIVE_CW}x$((2 * DRIVE_LH))+$((right - DRIVE_CW))+0" $((right - 1)) 3
# And the rows themselves were painted at the new width.
[[ $(drive_pixel "$data/shrunk.png" $((right - DRIVE_CW - 1)) 3) == B0DC1C ]] ||
  drive_fail "the status line does not reach its last column"

drive_expect_close
echo "resize: ok"
