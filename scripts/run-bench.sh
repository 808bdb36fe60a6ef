#!/usr/bin/env bash
# Builds the benchmarks in build/ and runs them: every bench_* program built
# with Google Benchmark, then every scripts/bench-*.sh (given the build
# folder), for the programs that need a generated input and arguments.
#
#   scripts/run-bench.sh [benchmark options, e.g. --benchmark_filter=Paint]
set -euo pipefail
unset MAKEFLAGS MFLAGS MAKELEVEL

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=build

# The peers that some benchmarks compare with come on top of the test tools.
"$root/scripts/install-deps.sh" bench
# The benchmarks start editors of their own: their settings go to a scratch
# folder, not to the user's.
VEXOR_CONFIG_DIR=$(mktemp -d)
export VEXOR_CONFIG_DIR
trap 'rm -rf "$VEXOR_CONFIG_DIR"' EXIT
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXOR_BENCH=ON
cmake --build "$build" -j"${JOBS:-2}"

ran=0
for b in "$build"/bench_*; do
  [[ -f $b && -x $b ]] || continue
  # Programs that are not Google Benchmark ones refuse this and are driven
  # by their scripts below.
  if ! "$b" --benchmark_list_tests=true >/dev/null 2>&1; then
    continue
  fi
  echo "==== $b"
  "$b" "$@"
  ran=$((ran + 1))
done
for s in "$root"/scripts/bench-*.sh; do
  [[ -f $s && -x $s ]] || continue
  echo "==== $s"
  "$s" "$build"
  ran=$((ran + 1))
done
if ((ran == 0)); then
  echo "No benchmarks: bench/*.cpp and libbenchmark-dev are needed."
fi
