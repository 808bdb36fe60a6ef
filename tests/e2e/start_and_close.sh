#!/usr/bin/env bash
# vexor opens one window on the files it is given, titles it after the
# current text, paints the text with its status line, and ends with status 0
# when the window manager asks it to close, leaving the files untouched.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin start_and_close
data=$DRIVE_DATA

printf 'alpha line\nbeta line\n' >"$data/a.txt"
printf 'second file\n' >"$data/b.txt"
cp "$data/a.txt" "$data/a.orig"
cp "$data/b.txt" "$data/b.orig"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start a.txt b.txt || drive_fail "vexor did not open its window"

title=$(drive_title)
[[ $title == "Vexor - $data/b.txt" ]] || drive_fail "title is '$title'"
class=$(xprop -id "$DRIVE_WIN" WM_CLASS 2>/dev/null || true)
if [[ -n $class ]]; then
  [[ $class == *'"vexor", "Vexor"'* ]] || drive_fail "WM_CLASS is '$class'"
fi
eval "$(xdotool getwindowgeometry --shell "$DRIVE_WIN")"
[[ $WIDTH == 800 && $HEIGHT == 600 ]] || drive_fail "window is ${WIDTH}x$HEIGHT, not the default 800x600"

drive_shot "$DRIVE_WORK/shot.png" || drive_fail "no screenshot"
# The status line across the top in the status colours.
status=$(drive_pixel "$DRIVE_WORK/shot.png" 700 3)
[[ $status == B0DC1C ]] || drive_fail "status line colour is $status, not B0DC1C"
# Below the text: the plain background.
bkg=$(drive_pixel "$DRIVE_WORK/shot.png" 400 400)
[[ $bkg == FFFFFF ]] || drive_fail "text background is $bkg"
# The first text rows hold glyphs: many shades, not one flat colour.
rows=$(drive_colours "$DRIVE_WORK/shot.png" "700x$((3 * DRIVE_LH))+0+$((2 * DRIVE_LH))")
((rows > 4)) || drive_fail "text rows look blank ($rows colours)"
# Outside the 800-pixel window nothing is drawn.
outside=$(drive_pixel "$DRIVE_WORK/shot.png" 900 3)
[[ $outside != B0DC1C ]] || drive_fail "painted outside the window"

drive_expect_close
[[ ! -s $DRIVE_ERR ]] || drive_fail "unexpected standard error: $(cat "$DRIVE_ERR")"
cmp -s "$data/a.txt" "$data/a.orig" || drive_fail "a.txt changed"
cmp -s "$data/b.txt" "$data/b.orig" || drive_fail "b.txt changed"
echo "start_and_close: ok"
