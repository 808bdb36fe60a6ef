#!/usr/bin/env bash
# Saving is crash-safe: the editor is killed with SIGKILL at random moments
# while it saves a large text, VEXOR_SAVE_KILLS times (5 here, 50 in
# `make soak`), the moments spread evenly over the time one save takes.
# After every kill the file holds exactly the old or exactly the new
# content; a save after the last kill removes the "~~" a kill left.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../../scripts/drive.sh
source "$root/scripts/drive.sh"
drive_test_begin save_kill
data=$DRIVE_DATA
kills=${VEXOR_SAVE_KILLS:-5}

drive_start_x || drive_fail "no X server"
cd "$data" || drive_fail "no data folder"
awk 'BEGIN { for (i = 0; i < 400000; i++)
  printf "line %07d of a text saved while the editor is killed, padded out to length\n", i }' >big.txt

sum() { md5sum <"$1" | cut -d' ' -f1; }

# Opens big.txt, types one x at its start and asks to save; the save
# starts with the Return the caller sends.
begin_save() {
  drive_start -d big.txt || drive_fail "vexor did not open big.txt"
  drive_type_fast "x"
  drive_wait_stable || drive_fail "the screen does not settle after typing"
  drive_keys_prompt ctrl+k s || drive_fail "no \"Save file:\" prompt after Ctrl+K S"
  old=$(sum big.txt)
  new=$({ printf x; cat big.txt; } | md5sum | cut -d' ' -f1)
}

# One save to its end: how long it takes, in milliseconds, from the Return.
begin_save
ino=$(stat -c %i big.txt)
t0=$(date +%s%N)
drive_keys_fast Return
while [[ $(stat -c %i big.txt) == "$ino" ]]; do sleep 0.002; done
save_ms=$((($(date +%s%N) - t0) / 1000000))
drive_log "one save takes ${save_ms} ms"
[[ $(sum big.txt) == "$new" ]] || drive_fail "the full save wrote something else"
kill -KILL "$DRIVE_PID"
drive_wait_exit 5 2>/dev/null # no "Killed" from the shell
span=$((save_ms * 3 / 2 + 20))

olds=0 news=0 temps=0
for ((k = 1; k <= kills; k++)); do
  begin_save
  # Evenly over the save, the Return's way to the editor included.
  delay=$(((RANDOM * 32768 + RANDOM) % span))
  drive_keys_fast Return
  sleep "$(printf '0.%03d' "$delay")" 2>/dev/null || sleep "$((delay / 1000))"
  kill -KILL "$DRIVE_PID"
  drive_wait_exit 5 2>/dev/null || drive_fail "vexor survived SIGKILL"
  [[ -f big.txt ]] || drive_fail "kill $k after ${delay} ms left no big.txt"
  got=$(sum big.txt)
  if [[ $got == "$old" ]]; then
    olds=$((olds + 1))
  elif [[ $got == "$new" ]]; then
    news=$((news + 1))
  else
    drive_fail "kill $k after ${delay} ms left a mix: $(stat -c %s big.txt) bytes"
  fi
  [[ -e big.txt~~ ]] && temps=$((temps + 1))
done
drive_log "$kills kills over ${span} ms: $olds old, $news new, $temps with a temporary file left"

# The next save clears what the kills left and keeps the last version.
before=$(sum big.txt)
begin_save
drive_keys_fast Return
drive_wait_stable
kill -TERM "$DRIVE_PID"
drive_wait_exit 10 || drive_fail "vexor still runs after SIGTERM"
[[ $(sum big.txt) == "$new" ]] || drive_fail "the last save did not write the text"
[[ $(sum big.txt~) == "$before" ]] || drive_fail "the backup is not the previous version"
[[ ! -e big.txt~~ ]] || drive_fail "the temporary file left by a kill is still there"
[[ ! -e big.txt.save ]] || drive_fail "a saved text was rescued"
echo "save_kill: ok ($kills kills: $olds old, $news new)"
