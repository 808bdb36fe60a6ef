#!/usr/bin/env bash
# The window title names the current text in UTF-8, in both the old and the
# extended property, and never shows the key that follows an at sign.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin title
data=$DRIVE_DATA
# xprop prints UTF8_STRING values as they are only in a UTF-8 locale.
export LC_ALL=C.UTF-8

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"

printf 'café\n' >"$data/naïve.txt"
drive_start naïve.txt || drive_fail "vexor did not open its window"
want="Vexor - $data/naïve.txt"
title=$(drive_title)
[[ $title == "$want" ]] || drive_fail "title is '$title'"
# xprop (x11-utils) tells the property types apart, where it is installed.
if command -v xprop >/dev/null 2>&1; then
  net=$(xprop -id "$DRIVE_WIN" _NET_WM_NAME)
  [[ $net == "_NET_WM_NAME(UTF8_STRING) = \"$want\"" ]] || drive_fail "_NET_WM_NAME is: $net"
  old=$(xprop -id "$DRIVE_WIN" WM_NAME)
  [[ $old == "WM_NAME(UTF8_STRING) = \"$want\"" ]] || drive_fail "WM_NAME is: $old"
fi
drive_expect_close

drive_start "secret.txt@hunter2" || drive_fail "vexor did not open its window"
title=$(drive_title)
[[ $title == "Vexor - $data/secret.txt@" ]] || drive_fail "title is '$title'"
if command -v xprop >/dev/null 2>&1; then
  net=$(xprop -id "$DRIVE_WIN" _NET_WM_NAME)
  [[ $net != *hunter2* ]] || drive_fail "the key shows in _NET_WM_NAME: $net"
fi
drive_expect_close
echo "title: ok"
