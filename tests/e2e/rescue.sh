#!/usr/bin/env bash
# Unsaved texts survive every end the user did not choose, and a file
# another program changed is not overwritten without asking:
#  1. ^K S of a file changed on disk asks; n keeps the other program's file
#     and the text modified. Then SIGTERM with two modified texts, one of
#     them enciphered: both rescued beside their files (mode 0600, byte for
#     byte; the enciphered one opens with its key and no plain text of it
#     is on disk), status 128+15, one line per rescue on standard error.
#  2. The window destroyed by another client: rescued, status 1.
#  3. The X server killed under the editor: the unnamed text is rescued in
#     the configuration directory, status 1.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin rescue
data=$DRIVE_DATA

drive_start_x || drive_fail "no X server"
drive_tool destroy_window || drive_fail "cannot build destroy_window"
cd "$data" || drive_fail "no data folder"

mode_of() { stat -c %a "$1"; }

# ---- 1: changed on disk, then SIGTERM --------------------------------
printf 'first\n' >a.txt
drive_start -d a.txt || drive_fail "vexor did not open its window"
drive_type_fast "mine "
drive_wait_stable || drive_fail "the screen does not settle after typing"
printf 'theirs\n' >a.txt # another program writes the file
drive_keys_prompt ctrl+k s || drive_fail "no \"Save file:\" prompt after Ctrl+K S"
drive_wait_stable
drive_keys_prompt Return || drive_fail "no question after accepting the name"
drive_wait_stable
drive_keys_fast n
drive_wait_stable
[[ $(cat a.txt) == theirs ]] || drive_fail "a.txt was overwritten: $(cat a.txt)"
[[ ! -e a.txt~ ]] || drive_fail "a backup was made though nothing was saved"

# A second text, enciphered with the block cipher.
drive_keys_prompt ctrl+k o || drive_fail "no \"Open file:\" prompt after Ctrl+K O"
drive_type_fast "b.txt@@k3y-b"
drive_keys_fast Return
drive_wait_stable
drive_type_fast "a plainly secret"
drive_wait_stable
kill -TERM "$DRIVE_PID"
drive_wait_exit 10 || drive_fail "vexor still runs after SIGTERM"
[[ $DRIVE_STATUS == 143 ]] || drive_fail "exit status $DRIVE_STATUS after SIGTERM"
err=$(cat "$DRIVE_ERR")
[[ $(cat a.txt) == theirs ]] || drive_fail "a.txt changed by the rescue"
printf 'mine first\n' >"$DRIVE_WORK/want-a"
cmp a.txt.save "$DRIVE_WORK/want-a" || drive_fail "a.txt.save: $(od -c a.txt.save)"
[[ $(mode_of a.txt.save) == 600 && $(mode_of b.txt.save) == 600 ]] ||
  drive_fail "rescue modes $(mode_of a.txt.save) $(mode_of b.txt.save)"
grep -qx "vexor: rescued $data/a.txt to $data/a.txt.save" <<<"$err" || drive_fail "stderr: $err"
grep -qx "vexor: rescued $data/b.txt to $data/b.txt.save" <<<"$err" || drive_fail "stderr: $err"
grep -q k3y <<<"$err" && drive_fail "the key was printed: $err"
[[ ! -e b.txt ]] || drive_fail "b.txt was written though never saved"
[[ $(($(stat -c %s b.txt.save) % 16)) == 0 ]] || drive_fail "b.txt.save is not in cipher blocks"
if grep -rqa "plainly" "$data" "$VEXOR_CONFIG_DIR"; then
  drive_fail "plain text of the enciphered text reached the disk"
fi

# The enciphered rescue opens with its key; Save & exit as plain.txt.
drive_start -d "b.txt.save@@k3y-b" || drive_fail "vexor did not open the rescue"
drive_wait_stable
drive_keys_prompt ctrl+k d || drive_fail "no \"Save & exit:\" prompt"
drive_type_fast "plain.txt"
drive_keys_fast Return
drive_wait_exit 10 || drive_fail "vexor still runs after saving the rescue as plain.txt"
[[ $(cat plain.txt) == "a plainly secret" ]] || drive_fail "the rescue deciphers to: $(od -c plain.txt)"
rm plain.txt

# ---- 2: the window destroyed by another client ------------------------
# (The edited line keeps its columns: the TAB now ends one column short.)
printf 'one\ttwo\r\n' >c.txt
drive_start -d c.txt || drive_fail "vexor did not open c.txt"
drive_type_fast "X"
drive_wait_stable
"$DRIVE_WORK/destroy_window" "$DRIVE_WIN" || drive_fail "could not destroy the window"
drive_wait_exit 10 || drive_fail "vexor still runs without its window"
[[ $DRIVE_STATUS == 1 ]] || drive_fail "exit status $DRIVE_STATUS without a window"
printf 'Xone\t two\r\n' >"$DRIVE_WORK/want-c"
cmp c.txt.save "$DRIVE_WORK/want-c" || drive_fail "c.txt.save: $(od -c c.txt.save)"
grep -q "destroyed" "$DRIVE_ERR" || drive_fail "stderr: $(cat "$DRIVE_ERR")"

# ---- 3: the X server killed under the editor --------------------------
drive_start -d || drive_fail "vexor did not start without a file"
drive_type_fast "lost X"
drive_wait_stable
pid=$DRIVE_PID
kill -KILL "$DRIVE_XVFB_PID"
wait "$DRIVE_XVFB_PID" 2>/dev/null
DRIVE_XVFB_PID=""
drive_wait_exit 10 || drive_fail "vexor still runs without its X server"
[[ $DRIVE_STATUS == 1 ]] || drive_fail "exit status $DRIVE_STATUS without an X server"
saved=$VEXOR_CONFIG_DIR/rescued-$pid-1.save
[[ $(cat "$saved" 2>/dev/null) == "lost X" ]] || drive_fail "no rescue at $saved: $(cat "$DRIVE_ERR")"
[[ $(mode_of "$saved") == 600 ]] || drive_fail "mode $(mode_of "$saved") of $saved"
grep -qx "vexor: rescued an unnamed text to $saved" "$DRIVE_ERR" || drive_fail "stderr: $(cat "$DRIVE_ERR")"
echo "rescue: ok"
