#!/usr/bin/env bash
# The help window as a user meets it: the main menu open (Shift+Space), '?'
# shows the chosen item's help in a 700 x 500 window at (100, 50) over the
# menu, with text on it; Down scrolls it, a letter leaves it open, Esc
# closes it and gives the keys back to the menu, and Esc closes the menu.
# A screenshot of the help window is kept beside the other e2e shots.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin help
data=$DRIVE_DATA
shots=${VEXOR_E2E_SHOTS:-$(dirname "$DRIVE_BIN")/e2e-shots}

printf 'text\n' >"$data/h.txt"
drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start h.txt || drive_fail "vexor did not open its window"

children() {
  local n
  n=$(xwininfo -children -id "$DRIVE_WIN" | sed -n 's/^ *\([0-9][0-9]*\) child.*/\1/p')
  echo "${n:-0}"
}
# The child window of that size at that place, as xwininfo lists it.
has_child() { xwininfo -children -id "$DRIVE_WIN" | grep -q "$1"; }
help_box="698x498+101+51"  # inside the border

drive_wait_stable || drive_fail "the screen does not settle at start"
drive_key shift+space
[[ $(children) == 1 ]] || drive_fail "Shift+Space did not open the menu"
drive_key question
[[ $(children) == 2 ]] || drive_fail "'?' did not open the help window over the menu"
has_child '700x500+100+50' || drive_fail "no 700x500 help window at +100+50: $(xwininfo -children -id "$DRIVE_WIN")"
drive_wait_stable || drive_fail "the help window does not settle"
drive_shot "$data/help.png"
mkdir -p "$shots" && cp "$data/help.png" "$shots/help-window.png"
(($(drive_colours "$data/help.png" "$help_box") > 2)) || drive_fail "nothing is drawn in the help window"
first=$(drive_checksum "$data/help.png" "$help_box")

drive_key Down
drive_wait_stable || drive_fail "the help window does not settle after Down"
[[ $(drive_region "$help_box") != "$first" ]] || drive_fail "Down did not scroll the page"
drive_key Up
drive_wait_stable || drive_fail "the help window does not settle after Up"
[[ $(drive_region "$help_box") == "$first" ]] || drive_fail "Up did not scroll back to the page's top"
drive_type q
[[ $(children) == 2 ]] || drive_fail "a letter closed the help window"
drive_key Escape
[[ $(children) == 1 ]] || drive_fail "Esc did not close the help window, or closed the menu too"
drive_key Escape
[[ $(children) == 0 ]] || drive_fail "the second Esc did not close the menu"

# The keys are the editor's again: nothing was typed into the text.
drive_keys_prompt ctrl+k s || drive_fail "no \"Save:\" prompt after Ctrl+K S"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after saving"
[[ $(cat h.txt) == text ]] || drive_fail "keys reached the text: $(od -c h.txt | head)"
drive_expect_close
echo "help: ok"
