#!/usr/bin/env bash
# Builds vexor and runs its whole test suite, stopping at the first failing
# stage with a non-zero exit:
#
#   unit   build/ (RelWithDebInfo): build, then every CTest test
#   e2e    every executable tests/e2e/*.sh (each starts its own Xvfb)
#   asan   build-asan/: the same tests under AddressSanitizer and UBSan
#   fuzz   build-fuzz/ (clang): each tests/fuzz/ target for a fixed time
#
# The quick stages come first, so that a broken window shows in minutes.
# Every build treats warnings as errors (VEXOR_WERROR). The tests see one
# font only (a FONTCONFIG_FILE naming DejaVu Sans Mono, scripts/pin-font.sh)
# and keep their settings in a scratch folder (VEXOR_CONFIG_DIR), whatever
# the machine has installed and whoever runs them.
#
#   scripts/run-tests.sh              all stages
#   scripts/run-tests.sh unit e2e     only the stages named
#
# Knobs: JOBS (default 2), VEXOR_FUZZ_SECONDS (default 60 per target),
# VEXOR_E2E_TIMEOUT (default 300 s per script), VEXOR_SKIP_DEPS=1,
# VEXOR_TEST_DISPLAY=0 (unit tests without the private Xvfb).
set -euo pipefail

# Called from make, the nested builds would inherit its flags and chatter.
unset MAKEFLAGS MFLAGS MAKELEVEL

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

jobs=${JOBS:-2}
fuzz_seconds=${VEXOR_FUZZ_SECONDS:-60}
e2e_timeout=${VEXOR_E2E_TIMEOUT:-300}

stages=("$@")
if ((${#stages[@]} == 0)); then
  stages=(unit e2e asan fuzz)
fi
for s in "${stages[@]}"; do
  case $s in
    unit | e2e | asan | fuzz) ;;
    *) echo "run-tests: unknown stage '$s' (unit, e2e, asan, fuzz)" >&2; exit 2 ;;
  esac
done
wants() {
  local s
  for s in "${stages[@]}"; do [[ $s == "$1" ]] && return 0; done
  return 1
}

# Everything this run starts or creates goes away with it.
cleanup_pids=()
cleanup_dirs=()
# shellcheck disable=SC2317  # called through the trap
cleanup() {
  local pid
  for pid in "${cleanup_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  if ((${#cleanup_dirs[@]})); then rm -rf "${cleanup_dirs[@]}"; fi
}
trap cleanup EXIT

# Unit tests that need an X server skip without one; give them a private
# Xvfb (not the user's desktop) when it is installed.
start_test_display() {
  if [[ ${VEXOR_TEST_DISPLAY:-1} == 0 ]] || ! command -v Xvfb >/dev/null 2>&1; then
    return 0
  fi
  local numfile pid n
  numfile=$(mktemp)
  cleanup_dirs+=("$numfile")
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  pid=$!
  cleanup_pids+=("$pid")
  for ((n = 0; n < 100; n++)); do
    if [[ -s $numfile ]]; then
      DISPLAY=":$(tr -d '[:space:]' <"$numfile")"
      export DISPLAY
      echo "run-tests: unit tests use Xvfb on $DISPLAY"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "run-tests: warning: Xvfb did not start; tests that need X will skip" >&2
}

start=$SECONDS
summary=()   # one line per stage that ran, printed at the end
total_passed=0
total_failed=0
total_skipped=0

banner() { printf '\n==== %s ====\n' "$*"; }

fail() {
  printf '\nFAILED: %s\n' "$1" >&2
  finish 1
}

finish() {
  local status=$1
  banner "Summary ($((SECONDS - start)) s)"
  local line
  for line in "${summary[@]}"; do echo "  $line"; done
  if ((status == 0)); then
    echo "All stages passed."
  else
    echo "Test suite FAILED."
  fi
  echo "Total: $total_passed passed, $total_failed failed, $total_skipped skipped"
  exit "$status"
}

# Seconds since the current stage began, for the summary.
mark=$SECONDS
took() { echo "$((SECONDS - mark)) s"; }

# Runs ctest in build folder $1, adds its counts to the totals and records a
# summary line labelled $2. Stops the suite when a test fails.
run_ctest() {
  local dir=$1 label=$2 log rc=0
  log=$(mktemp)
  # pipefail makes rc ctest's status, not tee's.
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 600 2>&1 | tee "$log" || rc=$?
  # "100% tests passed, 0 tests failed out of 57"
  local counts passed=0 failed=0 ran=0 skipped
  counts=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [[ -n $counts ]]; then
    failed=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$counts")
    ran=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$counts")
  fi
  # CTest counts a skipped test as passed; keep them apart.
  skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Skipped\)$' "$log" || true)
  passed=$((ran - failed - skipped))
  rm -f "$log"
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
  if ((ran == 0)); then
    summary+=("$label: no tests found ($(took))")
    echo "run-tests: warning: no tests found in $dir" >&2
  else
    summary+=("$label: $passed passed, $failed failed, $skipped skipped ($(took))")
  fi
  if ((rc != 0 || failed != 0)); then
    fail "$label"
  fi
}

configure() {
  local dir=$1
  shift
  cmake -S "$root" -B "$root/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXOR_WERROR=ON "$@"
}

banner "Dependencies"
"$root/scripts/install-deps.sh" test

# Not the user's settings, not the machine's choice of fonts.
scratch=$(mktemp -d)
cleanup_dirs+=("$scratch")
export VEXOR_CONFIG_DIR=$scratch/config
FONTCONFIG_FILE=$("$root/scripts/pin-font.sh" "$scratch/fontconfig") || fail "pin the test font"
export FONTCONFIG_FILE

if wants unit || wants asan; then
  start_test_display
fi

# Plain build: also what the end-to-end scripts run.
mark=$SECONDS
if wants unit || wants e2e; then
  banner "Build: build/"
  configure build || fail "configure build/"
  cmake --build build -j"$jobs" || fail "build build/"
fi

if wants unit; then
  banner "Unit tests: build/"
  run_ctest build "unit"
fi

if wants e2e; then
  mark=$SECONDS
  shopt -s nullglob
  e2e_all=(tests/e2e/*.sh)
  shopt -u nullglob
  e2e_scripts=()
  for f in "${e2e_all[@]}"; do
    if [[ -x $f ]]; then e2e_scripts+=("$f"); fi
  done
  if ((${#e2e_scripts[@]} == 0)); then
    summary+=("e2e: skipped (no executable tests/e2e/*.sh)")
  else
    banner "End-to-end tests: ${#e2e_scripts[@]} script(s)"
    logs=$root/build/e2e-logs
    mkdir -p "$logs"
    e2e_passed=0
    e2e_failed=0
    for f in "${e2e_scripts[@]}"; do
      name=$(basename "$f" .sh)
      # Scripts find the program and the tree through these.
      if VEXOR_BIN=$root/build/vexor VEXOR_SOURCE_DIR=$root VEXOR_E2E_SHOTS=$root/build/e2e-shots \
        timeout --kill-after=10 "$e2e_timeout" "$f" </dev/null >"$logs/$name.log" 2>&1; then
        e2e_passed=$((e2e_passed + 1))
        echo "  $name: passed"
      else
        rc=$?
        e2e_failed=$((e2e_failed + 1))
        if ((rc == 124)); then
          echo "  $name: FAILED (timed out after $e2e_timeout s); last lines of its log:"
        else
          echo "  $name: FAILED (exit $rc); last lines of its log:"
        fi
        tail -n 40 "$logs/$name.log" | sed 's/^/    /'
      fi
    done
    echo "E2E: $e2e_passed passed, $e2e_failed failed"
    total_passed=$((total_passed + e2e_passed))
    total_failed=$((total_failed + e2e_failed))
    summary+=("e2e: $e2e_passed passed, $e2e_failed failed ($(took))")
    if ((e2e_failed)); then
      fail "e2e"
    fi
  fi
fi

# The sanitizer and fuzzing builds use -O1 with line tables only: half the
# compile time of -O2 -g, still exact stack traces, and assertions stay on.
quick_flags=-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1"

if wants asan; then
  mark=$SECONDS
  banner "Build: build-asan/ (AddressSanitizer, UBSan)"
  # Test discovery runs the programs at build time, so set these first.
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  configure build-asan -DVEXOR_SANITIZE=ON -DVEXOR_BENCH=OFF "$quick_flags" || fail "configure build-asan/"
  cmake --build build-asan -j"$jobs" || fail "build build-asan/"
  banner "Unit tests: build-asan/"
  run_ctest build-asan "asan"
fi

if wants fuzz; then
  mark=$SECONDS
  shopt -s nullglob
  fuzz_sources=(tests/fuzz/*.cpp)
  shopt -u nullglob
  if ! command -v clang++ >/dev/null 2>&1; then
    summary+=("fuzz: skipped (no clang++)")
  elif ((${#fuzz_sources[@]} == 0)); then
    summary+=("fuzz: skipped (no tests/fuzz/*.cpp)")
  else
    banner "Build: build-fuzz/ (clang, libFuzzer)"
    # The library is instrumented too, so the fuzzers are guided by coverage
    # of the editor's code and not only of the small driver.
    CC=clang CXX=clang++ configure build-fuzz -DVEXOR_FUZZ=ON -DVEXOR_BENCH=OFF "$quick_flags" \
      "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
      || fail "configure build-fuzz/"
    targets=()
    for src in "${fuzz_sources[@]}"; do
      name=$(basename "$src" .cpp)
      targets+=("fuzz_$name")
    done
    cmake --build build-fuzz -j"$jobs" --target "${targets[@]}" || fail "build build-fuzz/"

    banner "Fuzzing: ${#targets[@]} target(s), $fuzz_seconds s each"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    work=$(mktemp -d)
    cleanup_dirs+=("$work")
    artifacts=$root/build-fuzz/artifacts
    mkdir -p "$artifacts"
    # $jobs at a time, one per core; each writes its own log.
    fuzz_one() {
      local name=$1 corpus=$work/corpus-$1 base=${1#fuzz_} seed seeds
      mkdir -p "$corpus"
      # Seeds for foo_fuzz.cpp (target fuzz_foo_fuzz) live in corpus/foo/
      # or corpus/foo_fuzz/. They are copied so that the fuzzer never writes
      # into the tree.
      seeds=("tests/fuzz/corpus/$base")
      if [[ $base != "${base%_fuzz}" ]]; then
        seeds+=("tests/fuzz/corpus/${base%_fuzz}")
      fi
      for seed in "${seeds[@]}"; do
        if [[ -d $seed ]]; then cp -R "$seed/." "$corpus/"; fi
      done
      "build-fuzz/$name" -max_total_time="$fuzz_seconds" -rss_limit_mb=4096 -timeout=30 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "$corpus" >"$work/$name.log" 2>&1
    }
    fuzz_passed=0
    fuzz_failed=0
    failed_names=()
    i=0
    while ((i < ${#targets[@]})); do
      pids=()
      names=()
      for ((k = 0; k < jobs && i < ${#targets[@]}; k++, i++)); do
        fuzz_one "${targets[i]}" &
        pids+=($!)
        names+=("${targets[i]}")
      done
      for k in "${!pids[@]}"; do
        if wait "${pids[k]}"; then
          fuzz_passed=$((fuzz_passed + 1))
          log=$work/${names[k]}.log
          runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
          nseeds=$(awk '/files found in/ {print $2; exit}' "$log")
          echo "  ${names[k]}: ok, ${runs:-?} runs from ${nseeds:-0} seed file(s)"
        else
          fuzz_failed=$((fuzz_failed + 1))
          failed_names+=("${names[k]}")
          echo "  ${names[k]}: FAILED; last lines of its log:"
          tail -n 60 "$work/${names[k]}.log"
        fi
      done
    done
    total_passed=$((total_passed + fuzz_passed))
    total_failed=$((total_failed + fuzz_failed))
    summary+=("fuzz: $fuzz_passed passed, $fuzz_failed failed ($(took))")
    if ((fuzz_failed)); then
      echo "Crashing inputs are kept in $artifacts/" >&2
      fail "fuzz (${failed_names[*]})"
    fi
  fi
fi

finish 0
