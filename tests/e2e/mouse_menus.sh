#!/usr/bin/env bash
# The menus and the mouse as a user meets them, with real pointer events:
# the main menu by keys (Shift+Space, arrows, Space on a switch, Enter on an
# item) turns pointing on and zooms a split; a click on the top line's first
# columns opens the text list, a double click on an entry selects its text,
# H splits the window with the highlighted text; the wheel scrolls, a double
# click places the cursor on the cell clicked; both texts are saved and hold
# exactly what was typed where.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin mouse_menus
data=$DRIVE_DATA

for i in $(seq -w 1 40); do echo "line $i of a"; done >"$data/a.txt"
for i in $(seq -w 1 40); do echo "row $i of b"; done >"$data/b.txt"
cp "$data/a.txt" "$data/a.orig"
cp "$data/b.txt" "$data/b.orig"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -d a.txt b.txt || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at the start"
drive_shot "$data/before.png"

# Text cell (row, column) of the single view, as window coordinates.
cell_x() { echo $((DRIVE_LEFT + $1 * DRIVE_CW + DRIVE_CW / 2)); }
cell_y() { echo $((($1 + 2) * DRIVE_LH + DRIVE_LH / 2)); }
at() { xdotool mousemove --window "$DRIVE_WIN" "$1" "$2" && sleep 0.1; }
click() { at "$1" "$2" && xdotool click 1; }
double_click() { at "$1" "$2" && xdotool click --repeat 2 --delay 40 1; }
# The text list: a pop-up at (2, 25) with a border of 1, entries 18 pixels apart.
entry_y() { echo $((25 + 1 + 2 + 18 * $1 + 9)); }
open_list() {
  click $((DRIVE_LEFT + DRIVE_CW + 1)) 3
  drive_wait_stable || drive_fail "the screen does not settle after a click on the top line"
}

# The main menu by keys: the bar replaces the status line, the items show
# under it.  Settings (the 15th title), TogglePointing (its 16th item), Space.
drive_keys_fast shift+space
drive_wait_stable || drive_fail "the screen does not settle with the menu open"
drive_shot "$data/menu.png"
[[ $(drive_checksum "$data/menu.png" 300x40+0+0) != $(drive_checksum "$data/before.png" 300x40+0+0) ]] ||
  drive_fail "no menu bar over the status line"
[[ $(drive_checksum "$data/menu.png" 120x100+5+50) != $(drive_checksum "$data/before.png" 120x100+5+50) ]] ||
  drive_fail "no menu items under the bar"
drive_keys_fast Right Right Right Right Right Right Right Right Right Right Right Right Right Right
drive_keys_fast Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down space Escape
drive_wait_stable || drive_fail "the screen does not settle after the menu closed"
drive_shot "$data/closed.png"
[[ $(drive_checksum "$data/closed.png" "300x$((DRIVE_LH - 2))+0+0") == $(drive_checksum "$data/before.png" "300x$((DRIVE_LH - 2))+0+0") ]] ||
  drive_fail "the status line is not back after the menu closed"

# The text list by a click, a text chosen by a double click on its entry.
open_list
drive_shot "$data/list.png"
[[ $(drive_checksum "$data/list.png" 150x36+4+28) != $(drive_checksum "$data/closed.png" 150x36+4+28) ]] ||
  drive_fail "no text list after a click on the top line's first columns"
double_click 20 "$(entry_y 0)"
drive_wait_title "Vexor - $data/a.txt" || drive_fail "the double click on a.txt's entry did not select it: $(drive_title)"

# A split made from the list (H on b.txt's entry), then zoomed away by the
# menu's Mich / ZoomText and Enter, so that the clicks below meet one view.
open_list
drive_keys_fast Down h
drive_wait_stable || drive_fail "the screen does not settle after H"
# In the split layout the status line starts with the text's number.
number_cells="$((2 * DRIVE_CW))x$((DRIVE_LH - 2))+$DRIVE_LEFT+0"
drive_shot "$data/split.png"
[[ $(drive_checksum "$data/split.png" "$number_cells") != $(drive_checksum "$data/before.png" "$number_cells") ]] ||
  drive_fail "no text number on the status line after H: no split"
# The menu opens where it was left (Settings): back to File, first item.
drive_keys_fast shift+space $(printf 'Left %.0s' {1..17}) $(printf 'Up %.0s' {1..16})
drive_keys_fast $(printf 'Right %.0s' {1..11}) Down Down Return
drive_wait_stable || drive_fail "the screen does not settle after ZoomText"
drive_shot "$data/zoomed.png"
[[ $(drive_checksum "$data/zoomed.png" "$number_cells") == $(drive_checksum "$data/before.png" "$number_cells") ]] ||
  drive_fail "the text number still shows after ZoomText: no single view"

# The wheel: three lines down; then a double click on text row 2, column 4.
at "$(cell_x 10)" "$(cell_y 5)"
xdotool click --repeat 3 --delay 250 5
drive_wait_stable || drive_fail "the screen does not settle after the wheel"
double_click "$(cell_x 4)" "$(cell_y 2)"
drive_wait_stable || drive_fail "the screen does not settle after the double click"
drive_shot "$data/placed.png"
drive_type "X"
drive_keys_prompt ctrl+k s || drive_fail "no \"Save file:\" prompt for a.txt"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after saving a.txt"
drive_shot "$data/after.png"

# The other text by the list's digit key; the first cell by a double click.
open_list
drive_keys_fast 2
drive_wait_title "Vexor - $data/b.txt" || drive_fail "the list's key 2 did not select b.txt: $(drive_title)"
double_click "$(cell_x 0)" "$(cell_y 0)"
drive_wait_stable || drive_fail "the screen does not settle after the double click in b.txt"
drive_type "Y"
drive_wait_stable || drive_fail "the screen does not settle after typing in b.txt"
drive_keys_prompt ctrl+k s || drive_fail "no \"Save file:\" prompt for b.txt"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after saving b.txt"

sed '6s/^line/lineX/' "$data/a.orig" >"$data/a.want"
sed '1s/^/Y/' "$data/b.orig" >"$data/b.want"
cmp -s a.txt "$data/a.want" || drive_fail "a.txt is not as typed: $(diff "$data/a.want" a.txt | head -5)"
cmp -s b.txt "$data/b.want" || drive_fail "b.txt is not as typed: $(diff "$data/b.want" b.txt | head -5)"
# The typed X shows in the cell clicked (text row 2, column 4).
[[ $(drive_checksum "$data/after.png" "$(drive_cell 2 4)") != $(drive_checksum "$data/placed.png" "$(drive_cell 2 4)") ]] ||
  drive_fail "the cell clicked did not change on screen"

drive_expect_close
echo "mouse_menus: ok"
