#!/usr/bin/env bash
# Opening a large text, against a peer editor reading the same file, and the
# start-up to the first painted screen.  One run prints, with the number of
# cores it ran on:
#
#   open and close   the editor started on a 100 MB, 1.6-million-line text
#                    under a private Xvfb, ending as soon as the whole text
#                    is stored and painted (VEXOR_EXIT_AFTER_FIRST_PAINT),
#                    against `vim -u NONE -i NONE -N -es -c q! FILE`: wall
#                    time of the whole process, median of BENCH_RUNS (5)
#   first screen     the editor's own time from main to its first paint that
#                    has reached the server (VEXOR_TIME_FIRST_PAINT), for the
#                    large text against a one-line file, median
#   start-up         the one-line file: first paint, and the whole process
#                    from exec to exit, median of BENCH_SMALL_RUNS (11)
#   peak memory      maximum resident size of each process (/usr/bin/time)
#                    against the file's size
#
# Usage: scripts/bench-open.sh [build-dir]   (default build/)
# The texts are generated once and kept in BUILD/bench-open/.  Needs Xvfb,
# vim and /usr/bin/time: scripts/install-deps.sh bench.  The editor starts as
# a new user would, with a scratch settings folder and the machine's fonts.
# On a shared machine the figures are noisy: run it more than once.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bin=$build/vexor
runs=${BENCH_RUNS:-5}
small_runs=${BENCH_SMALL_RUNS:-11}
[[ -x $bin ]] || { echo "bench-open: no $bin (build it first)" >&2; exit 1; }
for tool in Xvfb vim /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "bench-open: needs $tool (scripts/install-deps.sh bench)" >&2; exit 1; }
done

cache=$build/bench-open
big=$cache/text-100mb.txt
one=$cache/one-line.txt
mkdir -p "$cache"

# Indented code-like lines, prose, blank lines, and now and then a word
# with accents, typographic quotes, Greek or CJK; the same text every time.
if [[ ! -s $big ]]; then
  echo "bench-open: generating $big (once)" >&2
  awk -v LINES=1600000 '
BEGIN {
  srand(22);
  nw = split("the of and to in a is that for it as was with be by on not he this are or his from at which but have an they you were her she there been one all we their has would when if so no will more can out up into do than who some could them other time about these only new may first over any my such like then our two also back after use where most even made well way many must before said through same work much long should because each those however where under never while years still another against", W, " ");
  nu = split("naïve café Größe déjà-vu “quoted” façade Ångström 日本語 Ελληνικά — résumé Zürich über São", U, " ");
  nk = split("if while for return switch case else", K, " ");
  nf = split("compute update insert_line fold_blanks read_block flush_view cursor_move search_next", F, " ");
  nv = split("count limit index width height line_no offset buffer result total", V, " ");
  for (i = 1; i <= LINES; i++) {
    r = rand();
    if (r < 0.05) { print ""; continue; }
    if (r < 0.62) {
      depth = int(rand() * 6); ind = "";
      for (d = 0; d < depth; d++) ind = ind "    ";
      s = rand();
      if (s < 0.25) line = ind K[1 + int(rand() * nk)] " (" V[1 + int(rand() * nv)] " > " int(rand() * 1000) " && " V[1 + int(rand() * nv)] " != nullptr) {";
      else if (s < 0.55) line = ind V[1 + int(rand() * nv)] " = " F[1 + int(rand() * nf)] "(" V[1 + int(rand() * nv)] ", " V[1 + int(rand() * nv)] " + " int(rand() * 100) ");";
      else if (s < 0.75) line = ind "// " W[1 + int(rand() * nw)] " " W[1 + int(rand() * nw)] " " W[1 + int(rand() * nw)] " " W[1 + int(rand() * nw)] " " W[1 + int(rand() * nw)];
      else if (s < 0.9) line = ind "return " V[1 + int(rand() * nv)] " * " int(rand() * 64) " + " V[1 + int(rand() * nv)] ";";
      else line = ind "}";
      print line; continue;
    }
    n = 12 + int(rand() * 18); line = "";
    for (j = 0; j < n; j++) {
      w = (rand() < 0.04) ? U[1 + int(rand() * nu)] : W[1 + int(rand() * nw)];
      line = line (j ? " " : "") w;
    }
    print line ".";
  }
}' >"$big.part"
  mv "$big.part" "$big"
fi
[[ -s $one ]] || echo 'int main() { return 0; }' >"$one"

work=$(mktemp -d /tmp/vexor-bench-open-XXXXXX)
xvfb_pid=""
cleanup() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# -noreset: a server whose last client leaves starts anew, keyboard map and
# all, and the next client's connection waits for that (some 30 ms); a
# desktop's server always has other clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for ((n = 0; n < 100; n++)); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || { echo "bench-open: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
export DISPLAY
export VEXOR_CONFIG_DIR=$work/config
mkdir -p "$VEXOR_CONFIG_DIR"

now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }

# One run of the editor on FILE: appends wall ms, first paint ms, last line
# ms and peak kB to the named files.
run_vexor() {
  local file=$1 tag=$2 start end
  start=$(now_ns)
  VEXOR_EXIT_AFTER_FIRST_PAINT=1 VEXOR_TIME_FIRST_PAINT=1 \
    /usr/bin/time -f '%M' -o "$work/rss" "$bin" "$file" 2>"$work/err" ||
    { echo "bench-open: vexor failed on $file: $(cat "$work/err")" >&2; exit 1; }
  end=$(now_ns)
  echo "$(( (end - start) / 1000 ))" | awk '{ print $1 / 1000 }' >>"$work/$tag.wall"
  sed -nE 's/^vexor: first paint ([0-9.]+) ms$/\1/p' "$work/err" >>"$work/$tag.paint"
  sed -nE 's/^vexor: last line stored ([0-9.]+) ms$/\1/p' "$work/err" >>"$work/$tag.stored"
  tail -n 1 "$work/rss" >>"$work/$tag.rss"
}

run_vim() {
  local start end
  start=$(now_ns)
  /usr/bin/time -f '%M' -o "$work/rss" vim -u NONE -i NONE -N -es -c 'q!' "$big" </dev/null >/dev/null 2>&1 || true
  end=$(now_ns)
  echo "$(( (end - start) / 1000 ))" | awk '{ print $1 / 1000 }' >>"$work/vim.wall"
  tail -n 1 "$work/rss" >>"$work/vim.rss"
}

# Both read from the page cache, not the disk.
cat "$big" >/dev/null
run_vexor "$one" warm
run_vim
rm -f "$work"/vim.*

# Taken in turns, so that a busy moment of the machine falls on both.
for ((i = 0; i < runs; i++)); do
  run_vexor "$big" big
  run_vim
done
for ((i = 0; i < small_runs; i++)); do run_vexor "$one" one; done
# The floor on this machine at this moment: a client that connects, asks
# one question and ends.
if command -v xdotool >/dev/null; then
  for ((i = 0; i < small_runs; i++)); do
    start=$(now_ns)
    xdotool getdisplaygeometry >/dev/null
    end=$(now_ns)
    echo "$(( (end - start) / 1000 ))" | awk '{ print $1 / 1000 }' >>"$work/floor.wall"
  done
fi

size=$(stat -L -c %s "$big")
lines=$(wc -l <"$big")
m() { median <"$work/$1"; }
big_wall=$(m big.wall) vim_wall=$(m vim.wall)
big_paint=$(m big.paint) one_paint=$(m one.paint) one_wall=$(m one.wall)
big_stored=$(m big.stored)
big_rss=$(m big.rss) vim_rss=$(m vim.rss) one_rss=$(m one.rss)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

echo "cores: $(nproc)   text: $size bytes, $lines lines ($big)"
echo "runs: $runs on the large text (vexor and vim in turns), $small_runs on the one-line file; medians"
printf 'open and close, 100 MB:  vexor %7.1f ms   vim %7.1f ms   ratio %s\n' "$big_wall" "$vim_wall" "$(ratio "$big_wall" "$vim_wall")"
printf 'first screen:            100 MB %6.1f ms   one line %6.1f ms   ratio %s (from main)\n' "$big_paint" "$one_paint" "$(ratio "$big_paint" "$one_paint")"
printf 'last line stored:        100 MB %6.1f ms (from main)\n' "$big_stored"
printf 'start-up, one line:      first paint %5.1f ms from main; whole process %5.1f ms\n' "$one_paint" "$one_wall"
[[ -s $work/floor.wall ]] &&
  printf '                         (a bare X client, connect and one request: %5.1f ms whole process)\n' "$(m floor.wall)"
printf 'peak memory, 100 MB:     vexor %s kB (%s x file)   vim %s kB (%s x file)   vexor on one line %s kB\n' \
  "$big_rss" "$(ratio "$((big_rss * 1024))" "$size")" "$vim_rss" "$(ratio "$((vim_rss * 1024))" "$size")" "$one_rss"
