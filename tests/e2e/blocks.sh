#!/usr/bin/env bash
# Blocks as a user makes them: Shift+Right marks a word (shown highlighted),
# Ctrl+B X cuts it into the paste buffer and Ctrl+B P pastes it at the end
# of another line; a column block marked with Alt+K B and Alt+K K is copied
# with Ctrl+K C and written to a file with Ctrl+K W (asking before it is
# replaced); without a block Ctrl+K W writes the whole text; the text is
# saved. Every file holds exactly what was done, byte for byte.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin blocks
data=$DRIVE_DATA

printf 'alpha beta gamma\nsecond line\nthird line\nfourth line\nfifth line\n' >"$data/a.txt"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -d a.txt || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at the start"
shot=$DRIVE_DATA
drive_shot "$shot/before.png" || drive_fail "no screenshot"

# Five columns marked from the line's start: their cells get a background
# of their own, unlike the cells past the block and the plain line below.
drive_keys_fast shift+Right shift+Right shift+Right shift+Right shift+Right
drive_wait_stable || drive_fail "the screen does not settle after marking"
drive_shot "$shot/highlight.png" || drive_fail "no screenshot"
y0=$((2 * DRIVE_LH + 1))
in_block=$(drive_pixel "$shot/highlight.png" $((DRIVE_LEFT + DRIVE_CW + 1)) $y0)
past_block=$(drive_pixel "$shot/highlight.png" $((DRIVE_LEFT + 8 * DRIVE_CW + 1)) $y0)
plain=$(drive_pixel "$shot/highlight.png" $((DRIVE_LEFT + DRIVE_CW + 1)) $((y0 + DRIVE_LH)))
unmarked=$(drive_pixel "$shot/before.png" $((DRIVE_LEFT + DRIVE_CW + 1)) $y0)
[[ $in_block != "$past_block" && $in_block != "$plain" && $in_block != "$unmarked" ]] ||
  drive_fail "the marked word is not highlighted ($in_block, $past_block, $plain, $unmarked)"

# Cut, then paste at the end of line 2.
drive_keys_fast ctrl+b x Down End ctrl+b p
# A column block over lines 3 and 4, columns 0 to 2, copied to line 5.
drive_keys_fast Down Home alt+k b Down Right Right Right alt+k k Down Home ctrl+k c
drive_wait_stable || drive_fail "the screen does not settle after the copy"
drive_shot "$shot/copied.png" || drive_fail "no screenshot"

drive_keys_prompt ctrl+k w || drive_fail "no \"Write block:\" prompt after Ctrl+K W"
drive_type_fast "blk.txt"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after writing the block"
[[ -f blk.txt ]] || drive_fail "blk.txt was not written"
cp blk.txt "$data/first_blk.txt"

# Writing it again asks before the file is replaced; n keeps it.
drive_keys_prompt ctrl+k w || drive_fail "no \"Write block:\" prompt the second time"
drive_type_fast "blk.txt"
drive_wait_stable || drive_fail "the screen does not settle at the name"
drive_keys_prompt Return || drive_fail "no question before blk.txt is replaced"
drive_keys_fast n
drive_wait_stable || drive_fail "the screen does not settle after the answer"
cmp blk.txt "$data/first_blk.txt" || drive_fail "blk.txt changed though the answer was n"

# Without a block Ctrl+K W writes the whole text.
drive_keys_fast ctrl+k h
drive_wait_stable || drive_fail "the screen does not settle after unmarking"
drive_keys_prompt ctrl+k w || drive_fail "no \"Write block:\" prompt without a block"
drive_type_fast "whole.txt"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after writing the text"
drive_save_exit

printf ' beta gamma\nsecond linealpha\nthird line\nfourth line\nthififth line\nfou\n' >"$data/want.txt"
printf 'thi\nfou\n' >"$data/want_blk.txt"
cmp a.txt "$data/want.txt" || drive_fail "a.txt: $(od -c a.txt)"
[[ -f blk.txt ]] || drive_fail "blk.txt was not written"
cmp blk.txt "$data/want_blk.txt" || drive_fail "blk.txt: $(od -c blk.txt)"
cmp whole.txt "$data/want.txt" || drive_fail "whole.txt: $(od -c whole.txt)"
echo "blocks: ok"
