#!/usr/bin/env bash
# The start-up: keys typed the moment the window shows are not lost (the
# input method is opened only after the first paint); VEXOR_TIME_FIRST_PAINT
# prints the first paint and the last line stored, once each, as plausible
# times; VEXOR_EXIT_AFTER_FIRST_PAINT ends a run by itself once its texts
# are complete and painted, with status 0 and nothing written.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin startup
data=$DRIVE_DATA

printf 'tail\n' >"$data/k.txt"
printf 'one\n' >"$data/a.txt"
printf 'two\n' >"$data/b.txt"
cp "$data/a.txt" "$data/a.orig"
cp "$data/b.txt" "$data/b.orig"

drive_start_x || drive_fail "no X server"
drive_helper || drive_fail "no helper programs"
cd "$data" || drive_fail "no data folder"

# Starts the editor on one file and types "Zq" as soon as the window is
# mapped, without waiting for a paint, then saves and exits.
type_at_once() {
  VEXOR_TIME_FIRST_PAINT=1 "$DRIVE_BIN" "$1" 2>"$DRIVE_ERR" &
  DRIVE_PID=$!
  DRIVE_WIN=$(timeout 20 xdotool search --sync --onlyvisible --class vexor 2>/dev/null | head -n 1)
  [[ -n $DRIVE_WIN ]] || drive_fail "no vexor window appeared for $1"
  xdotool mousemove --window "$DRIVE_WIN" 400 300 >/dev/null 2>&1
  drive_type_fast "Zq"
  drive_save_exit
}

DRIVE_ERR=$DRIVE_WORK/stderr
type_at_once k.txt
[[ $(cat "$data/k.txt") == Zqtail ]] || drive_fail "keys typed at start-up were lost: '$(cat "$data/k.txt")'"

paint=$(sed -nE 's/^vexor: first paint ([0-9]+\.[0-9]+) ms$/\1/p' "$DRIVE_ERR")
stored=$(sed -nE 's/^vexor: last line stored ([0-9]+\.[0-9]+) ms$/\1/p' "$DRIVE_ERR")
[[ $(wc -l <"$DRIVE_ERR") == 2 && -n $paint && -n $stored ]] ||
  drive_fail "expected one first-paint and one last-line time, got: $(cat "$DRIVE_ERR")"
for t in "$paint" "$stored"; do
  awk -v t="$t" 'BEGIN { exit !(t > 0 && t < 60000) }' || drive_fail "implausible time $t ms"
done

# A large file shows its first page before it is read whole; keys typed at
# once wait for the whole text, and saving writes all of it, not the page.
awk 'BEGIN { for (i = 1; i <= 60000; i++) printf "line %d of a text larger than its first page, \303\244\r\n", i }' \
  >"$data/big.txt"
{ printf 'Zq'; cat "$data/big.txt"; } >"$data/big.want"
type_at_once big.txt
cmp -s "$data/big.txt" "$data/big.want" ||
  drive_fail "the large file was not saved whole: $(wc -c <"$data/big.txt") bytes, want $(wc -c <"$data/big.want")"
grep -q '^vexor: last line stored' "$DRIVE_ERR" || drive_fail "the large file was never complete"

# Ends by itself; two texts on the command line, both complete and untouched.
VEXOR_EXIT_AFTER_FIRST_PAINT=1 "$DRIVE_BIN" a.txt b.txt 2>"$DRIVE_ERR" &
DRIVE_PID=$!
drive_wait_exit 20 || drive_fail "VEXOR_EXIT_AFTER_FIRST_PAINT=1 did not end the editor"
[[ $DRIVE_STATUS == 0 ]] || drive_fail "exit status $DRIVE_STATUS after the first paint"
[[ ! -s $DRIVE_ERR ]] || drive_fail "unexpected standard error: $(cat "$DRIVE_ERR")"
if ! cmp -s a.txt a.orig || ! cmp -s b.txt b.orig; then drive_fail "a text was written"; fi
[[ ! -e a.txt~ && ! -e b.txt~ ]] || drive_fail "a backup was left"
echo "startup: ok"
