#!/usr/bin/env bash
# SortLines on a column block over 1,000,000 lines, timed beside
# `LC_ALL=C sort -s --parallel=1` on the same key in the same run (both
# results must be the same bytes), and WrapPara of one 100,000-line
# paragraph.  Usage: scripts/bench-text-tools.sh [build-dir]
set -euo pipefail
build=${1:-build}
dir=$(mktemp -d /tmp/vexor-bench-XXXXXX)
trap 'rm -rf "$dir"' EXIT

# Keys of ten letters in columns 2 to 5 repeat often, so the sort's
# stability shows in the comparison; nothing before column 8 is a blank.
awk 'BEGIN {
  srand(7)
  for (i = 0; i < 1000000; i++) {
    k = ""
    for (j = 0; j < 8; j++) k = k sprintf("%c", 97 + int(rand() * 10))
    printf "%s line %07d of the text to sort\n", k, i
  }
}' >"$dir/sort.txt"
awk 'BEGIN {
  srand(11)
  split("a an the of to sorting reflow paragraph editor column block line text words", w, " ")
  for (i = 0; i < 100000; i++) {
    s = ""
    n = 4 + int(rand() * 9)
    for (j = 0; j < n; j++) s = s (j ? " " : "") w[1 + int(rand() * 14)]
    print s
  }
}' >"$dir/para.txt"
echo "sort.txt: $(wc -l <"$dir/sort.txt") lines, para.txt: $(wc -l <"$dir/para.txt") lines"
cat "$dir/sort.txt" "$dir/para.txt" >/dev/null  # warm

start=$(date +%s.%N)
LC_ALL=C sort -s --parallel=1 -k1.3,1.6 "$dir/sort.txt" >"$dir/sorted_by_sort.txt"
echo "LC_ALL=C sort -s --parallel=1       $(echo "$(date +%s.%N) - $start" | bc) s"
"$build/bench_text_tools_bench" sort "$dir/sort.txt" 2 6 "$dir/sorted_by_vexor.txt"
cmp -s "$dir/sorted_by_sort.txt" "$dir/sorted_by_vexor.txt" ||
  { echo "SortLines and sort disagree" >&2; exit 1; }
echo "same order as sort"
"$build/bench_text_tools_bench" reflow "$dir/para.txt" "$dir/reflowed.txt"
echo "reflowed: $(wc -l <"$dir/reflowed.txt") lines, longest $(awk '{ if (length($0) > m) m = length($0) } END { print m }' "$dir/reflowed.txt") characters"
