#!/usr/bin/env bash
# Discarding a changed text: Ctrl+K Q asks "Discard text [Y/N]:"; n (and
# Esc) keep the text open with its change on screen, Y (lowered to y) closes
# it and ends the editor with status 0. The file on disk is never touched.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin discard
data=$DRIVE_DATA

unchanged() {
  cmp -s "$data/keep.txt" "$data/keep.orig" || drive_fail "$1: keep.txt was changed: $(od -c "$data/keep.txt")"
  [[ $(stat -c %y "$data/keep.txt") == "$stamp" ]] || drive_fail "$1: keep.txt was rewritten"
  [[ ! -e $data/keep.txt~ && ! -e $data/keep.txt~~ ]] || drive_fail "$1: a backup or temporary file appeared"
}

printf 'alpha\nbeta gamma\n' >"$data/keep.txt"
cp "$data/keep.txt" "$data/keep.orig"
stamp=$(stat -c %y "$data/keep.txt")

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -d keep.txt || drive_fail "vexor did not open its window"
drive_type_fast "changed "
drive_keys_fast Down
drive_type_fast "more "
drive_wait_stable || drive_fail "the screen does not settle after typing"
edited=$(drive_region "$DRIVE_SCREEN")
ruler=$(drive_region "$DRIVE_TAB_ROW")

# Each answer other than y leaves the text as it was, change included, and
# the prompt gone.
for answer in n Escape; do
  drive_keys_fast ctrl+k q
  drive_wait_region_change "$DRIVE_TAB_ROW" "$ruler" || drive_fail "no \"Discard text [Y/N]:\" prompt after Ctrl+K Q (before $answer)"
  drive_keys_fast "$answer"
  drive_wait_region_same "$DRIVE_TAB_ROW" "$ruler" || drive_fail "the prompt stays after the answer $answer"
  drive_wait_stable || drive_fail "the screen does not settle after the answer $answer"
  [[ $(drive_region "$DRIVE_SCREEN") == "$edited" ]] || drive_fail "the screen differs from the edited text after the answer $answer"
  kill -0 "$DRIVE_PID" 2>/dev/null || drive_fail "vexor ended on the answer $answer"
  unchanged "after $answer"
done

drive_keys_fast ctrl+k q
drive_wait_region_change "$DRIVE_TAB_ROW" "$ruler" || drive_fail "no \"Discard text [Y/N]:\" prompt for the third Ctrl+K Q"
drive_keys_fast shift+y
drive_wait_exit 10 || drive_fail "vexor still runs after the discard was confirmed with Y"
[[ $DRIVE_STATUS == 0 ]] || drive_fail "exit status $DRIVE_STATUS"
unchanged "after Y"
echo "discard: ok"
