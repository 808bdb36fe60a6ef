#!/usr/bin/env bash
# Opening a file through the browser: Ctrl+K O, Down lists the current
# text's directory, typed letters find an entry (Right finds the next one),
# Enter on a directory descends into it, Enter on a file puts its name into
# the prompt and Enter there opens it. The title names the opened file, and
# a change saved with Ctrl+K D lands in that file and in no other.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
data=$(mktemp -d)
trap 'drive_cleanup; rm -rf "$data"' EXIT
fail() {
  echo "FAIL: $*" >&2
  [[ -n ${DRIVE_WORK:-} && -n ${DRIVE_PID:-} ]] && kill -0 "$DRIVE_PID" 2>/dev/null &&
    drive_shot "$data/failed.png" 2>/dev/null && cp "$data/failed.png" "${TMPDIR:-/tmp}/browser_open-failed.png" &&
    echo "screen at the failure: ${TMPDIR:-/tmp}/browser_open-failed.png" >&2
  exit 1
}
# xdotool prints the UTF-8 title as it is only in a UTF-8 locale.
export LC_ALL=C.UTF-8

head_row=700x20+0+22 # the tab line, where the prompt appears
first_row=700x22+0+44

# Checksum of a rectangle WxH+X+Y of the screen as it is now.
region() {
  drive_shot "$DRIVE_WORK/poll.png" && convert "$DRIVE_WORK/poll.png" -crop "$1" +repage -format '%#' info:
}
# Waits until the screen stops changing (two equal shots in a row).
settle() {
  local a b n
  a=$(region 1280x1024+0+0)
  for ((n = 0; n < 50; n++)); do
    sleep 0.1
    b=$(region 1280x1024+0+0)
    [[ $a == "$b" ]] && return 0
    a=$b
  done
  return 1
}
# Waits up to 5 s for rectangle $1 to differ from checksum $2.
wait_changed() {
  local n
  for ((n = 0; n < 50; n++)); do
    [[ $(region "$1") != "$2" ]] && return 0
    sleep 0.1
  done
  return 1
}
title() { xdotool getwindowname "$DRIVE_WIN" 2>/dev/null; }
# Waits up to 5 s for the window title to be $1.
wait_title() {
  local n
  for ((n = 0; n < 50; n++)); do
    [[ $(title) == "$1" ]] && return 0
    sleep 0.1
  done
  return 1
}
typed() { xdotool type --delay 10 -- "$1"; }
keys() { xdotool key --delay 30 -- "$@"; }

# Opens the file prompt and the browser on the current text's directory,
# which must be $1.
open_browser() {
  local ruler
  settle || fail "the screen does not settle"
  ruler=$(region "$head_row")
  keys ctrl+k o
  wait_changed "$head_row" "$ruler" || fail "no \"Open file:\" prompt after Ctrl+K O"
  keys Down
  wait_title "Vexor - $1/" || fail "the browser did not open on $1 (title '$(title)')"
}

# Saves the current text with Ctrl+K D and Enter at the preset name.
save_exit() {
  local ruler
  settle || fail "the screen does not settle"
  ruler=$(region "$head_row")
  keys ctrl+k d
  wait_changed "$head_row" "$ruler" || fail "no \"Save & exit:\" prompt after Ctrl+K D"
  keys Return
}

dir=$data/a
mkdir -p "$dir/sub"
for f in apple banana cherry grape; do printf 'I am %s\n' "$f" >"$dir/$f.txt"; done
printf 'start\n' >"$dir/start.txt"
printf 'deep down\n' >"$dir/sub/deep.txt"
cp -R "$dir" "$data/orig"

drive_start_x || fail "no X server"
# Started elsewhere: the browser must follow the text, not the process.
cd "$data" || fail "no data folder"
drive_start -d a/start.txt || fail "vexor did not open its window"
wait_title "Vexor - $dir/start.txt" || fail "title is '$(title)'"
settle || fail "the screen does not settle"
start_row=$(region "$first_row")

# "ap" finds apple.txt first; Right goes on to the next entry holding it.
open_browser "$dir"
settle || fail "the screen does not settle in the browser"
drive_shot "$data/listing.png" || fail "no screenshot"
# ., .., sub and five files, then the end-of-text mark: nine painted rows.
for ((r = 0; r < 10; r++)); do
  n=$(drive_colours "$data/listing.png" "700x22+0+$((44 + 22 * r))")
  if ((r < 9)); then
    ((n > 1)) || fail "the listing's row $r is empty"
  else
    ((n == 1)) || fail "the listing has more than eight entries"
  fi
done
typed "ap"
keys Right
settle || fail "the screen does not settle in the browser"
keys Return # picks grape.txt
wait_title "Vexor - $dir/start.txt" || fail "picking a file did not leave the browser (title '$(title)')"
keys Return # opens it
wait_title "Vexor - $dir/grape.txt" || fail "grape.txt was not opened (title '$(title)')"
settle || fail "the screen does not settle"
drive_shot "$data/grape.png" || fail "no screenshot"
[[ $(region "$first_row") != "$start_row" ]] || fail "the opened text shows start.txt's first line"
typed "picked "
save_exit
# The editor goes back to start.txt, which is still open.
wait_title "Vexor - $dir/start.txt" || fail "after the save the title is '$(title)'"
kill -0 "$DRIVE_PID" 2>/dev/null || fail "vexor ended although start.txt is still open"
printf 'picked I am grape\n' >"$data/orig/grape.want"
cmp "$dir/grape.txt" "$data/orig/grape.want" || fail "grape.txt holds: $(od -c "$dir/grape.txt")"
for f in apple banana cherry start; do
  cmp -s "$dir/$f.txt" "$data/orig/$f.txt" || fail "$f.txt was changed"
done

# Enter on a directory descends into it; there "dee" finds deep.txt.
open_browser "$dir"
typed "sub"
keys Return
wait_title "Vexor - $dir/sub/" || fail "Enter on sub did not descend (title '$(title)')"
typed "dee"
keys Return Return
wait_title "Vexor - $dir/sub/deep.txt" || fail "deep.txt was not opened (title '$(title)')"
typed "found "
save_exit
wait_title "Vexor - $dir/start.txt" || fail "after the second save the title is '$(title)'"
printf 'found deep down\n' >"$data/orig/deep.want"
cmp "$dir/sub/deep.txt" "$data/orig/deep.want" || fail "sub/deep.txt holds: $(od -c "$dir/sub/deep.txt")"
cmp -s "$dir/start.txt" "$data/orig/start.txt" || fail "start.txt was changed"
[[ ! -e $dir/deep.txt ]] || fail "deep.txt was written into the parent directory"

# Only the unchanged start.txt is left: closing the window ends the editor.
drive_close || fail "could not send the close request"
drive_wait_exit 10 || fail "vexor still runs after the close request"
[[ $DRIVE_STATUS == 0 ]] || fail "exit status $DRIVE_STATUS"
echo "browser_open: ok"
