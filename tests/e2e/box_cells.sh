#!/usr/bin/env bash
# Box-drawing lines and blocks on screen join across rows and columns: a
# column of │, ┼ and █ runs unbroken down three rows (one of them typed),
# ─ meets ┼ without a gap, and a box drawn with BoxDraw and the drag keys
# shows four closed sides.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin box_cells
data=$DRIVE_DATA

# Row 0 stays empty for the cursor; rows 1-2 from the file, row 3 typed;
# the box goes on the empty rows 5-7.
{
  echo
  echo "│██┼──"
  echo "│██┼──"
  for _ in $(seq 1 14); do echo; done
} >"$data/box.txt"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -d box.txt || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at the start"
settle() { drive_wait_stable || drive_fail "the screen does not settle after $1"; }

drive_keys_fast Down Down Down
drive_type_fast "│██┼──"
settle "typing the third row"

# BoxDraw from the Extras menu (thin lines), then a 5 x 3 box.
drive_keys_fast Down Down Home
mapfile -t home < <(printf 'Left\n%.0s' {1..18}; printf 'Up\n%.0s' {1..16})
mapfile -t extras < <(printf 'Right\n%.0s' {1..10})
drive_keys_fast shift+space "${home[@]}"
drive_keys_fast "${extras[@]}" Down Down Down Return
settle "BoxDraw"
drive_keys_fast shift+Right shift+Right shift+Right shift+Right shift+Down shift+Down \
  shift+Left shift+Left shift+Left shift+Left shift+Up shift+Up
settle "drawing the box"
# The cursor and its line's colour away from everything checked.
drive_keys_fast Down Down Down Down Down Down
settle "leaving the box"
drive_shot "$data/box.png" || drive_fail "no screenshot"

x_of() { echo $((DRIVE_LEFT + $1 * DRIVE_CW)); }
y_of() { echo $((($1 + 2) * DRIVE_LH)); }
# "N COLOUR": the number of colours in rectangle $1 and its first pixel.
look() { convert "$data/box.png" -crop "$1" +repage -format '%k %[hex:p{0,0}]' info:; }
bg=$(look "1x1+$(x_of 20)+$(($(y_of 1) + 2))" | cut -d' ' -f2)
# Rectangle $1 is inked throughout in one colour.
solid() { local l; l=$(look "$1"); [[ $l == 1\ * && ${l#1 } != "$bg" ]]; }

# Where the lines run inside a cell: the first column of │ (row 1, col 0)
# inked from top to bottom, the first row of ─ (row 1, col 5) inked from
# left to right.
dx=""
for ((x = 0; x < DRIVE_CW; x++)); do
  if solid "1x${DRIVE_LH}+$(($(x_of 0) + x))+$(y_of 1)"; then dx=$x; break; fi
done
[[ -n $dx ]] || drive_fail "│ does not reach from the top of its cell to the bottom"
dy=""
for ((y = 0; y < DRIVE_LH; y++)); do
  if solid "${DRIVE_CW}x1+$(x_of 5)+$(($(y_of 1) + y))"; then dy=$y; break; fi
done
[[ -n $dy ]] || drive_fail "─ does not reach from the left of its cell to the right"

# Down the three rows: │ and ┼ unbroken, the blocks one solid area.
solid "1x$((3 * DRIVE_LH))+$(($(x_of 0) + dx))+$(y_of 1)" || drive_fail "│ is broken between rows"
solid "1x$((3 * DRIVE_LH))+$(($(x_of 3) + dx))+$(y_of 1)" || drive_fail "┼ is broken between rows"
solid "$((2 * DRIVE_CW))x$((3 * DRIVE_LH))+$(x_of 1)+$(y_of 1)" || drive_fail "the blocks leave gaps"
# Along each row: ┼ into ─ ─, and the typed row the same.
for row in 1 2 3; do
  solid "$((3 * DRIVE_CW))x1+$(x_of 3)+$(($(y_of "$row") + dy))" || drive_fail "row $row: ┼── is broken"
done

# The box's sides, from corner to corner.
top=$(($(y_of 5) + dy)) bottom=$(($(y_of 7) + dy)) left=$(($(x_of 0) + dx)) right=$(($(x_of 4) + dx))
solid "$((right - left + 1))x1+$left+$top" || drive_fail "the box's top side is open"
solid "$((right - left + 1))x1+$left+$bottom" || drive_fail "the box's bottom side is open"
solid "1x$((bottom - top + 1))+$left+$top" || drive_fail "the box's left side is open"
solid "1x$((bottom - top + 1))+$right+$top" || drive_fail "the box's right side is open"

drive_keys_prompt ctrl+k s || drive_fail "no \"Save file:\" prompt"
drive_keys_fast Return
settle "saving"
[[ $(sed -n 4p box.txt) == "│██┼──" ]] || drive_fail "the typed row reads $(sed -n 4p box.txt)"
[[ $(sed -n 6,8p box.txt | tr '\n' ' ') == "┌───┐ │   │ └───┘ " ]] ||
  drive_fail "the box reads $(sed -n 6,8p box.txt | tr '\n' ' ')"

drive_expect_close
echo "box_cells: ok"
