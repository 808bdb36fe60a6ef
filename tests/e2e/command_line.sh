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

# An unknown option is a mistake: the usage on standard error, status 2, no
# window and no file touched.
for bad in --foo -h -x --d; do
  "$bin" "$bad" "$data/y.txt" >"$data/out" 2>"$data/err"
  rc=$?
  ((rc == 2)) || drive_fail "$bad: exit status $rc"
  grep -q "unknown option '$bad'" "$data/err" || drive_fail "$bad: standard error says: $(cat "$data/err")"
  grep -q '^Usage:' "$data/err" || drive_fail "$bad: no usage on standard error"
  [[ ! -s $data/out ]] || drive_fail "$bad: wrote to standard output"
  [[ ! -e $data/y.txt ]] || drive_fail "$bad: a file was created"
done

# Options by their second letter; the files around them are opened in
# order, and after "--" a name that begins with '-' is a file.
printf 'one\n' >"$data/a.txt"
printf 'two\n' >"$data/b.txt"
printf 'three\n' >"$data/-c.txt"
drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
drive_start -dq a.txt b.txt -f || drive_fail "vexor did not start with options"
title=$(drive_title)
[[ $title == "Vexor - $data/b.txt" ]] || drive_fail "title is '$title'"
drive_expect_close
drive_start -d -- -c.txt || drive_fail "vexor did not start with a file after --"
title=$(drive_title)
[[ $title == "Vexor - $data/-c.txt" ]] || drive_fail "title after -- is '$title'"
drive_expect_close
echo "command_line: ok"
