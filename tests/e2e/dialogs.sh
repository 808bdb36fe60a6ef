#!/usr/bin/env bash
# The key, colour and font dialogues as a user meets them, each opened by a
# key the configuration file binds: DelLine gets Ctrl+G in the key dialogue
# and Ctrl+G then deletes a line; the Background colour is mixed in the
# colour dialogue and the editor's rows take it at once, and the dialogue
# draws itself again when its window is uncovered; TextSize is raised in the
# font dialogue and the space bar gives the editor the larger font. Saved
# with SaveConfig, all three are there again at the next start.
# A screenshot of the colour dialogue is kept beside the other e2e shots.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin dialogs
data=$DRIVE_DATA
shots=${VEXOR_E2E_SHOTS:-$(dirname "$DRIVE_BIN")/e2e-shots}

cfg=$DRIVE_CONFIG/vexor.cfg
printf ' Key+ KeyConfig ShF5\n Key+ ColorConfig ShF6\n Key+ FontConfig ShF7\n Key+ SaveConfig ShF8\n' >"$cfg"
printf 'alpha beta\ngamma\ndelta\n' >"$data/d.txt"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start d.txt || drive_fail "vexor did not open its window"

# Pop-up windows open now (children of the editor's window).
children() {
  local n
  n=$(xwininfo -children -id "$DRIVE_WIN" | sed -n 's/^ *\([0-9][0-9]*\) child.*/\1/p')
  echo "${n:-0}"
}
# A point of the open dialogue, from its own top left corner inside the border.
in_dialog() { echo "$((DIALOG_X + 1 + $1)) $((DIALOG_Y + 1 + $2))"; }
presses() {
  local key=$1 n=$2 keys=()
  for ((i = 0; i < n; i++)); do keys+=("$key"); done
  drive_keys_fast "${keys[@]}"
}

# ---- Colour dialogue
drive_wait_stable || drive_fail "the screen does not settle at start"
drive_shot "$data/start.png"
[[ $(drive_pixel "$data/start.png" 750 300) == FFFFFF ]] || drive_fail "the rows do not start out white"
drive_key shift+F6
[[ $(children) == 1 ]] || drive_fail "Shift+F6 did not open the colour dialogue"
DIALOG_X=100 DIALOG_Y=50
drive_wait_stable || drive_fail "the colour dialogue does not settle"
drive_shot "$data/colour.png"
mkdir -p "$shots" && cp "$data/colour.png" "$shots/dialogs-colour.png"
# Background (the 15th role): its colour into the adjuster, red 64 lower, set.
presses Down 14
drive_keys_fast p r
presses Left 16
drive_keys_fast Return
drive_wait_stable || drive_fail "the colour dialogue does not settle after Return"
drive_shot "$data/colour-set.png"
# shellcheck disable=SC2046
[[ $(drive_pixel "$data/colour-set.png" $(in_dialog 460 330)) == BFFFFF ]] ||
  drive_fail "the adjuster square does not show the mixed colour"
[[ $(drive_pixel "$data/colour-set.png" 750 300) == BFFFFF ]] ||
  drive_fail "the editor's rows did not take the new Background at once"
# Uncovered, the dialogue paints itself again.
before=$(drive_checksum "$data/colour-set.png" "600x400+$((DIALOG_X + 1))+$((DIALOG_Y + 1))")
xdotool windowunmap --sync "$DRIVE_WIN" || drive_fail "could not hide the window"
xdotool windowmap --sync "$DRIVE_WIN" || drive_fail "could not show the window again"
drive_wait_stable || drive_fail "the screen does not settle after the window came back"
drive_shot "$data/colour-uncovered.png"
after=$(drive_checksum "$data/colour-uncovered.png" "600x400+$((DIALOG_X + 1))+$((DIALOG_Y + 1))")
[[ $before == "$after" ]] || drive_fail "the colour dialogue was not repainted as it was"
drive_key Escape
[[ $(children) == 0 ]] || drive_fail "Esc did not close the colour dialogue"

# ---- Key dialogue: DelLine is the 61st row.
drive_key shift+F5
[[ $(children) == 1 ]] || drive_fail "Shift+F5 did not open the key dialogue"
presses Down 60
drive_keys_fast Insert ctrl+g Escape
drive_wait_stable || drive_fail "the key dialogue does not settle"
[[ $(children) == 0 ]] || drive_fail "Esc did not close the key dialogue"
drive_keys_fast ctrl+g
drive_wait_stable || drive_fail "the screen does not settle after Ctrl+G"
drive_keys_prompt ctrl+k s || drive_fail "no \"Save:\" prompt after Ctrl+K S"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after saving"
[[ $(cat d.txt) == $'gamma\ndelta' ]] || drive_fail "Ctrl+G did not delete the first line: $(od -c d.txt | head)"

# ---- Font dialogue: TextSize 18 -> 24, applied with the space bar.
drive_shot "$data/font-before.png"
[[ $(drive_pixel "$data/font-before.png" 750 $((DRIVE_LH + 3))) != B0DC1C ]] ||
  drive_fail "the status line is taller than a row before the change"
drive_key shift+F7
[[ $(children) == 1 ]] || drive_fail "Shift+F7 did not open the font dialogue"
presses Down 5
presses Right 6
drive_keys_fast space
drive_wait_stable || drive_fail "the font dialogue does not settle after the space bar"
drive_key Escape
[[ $(children) == 0 ]] || drive_fail "Esc did not close the font dialogue"
drive_wait_stable || drive_fail "the screen does not settle after the font dialogue"
drive_shot "$data/font-after.png"
[[ $(drive_pixel "$data/font-after.png" 750 $((DRIVE_LH + 3))) == B0DC1C ]] ||
  drive_fail "the rows were not laid out for the larger font"

# ---- Saved, and there again at the next start
drive_key shift+F8
grep -q '^ Key+ DelLine ^G$' "$cfg" || drive_fail "the new key was not saved: $(cat "$cfg")"
# Each channel is kept without its two low bits.
grep -q '^ Color Background 0xffbcfcfc$' "$cfg" || drive_fail "the colour was not saved: $(cat "$cfg")"
grep -q '^ Font TextSize 24$' "$cfg" || drive_fail "the font size was not saved: $(cat "$cfg")"
drive_expect_close
drive_start d.txt || drive_fail "vexor did not start again"
grep -q "vexor.cfg" "$DRIVE_ERR" && drive_fail "the saved file was reported: $(cat "$DRIVE_ERR")"
drive_wait_stable || drive_fail "the screen does not settle after the restart"
drive_shot "$data/again.png"
[[ $(drive_pixel "$data/again.png" 750 300) == BCFCFC ]] || drive_fail "the saved Background is not used"
[[ $(drive_pixel "$data/again.png" 750 $((DRIVE_LH + 3))) == B0DC1C ]] ||
  drive_fail "the saved font size is not used"
drive_keys_fast ctrl+g
drive_wait_stable || drive_fail "the screen does not settle after Ctrl+G"
drive_keys_prompt ctrl+k s || drive_fail "no \"Save:\" prompt after Ctrl+K S"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle after saving"
[[ $(cat d.txt) == delta ]] || drive_fail "the saved Ctrl+G did not delete a line: $(od -c d.txt | head)"
drive_expect_close
echo "dialogs: ok"
