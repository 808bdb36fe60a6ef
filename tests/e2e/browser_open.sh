#!/usr/bin/env bash
# Opening a file through the browser: Ctrl+K O, Down lists the current
# text's directory, typed letters find an entry (Right finds the next one),
# Enter on a directory descends into it, Enter on a file puts its name into
# the prompt and Enter there opens it. The title names the opened file, and
# a change saved with Ctrl+K D lands in that file and in no other.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin browser_open
data=$DRIVE_DATA
# xdotool prints the UTF-8 title as it is only in a UTF-8 locale.
export LC_ALL=C.UTF-8

# Opens the file prompt and the browser on the current text's directory,
# which must be $1.
open_browser() {
  drive_wait_stable || drive_fail "the screen does not settle"
  drive_keys_prompt ctrl+k o || drive_fail "no \"Open file:\" prompt after Ctrl+K O"
  drive_keys_fast Down
  drive_wait_title "Vexor - $1/" || drive_fail "the browser did not open on $1 (title '$(drive_title)')"
}

# Saves the current text with Ctrl+K D and Enter at the preset name.
save_exit() {
  drive_wait_stable || drive_fail "the screen does not settle"
  drive_keys_prompt ctrl+k d || drive_fail "no \"Save & exit:\" prompt after Ctrl+K D"
  drive_keys_fast Return
}

dir=$data/a
mkdir -p "$dir/sub"
for f in apple banana cherry grape; do printf 'I am %s\n' "$f" >"$dir/$f.txt"; done
printf 'start\n' >"$dir/start.txt"
printf 'deep down\n' >"$dir/sub/deep.txt"
cp -R "$dir" "$data/orig"

drive_start_x || drive_fail "no X server"
first_row=$(drive_row 0)
# Started elsewhere: the browser must follow the text, not the process.
cd "$data" || drive_fail "no data folder"
drive_start -d a/start.txt || drive_fail "vexor did not open its window"
drive_wait_title "Vexor - $dir/start.txt" || drive_fail "title is '$(drive_title)'"
drive_wait_stable || drive_fail "the screen does not settle"
start_row=$(drive_region "$first_row")

# "ap" finds apple.txt first; Right goes on to the next entry holding it.
open_browser "$dir"
drive_wait_stable || drive_fail "the screen does not settle in the browser"
drive_shot "$data/listing.png" || drive_fail "no screenshot"
# ., .., sub and five files, then the end-of-text mark: nine painted rows.
for ((r = 0; r < 10; r++)); do
  n=$(drive_colours "$data/listing.png" "$(drive_row "$r")")
  if ((r < 9)); then
    ((n > 1)) || drive_fail "the listing's row $r ($(drive_row "$r")) is empty: fewer than eight entries"
  else
    ((n == 1)) || drive_fail "the row after the end-of-text mark ($(drive_row "$r")) shows $n colours: more than eight entries"
  fi
done
drive_type_fast "ap"
drive_keys_fast Right
drive_wait_stable || drive_fail "the screen does not settle in the browser"
drive_keys_fast Return # picks grape.txt
drive_wait_title "Vexor - $dir/start.txt" || drive_fail "picking a file did not leave the browser (title '$(drive_title)')"
drive_keys_fast Return # opens it
drive_wait_title "Vexor - $dir/grape.txt" || drive_fail "grape.txt was not opened (title '$(drive_title)')"
drive_wait_stable || drive_fail "the screen does not settle"
drive_shot "$data/grape.png" || drive_fail "no screenshot"
[[ $(drive_region "$first_row") != "$start_row" ]] || drive_fail "the opened text shows start.txt's first line"
drive_type_fast "picked "
save_exit
# The editor goes back to start.txt, which is still open.
drive_wait_title "Vexor - $dir/start.txt" || drive_fail "after the save the title is '$(drive_title)'"
kill -0 "$DRIVE_PID" 2>/dev/null || drive_fail "vexor ended although start.txt is still open"
printf 'picked I am grape\n' >"$data/orig/grape.want"
cmp "$dir/grape.txt" "$data/orig/grape.want" || drive_fail "grape.txt holds: $(od -c "$dir/grape.txt")"
for f in apple banana cherry start; do
  cmp -s "$dir/$f.txt" "$data/orig/$f.txt" || drive_fail "$f.txt was changed"
done

# Enter on a directory descends into it; there "dee" finds deep.txt.
open_browser "$dir"
drive_type_fast "sub"
drive_keys_fast Return
drive_wait_title "Vexor - $dir/sub/" || drive_fail "Enter on sub did not descend (title '$(drive_title)')"
drive_type_fast "dee"
drive_keys_fast Return Return
drive_wait_title "Vexor - $dir/sub/deep.txt" || drive_fail "deep.txt was not opened (title '$(drive_title)')"
drive_type_fast "found "
save_exit
drive_wait_title "Vexor - $dir/start.txt" || drive_fail "after the second save the title is '$(drive_title)'"
printf 'found deep down\n' >"$data/orig/deep.want"
cmp "$dir/sub/deep.txt" "$data/orig/deep.want" || drive_fail "sub/deep.txt holds: $(od -c "$dir/sub/deep.txt")"
cmp -s "$dir/start.txt" "$data/orig/start.txt" || drive_fail "start.txt was changed"
[[ ! -e $dir/deep.txt ]] || drive_fail "deep.txt was written into the parent directory"

# Only the unchanged start.txt is left: closing the window ends the editor.
drive_expect_close
echo "browser_open: ok"
