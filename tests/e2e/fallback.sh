#!/usr/bin/env bash
# Characters the text font lacks are drawn from the other installed fonts:
# maths signs, an ideograph, kana, Georgian, Ethiopic, Braille and an emoji
# each show ink in their own cell, and a character no font has still shows
# the missing-glyph box. Looking at the file does not change it.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin fallback
data=$DRIVE_DATA

fonts=/usr/share/fonts/truetype
for file in wqy/wqy-microhei.ttc freefont/FreeSerif.ttf ancient-scripts/Symbola_hint.ttf; do
  if [[ ! -f $fonts/$file ]]; then
    echo "fallback: skipped ($fonts/$file missing; scripts/install-deps.sh installs it)"
    exit 0
  fi
done

# Row 0 stays empty for the cursor. Row 1: the characters at the even
# columns 0..20, blanks between them; U+10FFFD (no font has it) at 22.
printf '\n\xe2\x88\x91 \xe2\x88\x8f \xe2\x8b\x85 \xe2\x88\xae \xe4\xb8\xad \xe3\x81\x82 \xe3\x82\xa2 \xe1\x83\x90 \xe1\x88\x80 \xe2\xa0\xbf \xf0\x9f\x98\x80 \xf4\x8f\xbf\xbd\n' >"$data/scripts.txt"
cp "$data/scripts.txt" "$data/orig.txt"

drive_start_x || drive_fail "no X server"
# Beside the pinned text font, the fallback packages' folders; "Mono" stays
# the text font so that the cell is the one measured.
pinned=$(dirname "$FONTCONFIG_FILE")
cat >"$FONTCONFIG_FILE" <<CONF
<?xml version="1.0"?>
<fontconfig>
  <dir>$pinned/fonts</dir>
  <dir>$fonts/wqy</dir>
  <dir>$fonts/freefont</dir>
  <dir>$fonts/ancient-scripts</dir>
  <alias><family>Mono</family><prefer><family>DejaVu Sans Mono</family></prefer></alias>
  <cachedir>$pinned/cache</cachedir>
</fontconfig>
CONF
cd "$data" || drive_fail "no data folder"
drive_start -d scripts.txt || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at the start"
drive_shot "$data/shot.png" || drive_fail "no screenshot"

# The number of pixels of cell (row $1, column $2) unlike the cell's most
# common colour, the background.
ink() {
  convert "$data/shot.png" -crop "$(drive_cell "$1" "$2")" +repage -colorspace gray \
    -format '%c' histogram:info:- | sort -rn | awk 'NR > 1 { n += $1 } END { print n + 0 }'
}
# The picture of a cell, as a checksum of its pixels.
picture() {
  convert "$data/shot.png" -crop "$(drive_cell "$1" "$2")" +repage -format '%#' info:-
}
blank=$(ink 1 1)
((blank == 0)) || drive_fail "the blank between glyphs has ink: $blank pixels"
box=$(picture 1 22)
(($(ink 1 22) > 4)) || drive_fail "a character no font has shows no box"
for col in 0 2 4 6 8 10 12 14 16 18 20; do
  n=$(ink 1 $col)
  ((n > 4)) || drive_fail "column $col of row 1 shows no glyph ($n pixels of ink)"
  [[ $(picture 1 $col) != "$box" ]] || drive_fail "column $col of row 1 shows the missing-glyph box"
done

drive_close
drive_wait_exit || drive_fail "vexor did not end"
cmp "$data/scripts.txt" "$data/orig.txt" || drive_fail "looking at the file changed it"
echo "fallback: ok"
