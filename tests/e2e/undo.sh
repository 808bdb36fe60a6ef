#!/usr/bin/env bash
# Undo and Redo as a user meets them: a file edited with typing, DelLine,
# Enter and DelRtWord; Ctrl+Z until there is nothing left to undo, saved,
# gives back the file's bytes; Win+Z until there is nothing left to redo,
# saved, gives the edited bytes again.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin undo
data=$DRIVE_DATA

printf 'alpha beta\ngamma\n    delta epsilon zeta\nlast line\n' >"$data/u.txt"
cp "$data/u.txt" "$data/original"

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -d u.txt || drive_fail "vexor did not open its window"

save_stay() {
  drive_wait_stable || drive_fail "the screen does not settle before Ctrl+K S"
  drive_keys_prompt ctrl+k s || drive_fail "no \"Save:\" prompt after Ctrl+K S"
  drive_keys_fast Return
  drive_wait_stable || drive_fail "the screen does not settle after saving"
}
# More presses than there are records: the extra ones only say so.
presses() {
  local key=$1 n=$2 keys=()
  for ((i = 0; i < n; i++)); do keys+=("$key"); done
  drive_keys_fast "${keys[@]}"
}

drive_type_fast "New "
drive_keys_fast Down ctrl+y End
drive_type_fast " ok"
drive_keys_fast Home Right Right Right Right Right Right Right Right Return ctrl+t Down
drive_type_fast "!"
save_stay
cp u.txt "$data/edited"
cmp -s "$data/edited" "$data/original" && drive_fail "the edits did not change the file"

presses ctrl+z 60
save_stay
cmp u.txt "$data/original" || drive_fail "undoing everything left: $(od -c u.txt | head -20)"

presses super+z 60
save_stay
cmp u.txt "$data/edited" || drive_fail "redoing everything left: $(od -c u.txt | head -20)"

drive_save_exit
cmp u.txt "$data/edited" || drive_fail "Save & exit wrote: $(od -c u.txt | head -20)"
echo "undo: ok"
