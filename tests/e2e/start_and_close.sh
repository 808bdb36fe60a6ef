#!/usr/bin/env bash
# vexor opens one window on the files it is given, titles it after the
# current text, paints the text with its status line, and ends with status 0
# when the window manager asks it to close, leaving the files untouched.
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

printf 'alpha line\nbeta line\n' >"$data/a.txt"
printf 'second file\n' >"$data/b.txt"
cp "$data/a.txt" "$data/a.orig"
cp "$data/b.txt" "$data/b.orig"

drive_start_x || fail "no X server"
cd "$data" || fail "no data folder"
drive_start a.txt b.txt || fail "vexor did not open its window"

title=$(xdotool getwindowname "$DRIVE_WIN")
[[ $title == "Vexor - $data/b.txt" ]] || fail "title is '$title'"
class=$(xprop -id "$DRIVE_WIN" WM_CLASS 2>/dev/null || true)
if [[ -n $class ]]; then
  [[ $class == *'"vexor", "Vexor"'* ]] || fail "WM_CLASS is '$class'"
fi
eval "$(xdotool getwindowgeometry --shell "$DRIVE_WIN")"
[[ $WIDTH == 800 && $HEIGHT == 600 ]] || fail "window is ${WIDTH}x$HEIGHT, not the default 800x600"

drive_shot "$DRIVE_WORK/shot.png" || fail "no screenshot"
# The status line across the top in the status colours.
status=$(drive_pixel "$DRIVE_WORK/shot.png" 700 3)
[[ $status == B0DC1C ]] || fail "status line colour is $status, not B0DC1C"
# Below the text: the plain background.
bkg=$(drive_pixel "$DRIVE_WORK/shot.png" 400 400)
[[ $bkg == FFFFFF ]] || fail "text background is $bkg"
# The first text rows hold glyphs: many shades, not one flat colour.
rows=$(drive_colours "$DRIVE_WORK/shot.png" 700x60+0+44)
((rows > 4)) || fail "text rows look blank ($rows colours)"
# Outside the 800-pixel window nothing is drawn.
outside=$(drive_pixel "$DRIVE_WORK/shot.png" 900 3)
[[ $outside != B0DC1C ]] || fail "painted outside the window"

drive_close || fail "could not send the close request"
drive_wait_exit 10 || fail "vexor still runs after the close request"
[[ $DRIVE_STATUS == 0 ]] || fail "exit status $DRIVE_STATUS"
[[ ! -s $DRIVE_ERR ]] || fail "unexpected standard error: $(cat "$DRIVE_ERR")"
cmp -s "$data/a.txt" "$data/a.orig" || fail "a.txt changed"
cmp -s "$data/b.txt" "$data/b.orig" || fail "b.txt changed"
echo "start_and_close: ok"
