#!/usr/bin/env bash
# Printing a generated 10,000-line text (about 160 pages at the default
# settings): the pages rendered alone (to a stand-in server that only counts
# bytes), then the whole print to a file printer of a private print server,
# and beside it the same text through enscript | ps2pdf (when installed),
# a PostScript text printer, in the same run.
#   scripts/bench-print.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
# shellcheck source-path=SCRIPTDIR source=private-cupsd.sh
source "$root/scripts/private-cupsd.sh"
dir=$(mktemp -d /tmp/vexor-bench-print-XXXXXX)
chmod 0711 "$dir"
trap 'cupsd_stop; rm -rf "$dir"' EXIT
export VEXOR_CONFIG_DIR=$dir/config
# One font, the one the tests pin, so that runs on any machine compare.
FONTCONFIG_FILE=$("$root/scripts/pin-font.sh" "$dir")
export FONTCONFIG_FILE
awk 'BEGIN { srand(7); split("the of and to in is was for on that with as by at from this be are text line", w, " ")
             for (i = 1; i <= 10000; i++) { s = sprintf("%5d", i); n = 4 + int(rand() * 10)
               for (j = 0; j < n; j++) s = s " " w[1 + int(rand() * 20)]; print s } }' >"$dir/text.txt"
echo "text: $(wc -l <"$dir/text.txt") lines, $(stat -c %s "$dir/text.txt") bytes"
cd "$dir"
"$build/bench_print_bench" render "$dir/text.txt"
rm -f printtest.pdf
cupsd_start "$dir/cups"
cupsd_add_file_printer file "$dir/cups/out/file.pdf"
start=$(date +%s.%N)
"$build/bench_print_bench" cups "$dir/text.txt" file
for ((i = 0; i < 600; i++)); do
  [[ $(lpstat -W completed -o | wc -l) -ge 1 ]] && break
  sleep 0.1
done
echo "cups   until the printer's file was complete: $(echo "$(date +%s.%N) - $start" | bc) s," \
  "$(stat -c %s "$dir/cups/out/file.pdf") bytes, $(qpdf --show-npages "$dir/cups/out/file.pdf") pages," \
  "same as printtest.pdf: $(cmp -s printtest.pdf "$dir/cups/out/file.pdf" && echo yes || echo no)"
if command -v enscript >/dev/null && command -v ps2pdf >/dev/null; then
  start=$(date +%s.%N)
  enscript -q -B -p - "$dir/text.txt" | ps2pdf - "$dir/peer.pdf"
  peer_s=$(echo "$(date +%s.%N) - $start" | bc)
  peer_b=$(stat -c %s "$dir/peer.pdf")
  echo "peer   enscript -B | ps2pdf: $peer_s s, $peer_b bytes, $(qpdf --show-npages "$dir/peer.pdf") pages;" \
    "bytes ratio $(echo "$(stat -c %s printtest.pdf) / $peer_b" | bc)"
else
  echo "enscript or ps2pdf not installed: no comparison"
fi
