#!/usr/bin/env bash
# The long runs that do not fit `make test`: each line below is one command,
# run in order from the top of the tree with the program in $VEXOR_BIN
# (build/vexor by default, built first); the first that fails ends the soak
# with its status. Add a long run as one more line in `soak_runs`.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
export VEXOR_BIN=${VEXOR_BIN:-$root/build/vexor}
export VEXOR_SOURCE_DIR=$root

soak_runs=(
  # SIGKILL at 50 moments of a save: the file is always old or new, whole.
  "VEXOR_SAVE_KILLS=50 tests/e2e/save_kill.sh"
  # The monkey: 2,000,000 random keys over its ten shards, from a fresh seed.
  "scripts/soak-monkey.sh build"
)

for run in "${soak_runs[@]}"; do
  [[ $run == \#* ]] && continue
  echo "== soak: $run"
  start=$(date +%s)
  if ! bash -c "$run"; then
    echo "soak: FAILED: $run" >&2
    exit 1
  fi
  echo "== soak: passed in $(($(date +%s) - start)) s"
done
echo "soak: all ${#soak_runs[@]} run(s) passed"
