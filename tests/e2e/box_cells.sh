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

# BoxDraw from the Extras menu steps thin, wide, double, off: a 5 x 3 box
# in each style, side by side.
mapfile -t home < <(printf 'Left\n%.0s' {1..18}; printf 'Up\n%.0s' {1..16})
mapfile -t extras < <(printf 'Right\n%.0s' {1..10})
box_draw() {
  drive_keys_fast shift+space "${home[@]}"
  drive_keys_fast "${extras[@]}" Down Down Down Return
  settle "BoxDraw"
}
drive_keys_fast Down Down Home
for style in thin wide double; do
  box_draw
  drive_keys_fast shift+Right shift+Right shift+Right shift+Right shift+Down shift+Down \
    shift+Left shift+Left shift+Left shift+Left shift+Up shift+Up
  settle "drawing the $style box"
  drive_keys_fast Right Right Right Right Right Right
done
box_draw
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

# Horizontal line at y from x0 to x1, vertical one at x from y0 to y1.
hline() { solid "$(($3 - $2 + 1))x1+$2+$1"; }
vline() { solid "1x$(($3 - $2 + 1))+$1+$2"; }
# The thin and the wide box: their sides from corner to corner (a wide
# line holds the thin one's pixels).
for first in 0 6; do
  top=$(($(y_of 5) + dy)) bottom=$(($(y_of 7) + dy))
  left=$(($(x_of "$first") + dx)) right=$(($(x_of $((first + 4))) + dx))
  hline "$top" "$left" "$right" || drive_fail "the box at column $first: top side open"
  hline "$bottom" "$left" "$right" || drive_fail "the box at column $first: bottom side open"
  vline "$left" "$top" "$bottom" || drive_fail "the box at column $first: left side open"
  vline "$right" "$top" "$bottom" || drive_fail "the box at column $first: right side open"
done
# The double box: two lines a side, the gap between them open.  Its first
# corner is left out: with no character for a lone double arm, the box tool
# starts with ═ and closes the box there as ╦.
rows=() cols=()
for ((y = 0; y < DRIVE_LH; y++)); do
  hline $(($(y_of 5) + y)) "$(x_of 14)" $(($(x_of 15) - 1)) && rows+=("$y")
done
for ((x = 0; x < DRIVE_CW; x++)); do
  vline $(($(x_of 16) + x)) "$(y_of 6)" $(($(y_of 7) - 1)) && cols+=("$x")
done
((${#rows[@]} >= 2 && ${#cols[@]} >= 2)) || drive_fail "═ or ║ is not two lines across the cell"
o1=${rows[0]} o2=${rows[-1]} p1=${cols[0]} p2=${cols[-1]}
look "${DRIVE_CW}x1+$(x_of 14)+$(($(y_of 5) + (o1 + o2) / 2))" | grep -q "^1 $bg" ||
  drive_fail "the lines of ═ touch"
x0=$(x_of 12) x4=$(x_of 16) y0=$(y_of 5) y2=$(y_of 7)
hline $((y0 + o1)) "$(x_of 13)" $((x4 + p2)) || drive_fail "double box: outer top line open"
hline $((y0 + o2)) "$(x_of 13)" $((x4 + p1)) || drive_fail "double box: inner top line open"
vline $((x4 + p2)) $((y0 + o1)) $((y2 + o2)) || drive_fail "double box: outer right line open"
vline $((x4 + p1)) $((y0 + o2)) $((y2 + o1)) || drive_fail "double box: inner right line open"
hline $((y2 + o2)) $((x0 + p1)) $((x4 + p2)) || drive_fail "double box: outer bottom line open"
hline $((y2 + o1)) $((x0 + p2)) $((x4 + p1)) || drive_fail "double box: inner bottom line open"
vline $((x0 + p1)) "$(y_of 6)" $((y2 + o2)) || drive_fail "double box: outer left line open"
vline $((x0 + p2)) "$(y_of 6)" $((y2 + o1)) || drive_fail "double box: inner left line open"

drive_keys_prompt ctrl+k s || drive_fail "no \"Save file:\" prompt"
drive_keys_fast Return
settle "saving"
[[ $(sed -n 4p box.txt) == "│██┼──" ]] || drive_fail "the typed row reads $(sed -n 4p box.txt)"
boxes=$(sed -n 6,8p box.txt | tr '\n' ' ')
[[ $boxes == "┌───┐ ┏━━━┓ "*"═══╗ │   │ ┃   ┃ ║   ║ └───┘ ┗━━━┛ ╚═══╝ " ]] ||
  drive_fail "the boxes read $boxes"

drive_expect_close
echo "box_cells: ok"
