#!/usr/bin/env bash
# Paging through a text of characters that fonts draw oddly -- combining
# marks, zero-width and format characters, a byte-order mark, NUL, arrows
# wider than a cell, the replacement character, characters the font lacks,
# bytes that are no UTF-8 -- and back to the first page shows exactly the
# first page as it was: nothing of the other pages stays on screen. The font
# is a proportional one on purpose (its advances differ from the cell).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin pages
data=$DRIVE_DATA
DRIVE_FONT=DejaVuSans.ttf

{
  printf '\xef\xbb\xbfint main(void) { return 0; }\n'
  for i in $(seq 1 30); do
    printf 'e\xcc\x81\xcc\x81\xcc\x81 a\xe2\x80\x8bb\xe2\x81\xa0c \xe2\x80\xaaLRE\xe2\x80\xac x\xe2\x87\x92y\xe2\x87\x94z %02d\n' "$i"
    printf 'nul\0here "\0" \xef\xbf\xbd\xef\xbf\xbd \xe4\xb8\xad\xe6\x96\x87 bad\x80\xff\xc3( WWWWWWWW %02d\n' "$i"
    printf 'iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii\xef\xbb\xbf%02d\n' "$i"
  done
} >"$data/hostile.txt"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start hostile.txt || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle"
# The text rows, from the first to the last the 800x600 window holds.
rows=$(((600 - 2 * DRIVE_LH) / DRIVE_LH))
text="790x$((rows * DRIVE_LH))+0+$((2 * DRIVE_LH))"
drive_shot "$data/page1-before.png" || drive_fail "no screenshot"
before=$(drive_checksum "$data/page1-before.png" "$text")

drive_keys_fast Next
drive_wait_stable || drive_fail "the screen does not settle on page 2"
drive_shot "$data/page2.png" || drive_fail "no screenshot"
[[ $(drive_checksum "$data/page2.png" "$text") != "$before" ]] || drive_fail "PageDown did not show another page"
drive_keys_fast Next Prior Prior
drive_wait_stable || drive_fail "the screen does not settle back on page 1"
drive_shot "$data/page1-after.png" || drive_fail "no screenshot"
after=$(drive_checksum "$data/page1-after.png" "$text")
if [[ $after != "$before" ]]; then
  diff=$(compare -metric AE "$data/page1-before.png" "$data/page1-after.png" null: 2>&1)
  drive_fail "page 1 differs after paging ($diff pixels): pixels of other pages stayed"
fi

drive_expect_close
echo "pages: ok"
