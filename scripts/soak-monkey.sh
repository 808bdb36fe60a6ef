#!/usr/bin/env bash
# The long monkey run: 2,000,000 random keys over the ten shards of the
# monkey test (tests/edit/monkey_test.cpp), two at a time, from a fresh seed
# each run unless VEXOR_MONKEY_SEED is given.  A failing shard prints its
# seed and the keys that led there; the same seed and key count repeat it.
#
#   scripts/soak-monkey.sh [build folder]     (default: build)
#
# Knobs: VEXOR_MONKEY_KEYS (keys per shard, default 200000), VEXOR_MONKEY_SEED,
# JOBS (default 2).  The build folder may be a sanitizer build (build-asan).
set -euo pipefail
unset MAKEFLAGS MFLAGS MAKELEVEL

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${1:-build}
[[ $dir == /* ]] || dir=$root/$dir
jobs=${JOBS:-2}
keys=${VEXOR_MONKEY_KEYS:-200000}
seed=${VEXOR_MONKEY_SEED:-$(date +%s)}

if [[ ! -f $dir/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXOR_WERROR=ON
fi
cmake --build "$dir" -j"$jobs" --target test_edit

echo "soak-monkey: seed $seed, $keys keys in each of the 10 shards ($dir)"
start=$SECONDS
VEXOR_MONKEY_SEED=$seed VEXOR_MONKEY_KEYS=$keys \
  ctest --test-dir "$dir" -R '^Shards/Monkey\.' -j"$jobs" --output-on-failure --timeout 14400
echo "soak-monkey: passed in $((SECONDS - start)) s (seed $seed)"
