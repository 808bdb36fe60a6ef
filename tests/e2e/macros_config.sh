#!/usr/bin/env bash
# A macro recorded with Ctrl+M and F1 types its keys again on F1; the
# settings file is read before the window opens (its window size and
# background colour show at once), a damaged line in it is reported on
# standard error and only skipped, SaveConfig asks before replacing such a
# file, SetDefaults and SaveConfig carry a new window size over to the next
# start, and -d starts with the built-in settings and leaves the file alone.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin macros_config
data=$DRIVE_DATA
cfg=$DRIVE_CONFIG/vexor.cfg

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"

# --- A macro, recorded and replayed -------------------------------------
printf 'x\n' >"$data/m.txt"
drive_start m.txt || drive_fail "vexor did not open its window"
drive_key ctrl+m F1
drive_type "ab"
drive_key ctrl+m F1 F1
drive_save_exit
[[ $(cat "$data/m.txt") == "abababx" ]] || drive_fail "macro replay gave '$(cat "$data/m.txt")'"

# --- A damaged file: good lines apply, the bad one is reported ----------
# WnF5 saves the settings, WnF6 makes the window size the default.
cat >"$cfg" <<'EOF'
 Key+ SaveConfig WnF5
 Key+ SetDefaults WnF6
 Color Background 0x00ff0000
 Colour Tab 0x00000000
 Default Width 900
EOF
cp "$cfg" "$data/cfg.orig"
drive_start || drive_fail "vexor did not start with a damaged settings file"
grep -q "vexor.cfg: 1 bad line skipped, the first 4:  Colour Tab 0x00000000" "$DRIVE_ERR" ||
  drive_fail "no report of the bad line on standard error: $(cat "$DRIVE_ERR")"
width=$(xdotool getwindowgeometry "$DRIVE_WIN" | sed -nE 's/.*Geometry: ([0-9]+)x.*/\1/p')
[[ $width == 900 ]] || drive_fail "window width $width, not the saved 900"
drive_shot "$data/damaged.png" || drive_fail "no screenshot"
bg=$(drive_pixel "$data/damaged.png" 600 $((8 * DRIVE_LH)))
[[ ${bg^^} == FF0000 ]] || drive_fail "background $bg, not the saved red"
# Saving would drop the bad line: the editor asks, and n keeps the file.
drive_wait_stable
drive_keys_prompt super+F5 || drive_fail "SaveConfig did not ask before replacing a damaged file"
drive_key n
cmp -s "$cfg" "$data/cfg.orig" || drive_fail "the damaged file was replaced after n"
# A new size made the default, saved with y.
xdotool windowsize "$DRIVE_WIN" 1000 700
drive_settle 1
drive_key super+F6
drive_wait_stable
drive_keys_prompt super+F5 || drive_fail "no question the second time"
drive_key y
grep -q '^ Default Heigh 700$' "$cfg" && grep -q '^ Default Width 1000$' "$cfg" ||
  drive_fail "SetDefaults and SaveConfig did not keep the size: $(cat "$cfg")"
grep -q '^ Color Background 0xfffc0000$' "$cfg" || drive_fail "the colour was not saved again: $(cat "$cfg")"
grep -q 'Colour' "$cfg" && drive_fail "the bad line was written back"
cmp -s "$cfg~" "$data/cfg.orig" || drive_fail "the old file was not kept as vexor.cfg~"
drive_expect_close

# --- The next start takes the saved size --------------------------------
drive_start || drive_fail "vexor did not start again"
geometry=$(xdotool getwindowgeometry "$DRIVE_WIN" | sed -nE 's/.*Geometry: ([0-9]+x[0-9]+).*/\1/p')
[[ $geometry == 1000x700 ]] || drive_fail "window $geometry, not the saved 1000x700"
grep -q "vexor.cfg" "$DRIVE_ERR" && drive_fail "a clean file was reported: $(cat "$DRIVE_ERR")"
drive_expect_close

# --- -d: the built-in settings, the file untouched ----------------------
cp "$cfg" "$data/cfg.saved"
drive_start -d || drive_fail "vexor -d did not start"
geometry=$(xdotool getwindowgeometry "$DRIVE_WIN" | sed -nE 's/.*Geometry: ([0-9]+x[0-9]+).*/\1/p')
[[ $geometry == 800x600 ]] || drive_fail "-d window $geometry, not 800x600"
drive_shot "$data/defaults.png" || drive_fail "no screenshot"
bg=$(drive_pixel "$data/defaults.png" 600 $((8 * DRIVE_LH)))
[[ ${bg^^} == FFFFFF ]] || drive_fail "-d background $bg, not white"
drive_expect_close
cmp -s "$cfg" "$data/cfg.saved" || drive_fail "-d changed the settings file"
echo "macros_config: ok"
