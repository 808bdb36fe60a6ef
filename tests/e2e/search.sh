#!/usr/bin/env bash
# Search and replace as a user does them: Ctrl+Q F finds a word and shows it
# highlighted until the next key; Ctrl+Q A replaces with the answers y, n, y
# and ends with the count; Win+Right jumps from a parenthesis to its partner,
# where a typed character lands. The saved file holds exactly that.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin search
data=$DRIVE_DATA

printf 'one two one\nthree (x (y) z)\nend one\n' >"$data/s.txt"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -d s.txt || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at the start"
shot=$DRIVE_DATA

# The hit: columns 4-6 of the first text row.
drive_keys_prompt ctrl+q f || drive_fail "no \"Search for:\" prompt after Ctrl+Q F"
drive_type_fast "TWO"
drive_keys_prompt Return || drive_fail "no option prompt"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after the search"
drive_shot "$shot/hit.png" || drive_fail "no screenshot"
y0=$((2 * DRIVE_LH + 1))
hit=$(drive_pixel "$shot/hit.png" $((DRIVE_LEFT + 5 * DRIVE_CW + 1)) $y0)
beside=$(drive_pixel "$shot/hit.png" $((DRIVE_LEFT + 8 * DRIVE_CW + 1)) $y0)
[[ $hit != "$beside" ]] || drive_fail "the match is not highlighted ($hit, $beside)"
# The next key ends the highlight.
drive_keys_fast Down
drive_wait_stable || drive_fail "the screen does not settle after Down"
drive_shot "$shot/after.png" || drive_fail "no screenshot"
gone=$(drive_pixel "$shot/after.png" $((DRIVE_LEFT + 5 * DRIVE_CW + 1)) $y0)
plain=$(drive_pixel "$shot/after.png" $((DRIVE_LEFT + 8 * DRIVE_CW + 1)) $y0)
[[ $gone == "$plain" && $gone != "$hit" ]] || drive_fail "the highlight stays after a key ($gone, $plain, $hit)"

# Replace one by 1: yes, no, yes; the run ends by itself.
drive_keys_prompt ctrl+q a || drive_fail "no \"Search for:\" prompt after Ctrl+Q A"
drive_type_fast "one"
drive_keys_prompt Return || drive_fail "no \"Replace with:\" prompt"
drive_type_fast "1"
drive_keys_prompt Return || drive_fail "no option prompt"
drive_keys_prompt Return || drive_fail "no question after the options"
for answer in y n y; do
  drive_wait_stable || drive_fail "the screen does not settle before the answer $answer"
  drive_keys_fast "$answer"
done
drive_wait_stable || drive_fail "the screen does not settle after the answers"

# To the "(" of "(x" and across to its partner; "!" is typed there.
drive_keys_prompt ctrl+q f || drive_fail "no \"Search for:\" prompt the second time"
drive_type_fast "(x"
drive_keys_prompt Return || drive_fail "no option prompt the second time"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after the second search"
drive_keys_fast super+Right
drive_wait_stable || drive_fail "the screen does not settle after Win+Right"
drive_type_fast "!"
drive_save_exit

printf '1 two one\nthree (x (y) z!)\nend 1\n' >"$data/want.txt"
cmp s.txt "$data/want.txt" || drive_fail "s.txt: $(od -c s.txt)"
echo "search: ok"
