#!/usr/bin/env bash
# A modified 100 MB text: saving it and rescuing it in one process, the
# check for a change on disk before a save, and the real program under Xvfb
# from SIGTERM to its end against ^K S of the same text.
# Usage: scripts/bench-rescue.sh [build-dir]
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VEXOR_BIN=$build/vexor
# shellcheck source=drive.sh
source "$root/scripts/drive.sh"
drive_test_begin bench_rescue
dir=$DRIVE_DATA
"$build/bench_file_io_bench" gen "$dir/text.txt" 100 >/dev/null || exit 1
"$build/bench_rescue_bench" "$dir/text.txt" || exit 1
rm -f "$dir"/text.txt.save* "$dir/text.txt~"

drive_start_x || exit 1
ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }

# ^K S of the modified text: from Return to the new file in place.
drive_start -d "$dir/text.txt" || exit 1
drive_type_fast "x"
drive_wait_stable
drive_keys_prompt ctrl+k s || exit 1
ino=$(stat -c %i "$dir/text.txt")
t0=$(date +%s%N)
drive_keys_fast Return
while [[ $(stat -c %i "$dir/text.txt") == "$ino" ]]; do sleep 0.005; done
echo "program: ^K S of 100 MB $(ms_since "$t0") ms (Return to file in place)"
drive_type_fast "y"
drive_wait_stable
t0=$(date +%s%N)
kill -TERM "$DRIVE_PID"
drive_wait_exit 60
echo "program: SIGTERM to exit with 100 MB rescued $(ms_since "$t0") ms (status $DRIVE_STATUS)"
ls -l "$dir"/text.txt.save
