#!/usr/bin/env bash
# C source colouring on screen: AltGr+S turns it on for a C file; the
# keyword, the number, the string and the comment take colours of their own
# and the plain text keeps the plain one; AltGr+S again turns it off. The
# file is not touched by looking at it.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin syntax
data=$DRIVE_DATA

# Row 0: "int  xyz = 12345678; // a note here"
# Row 1: "   x = \"a string here\";"
printf 'int  xyz = 12345678; // a note here\n   x = "a string here";\n' >"$data/c.c"
cp "$data/c.c" "$data/orig.c"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -d c.c || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at the start"

# The mean colour of the cell at text row $2, column $3 of the shot $1: the
# same glyph in the same colours gives the same value.
cell() {
  convert "$1" -crop "$(drive_cell "$2" "$3")" +repage -scale '1x1!' -format '%[pixel:p{0,0}]' info:-
}

# The cursor stands on row 0; row 1 shows the ordinary line colours.
altgr_s() {
  xdotool keydown ISO_Level3_Shift key s keyup ISO_Level3_Shift
}
drive_keys_fast Down
drive_wait_stable || drive_fail "the screen does not settle after Down"
drive_shot "$data/plain.png" || drive_fail "no screenshot"
altgr_s
drive_wait_stable || drive_fail "the screen does not settle after AltGr+S"
drive_shot "$data/source.png" || drive_fail "no screenshot"

# On row 0 (not the cursor row after Down): keyword, number and comment
# change colour, the plain text between them keeps its own.
for col in 1 13 26; do
  [[ $(cell "$data/source.png" 0 $col) != "$(cell "$data/plain.png" 0 $col)" ]] ||
    drive_fail "column $col of row 0 is still painted plain"
done
for col in 6 9; do
  [[ $(cell "$data/source.png" 0 $col) == "$(cell "$data/plain.png" 0 $col)" ]] ||
    drive_fail "plain text at column $col changed colour"
done
# Row 1, the cursor row: the string is coloured too.
[[ $(cell "$data/source.png" 1 10) != "$(cell "$data/plain.png" 1 10)" ]] ||
  drive_fail "the string is painted plain"

altgr_s
drive_wait_stable || drive_fail "the screen does not settle after the second AltGr+S"
drive_shot "$data/off.png" || drive_fail "no screenshot"
for col in 1 13 26; do
  [[ $(cell "$data/off.png" 0 $col) == "$(cell "$data/plain.png" 0 $col)" ]] ||
    drive_fail "the colouring stays at column $col after turning it off"
done

drive_close
drive_wait_exit || drive_fail "vexor did not end"
cmp "$data/c.c" "$data/orig.c" || drive_fail "looking at the file changed it"
echo "syntax: ok"
