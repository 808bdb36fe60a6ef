#!/usr/bin/env bash
# Opens and saves a generated 100 MB text, plain and enciphered, on one
# thread and on every core, and reads it with 4 KiB reads as the floor.
# Usage: scripts/bench-files.sh [build-dir]
set -euo pipefail
build=${1:-build}
bin="$build/bench_file_io_bench"
dir=$(mktemp -d /tmp/vexor-bench-XXXXXX)
trap 'rm -rf "$dir"' EXIT
"$bin" gen "$dir/text.txt" 100
size=$(stat -c %s "$dir/text.txt")
sync
start=$(date +%s.%N)
dd if="$dir/text.txt" bs=4096 of=/dev/null status=none
echo "floor: dd bs=4096 $(echo "$(date +%s.%N) - $start" | bc) s"
"$bin" open "$dir/text.txt"
"$bin" pieces "$dir/text.txt"
"$bin" save "$dir/text.txt" "$dir/out.txt"
if cmp -s "$dir/text.txt" "$dir/out.txt"; then
  echo "saved file identical"
else
  echo "saved file DIFFERS from the original" >&2
  exit 1
fi
for suffix in "@key" "@@key" "@@a-24-byte-key-for-aes192" "@@a-thirty-two-byte-key-for-aes-256"; do
  "$bin" save "$dir/text.txt" "$dir/enc$suffix" >/dev/null
  "$bin" open "$dir/enc$suffix"
  "$bin" pieces "$dir/enc$suffix"
  "$bin" save "$dir/enc$suffix" "$dir/enc2$suffix"
done
echo "file size: $size bytes"
