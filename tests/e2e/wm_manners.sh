#!/usr/bin/env bash
# Under a real window manager (openbox): the icon name follows the current
# text, the size hints are whole text cells with a minimum the layout
# needs, which the manager keeps on a resize request; WM_HINTS and
# _NET_WM_ICON carry the icon; -geometry places and sizes the window, is
# raised to the minimum, and a malformed one is refused.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin wm_manners
data=$DRIVE_DATA
export LC_ALL=C.UTF-8

# Refused before any display is needed.
out=$(DISPLAY='' "$DRIVE_BIN" -geometry junk a.txt 2>&1)
status=$?
((status == 2)) || drive_fail "-geometry junk: exit status $status"
[[ $out == *"bad geometry 'junk'"* && $out == *Usage:* ]] || drive_fail "-geometry junk says: $out"
out=$(DISPLAY='' "$DRIVE_BIN" --geometry 2>&1)
status=$?
((status == 2)) || drive_fail "--geometry without a value: exit status $status"
[[ $out == *"needs a value"* ]] || drive_fail "--geometry without a value says: $out"

if ! command -v openbox >/dev/null; then
  echo "wm_manners: skipped (no openbox; scripts/install-deps.sh test installs it)"
  exit 0
fi
drive_start_x || drive_fail "no X server"
# A manager that keeps a client's own resize requests within its hints.
openbox --sm-disable >"$data/wm.log" 2>&1 &
wm_pid=$!
trap 'kill "$wm_pid" 2>/dev/null; drive_cleanup; rm -rf "$DRIVE_DATA" "$DRIVE_CONFIG"' EXIT
for ((n = 0; n < 50; n++)); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
kill -0 "$wm_pid" 2>/dev/null || drive_fail "openbox did not start: $(cat "$data/wm.log")"

cd "$data" || drive_fail "no data folder"
printf 'first\n' >a.txt
printf 'second\n' >b.txt

# Waits up to 5 s for property $1 to read $2.
wait_prop() {
  local n got
  for ((n = 0; n < 50; n++)); do
    got=$(xprop -id "$DRIVE_WIN" "$1" 2>/dev/null)
    [[ $got == "$2" ]] && return 0
    sleep 0.1
  done
  drive_fail "$1 is '$got', not '$2'"
}
size_of() { xwininfo -id "$DRIVE_WIN" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}'; }
abs_of() { xwininfo -id "$DRIVE_WIN" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'; }

# Three text rows under the status and tab lines, 54 columns (shell/wm_hints.h).
min_w=$((10 + 54 * DRIVE_CW))
min_h=$((5 * DRIVE_LH))

drive_start a.txt || drive_fail "vexor did not open its window"
wait_prop WM_ICON_NAME 'WM_ICON_NAME(UTF8_STRING) = "a.txt"'
wait_prop _NET_WM_ICON_NAME '_NET_WM_ICON_NAME(UTF8_STRING) = "a.txt"'
drive_wait_stable || drive_fail "the screen does not settle"
# The frame moves the window off the screen's corner, where the prompt
# helpers look: the keys are given time instead.
drive_keys_fast ctrl+k o
drive_settle
drive_type_fast b.txt
drive_keys_fast Return
wait_prop WM_ICON_NAME 'WM_ICON_NAME(UTF8_STRING) = "b.txt"'
wait_prop _NET_WM_ICON_NAME '_NET_WM_ICON_NAME(UTF8_STRING) = "b.txt"'
drive_wait_stable || drive_fail "the screen does not settle"
drive_keys_fast ctrl+k q
wait_prop WM_ICON_NAME 'WM_ICON_NAME(UTF8_STRING) = "a.txt"'

hints=$(xprop -id "$DRIVE_WIN" WM_NORMAL_HINTS)
for want in "minimum size: $min_w by $min_h" "resize increment: $DRIVE_CW by $DRIVE_LH" \
  "base size: 10 by $((2 * DRIVE_LH))"; do
  [[ $hints == *"$want"* ]] || drive_fail "WM_NORMAL_HINTS lack '$want': $hints"
done
wmhints=$(xprop -id "$DRIVE_WIN" WM_HINTS)
[[ $wmhints == *"input focus: True"* && $wmhints == *"Normal State"* &&
  $wmhints == *"bitmap id # to use for icon"* && $wmhints == *"bitmap id # of mask for icon"* ]] ||
  drive_fail "WM_HINTS: $wmhints"
icons=$(xprop -id "$DRIVE_WIN" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
[[ $icons == "Icon (16 x 16) Icon (32 x 32) Icon (48 x 48) Icon (64 x 64) Icon (128 x 128) " ]] ||
  drive_fail "_NET_WM_ICON sizes: $icons"

# A client's request for less than the minimum: the manager keeps the minimum.
xdotool windowsize "$DRIVE_WIN" 120 60
sleep 1
read -r w h <<<"$(size_of)"
((w >= min_w && h >= min_h)) || drive_fail "resized below the minimum to ${w}x$h (minimum ${min_w}x$min_h)"
drive_expect_close

# The size and the place asked for; the frame may sit around the window.
drive_start -geometry 640x480+33+44 a.txt || drive_fail "vexor did not open its window"
sleep 0.5
read -r w h <<<"$(size_of)"
# The manager may take it down to whole cells, as the hints allow.
want_w=$((10 + (640 - 10) / DRIVE_CW * DRIVE_CW))
want_h=$((2 * DRIVE_LH + (480 - 2 * DRIVE_LH) / DRIVE_LH * DRIVE_LH))
[[ "$w $h" == "640 480" || "$w $h" == "$want_w $want_h" ]] ||
  drive_fail "-geometry 640x480+33+44 gave ${w}x$h (not 640x480 or ${want_w}x$want_h)"
read -r x y <<<"$(abs_of)"
((x >= 33 && x <= 33 + 16 && y >= 44 && y <= 44 + 48)) || drive_fail "-geometry +33+44 placed it at $x,$y"
hints=$(xprop -id "$DRIVE_WIN" WM_NORMAL_HINTS)
[[ $hints == *"user specified location: 33, 44"* && $hints == *"user specified size: 640 by 480"* ]] ||
  drive_fail "WM_NORMAL_HINTS after -geometry: $hints"
drive_expect_close
# Only for this run: the settings hold no size.
! grep -qs 'Width\|Heigh' "$VEXOR_CONFIG_DIR"/* || drive_fail "the geometry went into the settings"

# Negative offsets count from the right and bottom edges.
drive_start --geometry=-0-0 a.txt || drive_fail "vexor did not open its window"
sleep 0.5
read -r w h <<<"$(size_of)"
read -r x y <<<"$(abs_of)"
sw=${DRIVE_SCREEN%%x*}
sh=${DRIVE_SCREEN#*x}
sh=${sh%%+*}
((x + w >= sw - 16 && x + w <= sw && y + h >= sh - 16 && y + h <= sh)) ||
  drive_fail "-geometry -0-0 put ${w}x$h at $x,$y on a ${sw}x$sh screen"
[[ $(xprop -id "$DRIVE_WIN" WM_NORMAL_HINTS) == *"window gravity: SouthEast"* ]] ||
  drive_fail "no south-east gravity for -0-0"
drive_expect_close

# Too small a size is raised to the minimum.
drive_start -geometry 100x100 a.txt || drive_fail "vexor did not open its window"
sleep 0.5
read -r w h <<<"$(size_of)"
((w >= min_w && h >= min_h)) || drive_fail "-geometry 100x100 left the window at ${w}x$h (minimum ${min_w}x$min_h)"
drive_expect_close
echo "wm_manners: ok"
