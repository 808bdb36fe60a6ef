#!/usr/bin/env bash
# The command line: help and version on standard output, a one-line error
# and a failure status without an X display, options that are ignored.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
data=$(mktemp -d)
trap 'drive_cleanup; rm -rf "$data"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
bin=$DRIVE_BIN

out=$("$bin" --help 2>"$data/err")
rc=$?
((rc == 0)) || fail "--help exit status $rc"
[[ $out == Usage:* ]] || fail "--help printed '$out'"
[[ ! -s $data/err ]] || fail "--help wrote to standard error"

out=$("$bin" --version 2>"$data/err")
rc=$?
((rc == 0)) || fail "--version exit status $rc"
[[ $out =~ ^vexor\ [0-9]+\.[0-9]+ ]] || fail "--version printed '$out'"

# No display at all, and a display that does not exist.
for display in "" ":987"; do
  if [[ -z $display ]]; then
    env -u DISPLAY "$bin" "$data/x.txt" >"$data/out" 2>"$data/err"
  else
    DISPLAY=$display "$bin" "$data/x.txt" >"$data/out" 2>"$data/err"
  fi
  rc=$?
  ((rc != 0)) || fail "no display ('$display') reported success"
  [[ $(wc -l <"$data/err") == 1 ]] || fail "expected one line on standard error, got: $(cat "$data/err")"
  grep -q "display" "$data/err" || fail "the message does not name the display: $(cat "$data/err")"
  [[ ! -s $data/out ]] || fail "no-display run wrote to standard output"
  [[ ! -e $data/x.txt ]] || fail "a file was created"
done

# Options by their second letter; unknown ones are ignored and the files
# around them are still opened, in order.
printf 'one\n' >"$data/a.txt"
printf 'two\n' >"$data/b.txt"
drive_start_x || fail "no X server"
cd "$data" || fail "no data folder"
drive_start -dq a.txt -x --d b.txt -f || fail "vexor did not start with options"
title=$(xdotool getwindowname "$DRIVE_WIN")
[[ $title == "Vexor - $data/b.txt" ]] || fail "title is '$title'"
drive_close || fail "could not send the close request"
drive_wait_exit 10 || fail "vexor still runs after the close request"
[[ $DRIVE_STATUS == 0 ]] || fail "exit status $DRIVE_STATUS"
echo "command_line: ok"
