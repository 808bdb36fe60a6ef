#!/usr/bin/env bash
# The line and column tools as a user reaches them: a column block sorted
# with Shift+F3, a line block coded with Ctrl+B 3 (ROT13), the line-ups
# Alt+L, Alt+R, Win+C and Win+L, Ctrl+Enter down to a field's column,
# Win+M shifting an indented section, Ctrl+K Z joining a paragraph and Lix
# from the menu; the saved file holds exactly what each did, byte for byte.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin text_tools
data=$DRIVE_DATA

cat >"$data/tools.txt" <<'TEXT'
zebra 3
apple 1
mango 2
      indented
text
int x = 1;  // note
name  value
next
    if (a)
      b();

one two
three four five
TEXT

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -d tools.txt || drive_fail "vexor did not open its window"
drive_wait_stable || drive_fail "the screen does not settle at the start"

# Lines 1 to 3 sorted by their first column, then the block unmarked.
drive_keys_fast alt+k b Down Down Right alt+k k shift+F3 ctrl+k h
# Line 1 (now "apple 1") coded as a line block.
drive_keys_fast Up Up Home ctrl+k b End ctrl+k k ctrl+b 3 ctrl+k h
# Line 4's text to column 2; line 5's to end before column 10; line 6's
# comment from column 12 to 20; line 7's second field from 6 to 8. Each
# steps down a line.
drive_keys_fast Down Down Down Home Right Right alt+l
drive_keys_fast End Right Right Right Right Right Right alt+r
drive_keys_fast Right Right Right Right Right Right Right Right Right Right super+c
drive_keys_fast Home Right Right Right Right Right Right Right Right super+l
# Back on line 7, Ctrl+Enter goes down to column 8, where the second field
# now starts; X is typed there.
drive_keys_fast Up ctrl+Return
drive_type_fast "X"
# Lines 9 and 10 shifted two columns left as one section.
drive_keys_fast Down Home Right Right super+m super+m
# The paragraph of lines 12 and 13 joined.
drive_keys_fast Down ctrl+k z
# Lix, from the Extras menu (the eleventh, fifth item), writes its figures
# on the alert line; the text stays as it is.
drive_wait_stable || drive_fail "the screen does not settle after the reflow"
drive_keys_fast shift+space Right Right Right Right Right Right Right Right Right Right Down Down Down Down
drive_keys_prompt Return || drive_fail "no alert after Lix from the Extras menu"
drive_save_exit

{
  echo "nccyr 6"
  echo "mango 2"
  echo "zebra 3"
  echo "  indented"
  echo "      text"
  echo "int x = 1;          // note"
  echo "name    value"
  echo "next    X"
  echo "  if (a)"
  echo "    b();"
  echo
  echo "one two three four five"
} >"$data/want"
[[ -f tools.txt ]] || drive_fail "tools.txt was not written"
if ! cmp -s tools.txt "$data/want"; then
  diff <(cat -A "$data/want") <(cat -A tools.txt) >&2
  drive_fail "tools.txt differs from the expected text (- expected, + written)"
fi
echo "text_tools: ok"
