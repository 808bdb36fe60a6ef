#!/usr/bin/env bash
# Files whose paths only look odd, opened and saved as a user does: each save
# lands in the text's own file and nowhere else. A folder with '@' in its
# name, a 254-byte folder beside a namesake of the file below it, a 255-byte
# name, a read-only file (asked about, kept on n, replaced with its mode on
# y), and pipes and devices named on the command line or picked in the
# browser, which are refused without hanging the editor.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin odd_paths
data=$DRIVE_DATA
export LC_ALL=C.UTF-8

# Types $1 at the start of the current text, then saves and closes it with
# Ctrl+K D and Enter at the preset name; the editor must then end with 0.
edit_and_save_exit() {
  drive_wait_stable || drive_fail "the screen does not settle"
  drive_type_fast "$1"
  drive_save_exit
}

# Fails when $1 does not hold exactly the bytes $2 (printf format).
expect_file() {
  printf "$2" >"$data/want"
  cmp -s "$1" "$data/want" || drive_fail "$1 holds: $(od -c "$1" | head -n 5)"
}

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"

# A folder with '@' in its name: no cipher key, no file "x" beside it.
mkdir -p 'x@y'
printf 'old\n' >'x@y/notes.txt'
drive_start -d 'x@y/notes.txt' || drive_fail "vexor did not open x@y/notes.txt"
drive_wait_title "Vexor - $data/x@y/notes.txt" || drive_fail "title is '$(drive_title)'"
edit_and_save_exit "new "
expect_file 'x@y/notes.txt' 'new old\n'
[[ ! -e x ]] || drive_fail "a file x was written beside the folder x@y"

# A 254-byte folder; the file of the same name directly in it stays as it is.
long=$(printf 'd%.0s' {1..254})
mkdir -p "$long/sub"
printf 'deep\n' >"$long/sub/f.txt"
printf 'namesake\n' >"$long/f.txt"
drive_start -d "$long/sub/f.txt" || drive_fail "vexor did not open the file under the long folder"
edit_and_save_exit "x"
expect_file "$long/sub/f.txt" 'xdeep\n'
expect_file "$long/f.txt" 'namesake\n'

# A 255-byte name: read, saved, nothing left beside it.
name=$(printf 'n%.0s' {1..255})
printf 'long name\n' >"$name"
drive_start -d "$name" || drive_fail "vexor did not open the 255-byte name"
edit_and_save_exit "y"
expect_file "$name" 'ylong name\n'
leftovers=$(find . -maxdepth 1 \( -name '*~~' -o -name '.vexor-*' \) | head -n 3)
[[ -z $leftovers ]] || drive_fail "temporary files left: $leftovers"

# A read-only file: n keeps it (and the editor), y replaces it, mode kept.
printf 'locked\n' >ro.txt
chmod 0444 ro.txt
drive_start -d ro.txt || drive_fail "vexor did not open ro.txt"
drive_wait_stable || drive_fail "the screen does not settle"
drive_type_fast "new "
drive_wait_stable || drive_fail "the screen does not settle after typing"
drive_keys_prompt ctrl+k d || drive_fail "no \"Save & exit:\" prompt after Ctrl+K D"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle at the question"
drive_keys_fast n
drive_wait_stable || drive_fail "the screen does not settle after n"
kill -0 "$DRIVE_PID" 2>/dev/null || drive_fail "vexor ended although the save was refused"
expect_file ro.txt 'locked\n'
drive_keys_prompt ctrl+k d || drive_fail "no second \"Save & exit:\" prompt"
drive_keys_fast Return
drive_wait_stable || drive_fail "the screen does not settle at the second question"
drive_keys_fast y
drive_wait_exit 10 || drive_fail "vexor still runs after y"
[[ $DRIVE_STATUS == 0 ]] || drive_fail "exit status $DRIVE_STATUS"
expect_file ro.txt 'new locked\n'
[[ $(stat -c %a ro.txt) == 444 ]] || drive_fail "ro.txt has mode $(stat -c %a ro.txt)"

# A pipe and a device on the command line: refused at once; the file after
# them opens and saves as usual.
mkfifo zfifo
printf 'ok\n' >ok.txt
drive_start -d zfifo /dev/zero ok.txt || drive_fail "vexor did not start beside a pipe and /dev/zero"
drive_wait_title "Vexor - $data/ok.txt" || drive_fail "title is '$(drive_title)'"
edit_and_save_exit "1"
expect_file ok.txt '1ok\n'
[[ -p zfifo ]] || drive_fail "the pipe was replaced"

# The same picked in the browser: type-ahead finds the entry, Enter picks it,
# Enter at the question opens it, which is refused; the text stays current.
for pick in "$data/:zfifo" "/dev/:zero"; do
  folder=${pick%%:*}
  entry=${pick#*:}
  drive_start -d ok.txt || drive_fail "vexor did not open ok.txt"
  drive_wait_stable || drive_fail "the screen does not settle"
  drive_keys_prompt ctrl+k o || drive_fail "no \"Open file:\" prompt after Ctrl+K O"
  drive_type_fast "$folder"
  drive_keys_fast Return
  drive_wait_title "Vexor - $folder" || drive_fail "the browser did not open on $folder (title '$(drive_title)')"
  drive_wait_stable || drive_fail "the screen does not settle in the browser"
  drive_type_fast "$entry"
  drive_wait_stable || drive_fail "the screen does not settle after the type-ahead"
  drive_keys_fast Return
  drive_wait_stable || drive_fail "the screen does not settle after picking $entry"
  drive_keys_fast Return
  drive_wait_title "Vexor - $data/ok.txt" || drive_fail "after $entry the title is '$(drive_title)'"
  edit_and_save_exit "2"
done
expect_file ok.txt '221ok\n'
echo "odd_paths: ok"
