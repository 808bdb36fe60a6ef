#!/usr/bin/env bash
# The command line: help and version on standard output, a one-line error
# and a failure status without an X display, options that are ignored.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin command_line
data=$DRIVE_DATA
bin=$DRIVE_BIN

out=$("$bin" --help 2>"$data/err")
rc=$?
((rc == 0)) || drive_fail "--help exit status $rc"
[[ $out == Usage:* ]] || drive_fail "--help printed '$out'"
[[ ! -s $data/err ]] || drive_fail "--help wrote to standard error"

out=$("$bin" --version 2>"$data/err")
rc=$?
((rc == 0)) || drive_fail "--version exit status $rc"
[[ $out =~ ^vexor\ [0-9]+\.[0-9]+ ]] || drive_fail "--version printed '$out'"

# No display at all, and a display that does not exist.
for display in "" ":987"; do
  if [[ -z $display ]]; then
    env -u DISPLAY "$bin" "$data/x.txt" >"$data/out" 2>"$data/err"
  else
    DISPLAY=$display "$bin" "$data/x.txt" >"$data/out" 2>"$data/err"
  fi
  rc=$?
  ((rc != 0)) || drive_fail "no display ('$display') reported success"
  [[ $(wc -l <"$data/err") == 1 ]] || drive_fail "expected one line on standard error, got: $(cat "$data/err")"
  grep -q "display" "$data/err" || drive_fail "the message does not name the display: $(cat "$data/err")"
  [[ ! -s $data/out ]] || drive_fail "no-display run wrote to standard output"
  [[ ! -e $data/x.txt ]] || drive_fail "a file was created"
done

# Options by their second letter; unknown ones are ignored and the files
# around them are still opened, in order.
printf 'one\n' >"$data/a.txt"
printf 'two\n' >"$data/b.txt"
drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -dq a.txt -x --d b.txt -f || drive_fail "vexor did not start with options"
title=$(drive_title)
[[ $title == "Vexor - $data/b.txt" ]] || drive_fail "title is '$title'"
drive_expect_close
echo "command_line: ok"
