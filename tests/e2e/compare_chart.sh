#!/usr/bin/env bash
# The text tools as a user reaches them: two texts side by side (the text
# list's V), Compare from the Extras menu, the marked lines' colours on
# screen, a filler typed into, UnCompare; SumLines (Shift+F4) over a column
# block; characters picked from the chart (Ctrl+O O) with clicks on its
# grid and a page turned; a box drawn with BoxDraw and the drag keys.  The
# text is saved and compared byte for byte.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin compare_chart
data=$DRIVE_DATA

for i in $(seq -w 1 30); do echo "line $i"; done >"$data/a.txt"
{ head -5 "$data/a.txt"; printf 'new 1\nnew 2\nnew 3\n'; tail -n +6 "$data/a.txt"; } >"$data/b.txt"
cp "$data/a.txt" "$data/a.orig"
cp "$data/b.txt" "$data/b.orig"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -d a.txt b.txt || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at the start"

at() { xdotool mousemove --window "$DRIVE_WIN" "$1" "$2" && sleep 0.1; }
click() { at "$1" "$2" && xdotool click 1; }
double_click() { at "$1" "$2" && xdotool click --repeat 2 --delay 40 1; }
entry_y() { echo $((25 + 1 + 2 + 18 * $1 + 9)); }
settle() { drive_wait_stable || drive_fail "the screen does not settle after $1"; }
# The main menu from its first item: menu m (from 0), item i (from 0), Enter.
menu() {
  drive_keys_fast shift+space $(printf 'Left %.0s' {1..18}) $(printf 'Up %.0s' {1..16})
  [[ $1 -gt 0 ]] && drive_keys_fast $(printf 'Right %.0s' $(seq 1 "$1"))
  [[ $2 -gt 0 ]] && drive_keys_fast $(printf 'Down %.0s' $(seq 1 "$2"))
  drive_keys_fast Return
  settle "menu $1 item $2"
}
extras=10
# Pointing on (Settings, TogglePointing), for the text list's clicks.
drive_keys_fast shift+space $(printf 'Right %.0s' {1..14}) $(printf 'Down %.0s' {1..15}) space Escape
settle "the Settings menu"
# a.txt current, b.txt to its right.
click $((DRIVE_LEFT + DRIVE_CW + 1)) 3
settle "a click on the top line"
double_click 20 "$(entry_y 0)"
drive_wait_title "Vexor - $data/a.txt" || drive_fail "a.txt was not selected: $(drive_title)"
click $((DRIVE_LEFT + DRIVE_CW + 1)) 3
settle "a click on the top line"
drive_keys_fast Down v
settle "V in the text list"

menu $extras 6
drive_shot "$data/compared.png"
# Text row r of the pair, a point left of the middle and one right of it.
row_y() { echo $((($1 + 2) * DRIVE_LH + DRIVE_LH / 2)); }
left_x=$((DRIVE_LEFT + 12 * DRIVE_CW))
right_x=$((DRIVE_LEFT + 62 * DRIVE_CW))
for r in 5 6 7; do
  got=$(drive_pixel "$data/compared.png" "$left_x" "$(row_y $r)")
  [[ ${got,,} == e0e0ff ]] || drive_fail "filler row $r of a.txt is #$got, not light blue"
  got=$(drive_pixel "$data/compared.png" "$right_x" "$(row_y $r)")
  [[ ${got,,} == ffe0e0 ]] || drive_fail "extra row $r of b.txt is #$got, not light red"
done
for x in "$left_x" "$right_x"; do
  got=$(drive_pixel "$data/compared.png" "$x" "$(row_y 3)")
  [[ ${got,,} != e0e0ff && ${got,,} != ffe0e0 ]] || drive_fail "an equal row is marked: #$got"
done

# Typed into the second filler; UnCompare deletes the untouched ones.
drive_keys_fast ctrl+Home Down Down Down Down Down Down
drive_type_fast "typed"
settle "typing into a filler"
menu $extras 7
drive_shot "$data/uncompared.png"
got=$(drive_pixel "$data/uncompared.png" "$right_x" "$(row_y 5)")
[[ ${got,,} != ffe0e0 ]] || drive_fail "b.txt still shows its marks after UnCompare"

# SumLines over the numbers of lines 1-4, into the start of the last line.
drive_keys_fast ctrl+Home Home Right Right Right Right Right alt+k b Down Down Down Right Right alt+k k
drive_keys_fast ctrl+End Home shift+F4
settle "SumLines"

# The chart: A, B and C from page 0, the first cell of page 1.
drive_keys_fast End Return Home ctrl+o o
settle "opening the chart"
cell_x() { echo $((kChartX + 1 + 40 + 33 * $1 + 16)); }
cell_y() { echo $((kChartY + 1 + 45 + 25 * $1 + 12)); }
kChartX=100 kChartY=50
for c in 1 2 3; do click "$(cell_x $c)" "$(cell_y 4)"; done
click $((kChartX + 1 + 20)) "$(cell_y 4)"  # beside the grid: nothing
drive_keys_fast Right
settle "turning the chart's page"
click "$(cell_x 0)" "$(cell_y 0)"
settle "the picks"
drive_shot "$data/chart.png"
drive_keys_fast Return
settle "inserting the picks"

# A box below, drawn with the drag keys while BoxDraw is on.
drive_keys_fast Return Return Return Up Up
menu $extras 3
drive_keys_fast shift+Right shift+Right shift+Down shift+Down shift+Left shift+Left shift+Up shift+Up
settle "drawing the box"
drive_keys_prompt ctrl+k s || drive_fail "no \"Save file:\" prompt for a.txt"
drive_keys_fast Return
settle "saving a.txt"

{
  head -5 "$data/a.orig"
  echo typed
  sed -n '6,29p' "$data/a.orig"
  echo "       10.00line 30"
  echo "ABCĀ"
  echo "┌─┐"
  echo "│ │"
  echo "└─┘"
} >"$data/a.want"
cmp -s a.txt "$data/a.want" || drive_fail "a.txt is not as made: $(diff "$data/a.want" a.txt | head -10)"
cmp -s b.txt "$data/b.orig" || drive_fail "b.txt changed on disk"

drive_expect_close
echo "compare_chart: ok"
