#!/usr/bin/env bash
# 10 MB through the clipboard under Xvfb, against xclip on both ends:
#   paste: the editor pastes 10 MB that xclip offers, against `xclip -o`
#          reading the same from xclip;
#   copy:  `xclip -o` reads 10 MB the editor offers, against the same read
#          from xclip.
# Each figure is the best of three runs.
# Usage: scripts/bench-clipboard.sh [build-dir]
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VEXOR_BIN=$build/vexor
# shellcheck source=drive.sh
source "$root/scripts/drive.sh"
drive_test_begin bench_clipboard
dir=$DRIVE_DATA
owner=""
trap '[[ -n $owner ]] && kill "$owner" 2>/dev/null; drive_cleanup; rm -rf "$DRIVE_DATA" "$DRIVE_CONFIG"' EXIT
command -v xclip >/dev/null || { echo "bench-clipboard: xclip missing"; exit 1; }
drive_start_x || exit 1

awk 'BEGIN { for (i = 0; s < 10485760; i++) { l = "line " i " of the text pasted in, with a few words"; s += length(l) + 1; print l } }' >"$dir/ten.txt"
ms() { echo $((($(date +%s%N) - $1) / 1000000)); }
best() { sort -n | head -n 1; }

# Waits until CLIPBOARD holds $1 bytes.
owned() {
  local n
  for ((n = 0; n < 100; n++)); do
    [[ $(xclip -o -selection clipboard 2>/dev/null | wc -c) == "$1" ]] && return 0
    sleep 0.1
  done
  return 1
}

size=$(stat -c %s "$dir/ten.txt")
xclip -quiet -selection clipboard -i "$dir/ten.txt" >/dev/null 2>&1 &
owner=$!
owned "$size" || { echo "bench-clipboard: xclip does not own the text"; exit 1; }
base=$(for r in 1 2 3; do
  t0=$(date +%s%N)
  xclip -o -selection clipboard >/dev/null
  ms "$t0"
done | best)
paste=$(for r in 1 2 3; do
  "$build/bench_clipboard_bench" paste | sed -E 's/paste: ([0-9]+)\..*/\1/'
done | best)
"$build/bench_clipboard_bench" paste
kill "$owner" 2>/dev/null
wait "$owner" 2>/dev/null
owner=""

"$build/bench_clipboard_bench" copy 10 >"$dir/copy.out" &
owner=$!
for ((n = 0; n < 100; n++)); do [[ -s $dir/copy.out ]] && break; sleep 0.1; done
offered=$(sed -E 's/.*offering ([0-9]+) bytes/\1/' "$dir/copy.out")
copy=$(for r in 1 2 3; do
  t0=$(date +%s%N)
  got=$(xclip -o -selection clipboard | wc -c)
  ms "$t0"
  [[ $got == "$offered" ]] || echo "bench-clipboard: read $got of $offered bytes" >&2
done | best)
kill "$owner" 2>/dev/null
wait "$owner" 2>/dev/null
owner=""

echo "xclip -o from xclip, $size bytes:      $base ms"
echo "paste into the editor from xclip:      $paste ms ($(awk -v a="$paste" -v b="$base" 'BEGIN { printf "%.1f", a / (b ? b : 1) }')x; goal 5x)"
echo "xclip -o from the editor, $offered bytes: $copy ms ($(awk -v a="$copy" -v b="$base" 'BEGIN { printf "%.1f", a / (b ? b : 1) }')x; goal 2x)"
