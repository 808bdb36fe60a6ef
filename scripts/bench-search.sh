#!/usr/bin/env bash
# Search over a generated 100 MB text of 1.6 million lines, with a word to
# replace on every 16th line (100,000 matches) and a bracket pair from the
# first line to the last, timed beside grep, sed and (when installed) vim
# on the same file in the same run.  Usage: scripts/bench-search.sh [build-dir]
set -euo pipefail
build=${1:-build}
dir=$(mktemp -d /tmp/vexor-bench-XXXXXX)
trap 'rm -rf "$dir"' EXIT
"$build/bench_file_io_bench" gen "$dir/gen.txt" 100 >/dev/null
awk 'NR == 1 { $0 = "(" $0 } NR % 16 == 0 && q < 100000 { $0 = "qmark " $0; q++ } { print } END { print ")" }' \
  "$dir/gen.txt" >"$dir/text.txt"
rm "$dir/gen.txt"
echo "file: $(stat -c %s "$dir/text.txt") bytes, $(wc -l <"$dir/text.txt") lines," \
  "$(grep -c qmark "$dir/text.txt") lines with qmark, $(grep -ci zqxjvw "$dir/text.txt" || true) with zqxjvw"
cat "$dir/text.txt" >/dev/null  # warm

timed() {
  local start
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  echo "$(date +%s.%N) - $start" | bc
}
echo "grep -ci zqxjvw                    $(timed grep -ci zqxjvw "$dir/text.txt") s"
echo "sed s/qmark/xmark/g                $(timed sed 's/qmark/xmark/g' "$dir/text.txt") s"
echo "sed s/x/y/g                        $(timed sed 's/x/y/g' "$dir/text.txt") s"
if command -v vim >/dev/null; then
  quit=$(timed vim -u NONE -i NONE -N -es -c q! "$dir/text.txt")
  miss=$(timed vim -u NONE -i NONE -N -es -c 'silent! /zqxjvw' -c q! "$dir/text.txt")
  echo "vim open and quit                  $quit s"
  echo "vim missed search (minus the above) $(echo "$miss - $quit" | bc) s"
else
  echo "vim not installed: no comparison with it"
fi
"$build/bench_search_bench" "$dir/text.txt"
