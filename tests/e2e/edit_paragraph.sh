#!/usr/bin/env bash
# Editing a paragraph with word wrap on (Ctrl+O W): typed words that cross
# the right margin (column 79) move to a new line; a word typed in the middle
# of a line after arrow and Ctrl+Left/Right moves stays there; lines deleted
# with Ctrl+Y come back with Ctrl+U before the cursor line, newest first;
# Ctrl+K D and Enter write exactly the expected bytes.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin edit_paragraph
data=$DRIVE_DATA

# Words w001 ... of four characters, from $1 to $2, joined by single blanks.
words() {
  local i out=""
  for ((i = $1; i <= $2; i++)); do out+=$(printf 'w%03d ' "$i"); done
  printf '%s' "${out% }"
}
# A line as the editor writes it by default: every run of blanks that ends
# on a tab stop (a multiple of 8 columns) becomes one TAB, trailing blanks
# go. The input holds no TABs, so a character's column is its index.
fold() {
  awk '{
    out = ""; run = ""
    for (i = 1; i <= length($0); i++) {
      c = substr($0, i, 1)
      if (c != " ") { out = out run c; run = "" }
      else if (i % 8 == 0) { out = out "\t"; run = "" }
      else run = run " "
    }
    print out
  }'
}

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -d para.txt || drive_fail "vexor did not open its window"
drive_keys_fast ctrl+o w

# 36 words of five columns each with their blank: a line holds columns 0 to
# 79, so w017 (typed at column 80) and w033 start new lines.
drive_type_fast "$(words 1 36)"
drive_wait_stable || drive_fail "the screen does not settle after typing"
drive_shot "$data/wrapped.png" || drive_fail "no screenshot"
# Three rows of text and the end-of-text mark, nothing below.
for ((r = 0; r < 5; r++)); do
  n=$(drive_colours "$data/wrapped.png" "$(drive_row "$r")")
  if ((r < 4)); then
    ((n > 1)) || drive_fail "row $r ($(drive_row "$r")) is empty: the paragraph did not wrap onto three lines"
  else
    ((n == 1)) || drive_fail "row $r ($(drive_row "$r")) shows $n colours: the paragraph wrapped onto more than three lines"
  fi
done

# The cursor stands behind w036 (line 3, column 19). On line 2, column 19 is
# the blank after w020; three words right (20, 25, 30), two back (25, 20),
# one left and one right land on w021, where "new " goes in. The line now
# runs past the margin: typing inside a line does not wrap it.
drive_keys_fast Up ctrl+Right ctrl+Right ctrl+Right ctrl+Left ctrl+Left Left Right
drive_type_fast "new "
# Line 2 (still being edited) goes to the deleted-line store and comes back
# at once; then line 1 is deleted and restored below the new line 1.
drive_keys_fast ctrl+y ctrl+u Up ctrl+y Down ctrl+u
drive_save_exit

{
  printf '%s new %s\n' "$(words 17 20)" "$(words 21 32)"
  words 1 16
  echo
  words 33 36
  echo
} | fold >"$data/want"
# The old line 1 keeps its TAB before column 40; the inserted word moves
# the blanks of the old line 2 so that those before columns 24 and 64 end on
# tab stops.
[[ $(awk -F'\t' '{ printf "%d ", NF - 1 }' "$data/want") == "2 1 0 " ]] ||
  drive_fail "the expected text is not what this test means: $(cat -A "$data/want")"
[[ -f para.txt ]] || drive_fail "para.txt was not written"
if ! cmp -s para.txt "$data/want"; then
  diff <(cat -A "$data/want") <(cat -A para.txt) >&2
  drive_fail "para.txt differs from the expected text (- expected, + written)"
fi
echo "edit_paragraph: ok"
