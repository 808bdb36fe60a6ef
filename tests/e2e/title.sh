#!/usr/bin/env bash
# The window title names the current text in UTF-8, in both the old and the
# extended property, and never shows the key that follows an at sign.
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
# xprop prints UTF8_STRING values as they are only in a UTF-8 locale.
export LC_ALL=C.UTF-8

drive_start_x || fail "no X server"
cd "$data" || fail "no data folder"

printf 'café\n' >"$data/naïve.txt"
drive_start naïve.txt || fail "vexor did not open its window"
want="Vexor - $data/naïve.txt"
title=$(xdotool getwindowname "$DRIVE_WIN")
[[ $title == "$want" ]] || fail "title is '$title'"
# xprop (x11-utils) tells the property types apart, where it is installed.
if command -v xprop >/dev/null 2>&1; then
  net=$(xprop -id "$DRIVE_WIN" _NET_WM_NAME)
  [[ $net == "_NET_WM_NAME(UTF8_STRING) = \"$want\"" ]] || fail "_NET_WM_NAME is: $net"
  old=$(xprop -id "$DRIVE_WIN" WM_NAME)
  [[ $old == "WM_NAME(UTF8_STRING) = \"$want\"" ]] || fail "WM_NAME is: $old"
fi
drive_close || fail "could not send the close request"
drive_wait_exit 10 || fail "vexor still runs after the close request"
[[ $DRIVE_STATUS == 0 ]] || fail "exit status $DRIVE_STATUS"

drive_start "secret.txt@hunter2" || fail "vexor did not open its window"
title=$(xdotool getwindowname "$DRIVE_WIN")
[[ $title == "Vexor - $data/secret.txt@" ]] || fail "title is '$title'"
if command -v xprop >/dev/null 2>&1; then
  net=$(xprop -id "$DRIVE_WIN" _NET_WM_NAME)
  [[ $net != *hunter2* ]] || fail "the key shows in _NET_WM_NAME: $net"
fi
drive_close || fail "could not send the close request"
drive_wait_exit 10 || fail "vexor still runs after the close request"
[[ $DRIVE_STATUS == 0 ]] || fail "exit status $DRIVE_STATUS"
echo "title: ok"
