#!/usr/bin/env bash
# Editing a paragraph with word wrap on (Ctrl+O W): typed words that cross
# the right margin (column 79) move to a new line; a word typed in the middle
# of a line after arrow and Ctrl+Left/Right moves stays there; lines deleted
# with Ctrl+Y come back with Ctrl+U before the cursor line, newest first;
# Ctrl+K D and Enter write exactly the expected bytes.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
data=$(mktemp -d)
trap 'drive_cleanup; rm -rf "$data"' EXIT
fail() {
  echo "FAIL: $*" >&2
  [[ -n ${DRIVE_WORK:-} && -n ${DRIVE_PID:-} ]] && kill -0 "$DRIVE_PID" 2>/dev/null &&
    drive_shot "$data/failed.png" 2>/dev/null && cp "$data/failed.png" "${TMPDIR:-/tmp}/edit_paragraph-failed.png" &&
    echo "screen at the failure: ${TMPDIR:-/tmp}/edit_paragraph-failed.png" >&2
  exit 1
}

head_row=700x20+0+22 # the tab line, where the prompt appears

# Checksum of a rectangle WxH+X+Y of the screen as it is now.
region() {
  drive_shot "$DRIVE_WORK/poll.png" && convert "$DRIVE_WORK/poll.png" -crop "$1" +repage -format '%#' info:
}
# Waits until the screen stops changing (two equal shots in a row).
settle() {
  local a b n
  a=$(region 1280x1024+0+0)
  for ((n = 0; n < 50; n++)); do
    sleep 0.1
    b=$(region 1280x1024+0+0)
    [[ $a == "$b" ]] && return 0
    a=$b
  done
  return 1
}
# Waits up to 5 s for rectangle $1 to differ from checksum $2.
wait_changed() {
  local n
  for ((n = 0; n < 50; n++)); do
    [[ $(region "$1") != "$2" ]] && return 0
    sleep 0.1
  done
  return 1
}
typed() { xdotool type --delay 10 -- "$1"; }
keys() { xdotool key --delay 30 -- "$@"; }
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

drive_start_x || fail "no X server"
cd "$data" || fail "no data folder"
drive_start -d para.txt || fail "vexor did not open its window"
keys ctrl+o w

# 36 words of five columns each with their blank: a line holds columns 0 to
# 79, so w017 (typed at column 80) and w033 start new lines.
typed "$(words 1 36)"
settle || fail "the screen does not settle after typing"
drive_shot "$data/wrapped.png" || fail "no screenshot"
# Three rows of text and the end-of-text mark, nothing below.
for ((r = 0; r < 5; r++)); do
  n=$(drive_colours "$data/wrapped.png" "700x22+0+$((44 + 22 * r))")
  if ((r < 4)); then
    ((n > 1)) || fail "row $r is empty: the paragraph did not wrap onto three lines"
  else
    ((n == 1)) || fail "row $r is painted: the paragraph wrapped onto more than three lines"
  fi
done

# The cursor stands behind w036 (line 3, column 19). On line 2, column 19 is
# the blank after w020; three words right (20, 25, 30), two back (25, 20),
# one left and one right land on w021, where "new " goes in. The line now
# runs past the margin: typing inside a line does not wrap it.
keys Up ctrl+Right ctrl+Right ctrl+Right ctrl+Left ctrl+Left Left Right
typed "new "
# Line 2 (still being edited) goes to the deleted-line store and comes back
# at once; then line 1 is deleted and restored below the new line 1.
keys ctrl+y ctrl+u Up ctrl+y Down ctrl+u
settle || fail "the screen does not settle after editing"
ruler=$(region "$head_row")
keys ctrl+k d
wait_changed "$head_row" "$ruler" || fail "no \"Save & exit:\" prompt after Ctrl+K D"
keys Return
drive_wait_exit 10 || fail "vexor still runs after Save & exit of its only text"
[[ $DRIVE_STATUS == 0 ]] || fail "exit status $DRIVE_STATUS"

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
  fail "the expected text is not what this test means: $(cat -A "$data/want")"
[[ -f para.txt ]] || fail "para.txt was not written"
if ! cmp -s para.txt "$data/want"; then
  diff <(cat -A "$data/want") <(cat -A para.txt) >&2
  fail "para.txt differs from the expected text (- expected, + written)"
fi
echo "edit_paragraph: ok"
