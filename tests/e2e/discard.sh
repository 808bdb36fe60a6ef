#!/usr/bin/env bash
# Discarding a changed text: Ctrl+K Q asks "Discard text [Y/N]:"; n (and
# Esc) keep the text open with its change on screen, Y (lowered to y) closes
# it and ends the editor with status 0. The file on disk is never touched.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
data=$(mktemp -d)
trap 'drive_cleanup; rm -rf "$data"' EXIT
fail() {
  echo "FAIL: $*" >&2
  [[ -n ${DRIVE_WORK:-} && -n ${DRIVE_PID:-} ]] && kill -0 "$DRIVE_PID" 2>/dev/null &&
    drive_shot "$data/failed.png" 2>/dev/null && cp "$data/failed.png" "${TMPDIR:-/tmp}/discard-failed.png" &&
    echo "screen at the failure: ${TMPDIR:-/tmp}/discard-failed.png" >&2
  exit 1
}

head_row=700x20+0+22 # the tab line, where the prompt appears
screen=1280x1024+0+0

# Checksum of a rectangle WxH+X+Y of the screen as it is now.
region() {
  drive_shot "$DRIVE_WORK/poll.png" && convert "$DRIVE_WORK/poll.png" -crop "$1" +repage -format '%#' info:
}
# Waits until the screen stops changing (two equal shots in a row).
settle() {
  local a b n
  a=$(region "$screen")
  for ((n = 0; n < 50; n++)); do
    sleep 0.1
    b=$(region "$screen")
    [[ $a == "$b" ]] && return 0
    a=$b
  done
  return 1
}
# Waits up to 5 s for rectangle $1 to differ from ($3 = same: to equal)
# checksum $2.
wait_region() {
  local n now
  for ((n = 0; n < 50; n++)); do
    now=$(region "$1")
    if [[ ${3:-} == same ]]; then
      [[ $now == "$2" ]] && return 0
    else
      [[ $now != "$2" ]] && return 0
    fi
    sleep 0.1
  done
  return 1
}
typed() { xdotool type --delay 10 -- "$1"; }
keys() { xdotool key --delay 30 -- "$@"; }
unchanged() {
  cmp -s "$data/keep.txt" "$data/keep.orig" || fail "$1: keep.txt was changed: $(od -c "$data/keep.txt")"
  [[ $(stat -c %y "$data/keep.txt") == "$stamp" ]] || fail "$1: keep.txt was rewritten"
  [[ ! -e $data/keep.txt~ && ! -e $data/keep.txt~~ ]] || fail "$1: a backup or temporary file appeared"
}

printf 'alpha\nbeta gamma\n' >"$data/keep.txt"
cp "$data/keep.txt" "$data/keep.orig"
stamp=$(stat -c %y "$data/keep.txt")

drive_start_x || fail "no X server"
cd "$data" || fail "no data folder"
drive_start -d keep.txt || fail "vexor did not open its window"
typed "changed "
keys Down
typed "more "
settle || fail "the screen does not settle after typing"
edited=$(region "$screen")
ruler=$(region "$head_row")

# Each answer other than y leaves the text as it was, change included, and
# the prompt gone.
for answer in n Escape; do
  keys ctrl+k q
  wait_region "$head_row" "$ruler" || fail "no \"Discard text [Y/N]:\" prompt after Ctrl+K Q (before $answer)"
  keys "$answer"
  wait_region "$head_row" "$ruler" same || fail "the prompt stays after the answer $answer"
  settle || fail "the screen does not settle after the answer $answer"
  [[ $(region "$screen") == "$edited" ]] || fail "the screen differs from the edited text after the answer $answer"
  kill -0 "$DRIVE_PID" 2>/dev/null || fail "vexor ended on the answer $answer"
  unchanged "after $answer"
done

keys ctrl+k q
wait_region "$head_row" "$ruler" || fail "no \"Discard text [Y/N]:\" prompt for the third Ctrl+K Q"
keys shift+y
drive_wait_exit 10 || fail "vexor still runs after the discard was confirmed with Y"
[[ $DRIVE_STATUS == 0 ]] || fail "exit status $DRIVE_STATUS"
unchanged "after Y"
echo "discard: ok"
