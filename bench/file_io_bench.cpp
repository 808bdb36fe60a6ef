// Opening and saving a large text, plain and through each cipher.
//
//   bench_file_io_bench gen FILE MB         write a typical UTF-8 text
//   bench_file_io_bench open FILE           read it into a text
//   bench_file_io_bench save FILE OUT       read it, then save it as OUT
//   bench_file_io_bench pieces FILE         read it on 1, 2 and every core
//                                           (median of 5 each, MB/s)
//
// Each run is its own process so that its peak memory is its own.  The
// script scripts/bench-files.sh runs the whole set.
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/editor_state.h"
#include "core/file_io.h"

namespace {

double seconds(std::chrono::steady_clock::time_point a) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count();
}

long peakKiB() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

int gen(const char* path, long mb) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return 1;
  std::mt19937 rng(1);
  long target = mb * 1000000, written = 0, lines = 0;
  std::string line;
  while (written < target) {
    line.clear();
    int indent = rng() % 3 ? int(rng() % 4) * 4 : 0;
    line.append(size_t(indent), ' ');
    int len = 30 + int(rng() % 61);
    while (int(line.size()) < len) {
      unsigned r = rng() % 100;
      if (r < 15)
        line += ' ';
      else if (r < 17)
        line += "\xc3\xa9";
      else
        line += char('a' + r % 26);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), f);
    written += long(line.size());
    lines++;
  }
  std::fclose(f);
  std::printf("generated %s: %ld bytes, %ld lines\n", path, written, lines);
  return 0;
}

// The reader's speed by the number of pieces, each read into a fresh
// editor so that no run reuses the records of the one before.
int pieces(const char* path) {
  struct stat st;
  if (stat(std::string(path, PlainNameLen(path)).c_str(), &st) != 0) return 1;
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::vector<unsigned> counts{1, 2};
  if (cores > 2) counts.push_back(cores);
  for (unsigned n : counts) {
    std::vector<off_t> cuts{-1};
    if (n > 1) {
      cuts.clear();
      for (unsigned k = 1; k < n; k++) cuts.push_back(st.st_size / n * k);
    }
    std::vector<double> runs;
    for (int r = 0; r < 5; r++) {
      auto V = std::make_unique<EditorState>();
      InitEditor(V.get());
      SetReadCuts(cuts);
      auto t0 = std::chrono::steady_clock::now();
      Link* base = GetFile(V.get(), path, 0, MODE_UTF8);
      runs.push_back(seconds(t0));
      SetReadCuts({});
      if (!base) return 1;
      DeInitEditor(V.get());
    }
    std::sort(runs.begin(), runs.end());
    std::printf("pieces %u (of %u cores): median %.3f s  %.0f MB/s  (min %.3f, max %.3f)\n", n, cores, runs[2],
                double(st.st_size) / 1e6 / runs[2], runs[0], runs[4]);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && !std::strcmp(argv[1], "gen")) return gen(argv[2], std::atol(argv[3]));
  if (argc >= 3 && !std::strcmp(argv[1], "pieces")) return pieces(argv[2]);
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s gen FILE MB | open FILE | save FILE OUT | pieces FILE\n", argv[0]);
    return 2;
  }
  auto V = std::make_unique<EditorState>();
  InitEditor(V.get());
  SetMetrics(V.get(), 800, 600, 16, 8, 12);
  long baseKiB = peakKiB();
  auto t0 = std::chrono::steady_clock::now();
  Tcb* t = OpenText(V.get(), argv[2], MODE_UTF8);
  double openS = seconds(t0);
  int lines = CountLines(t->base);
  size_t arena = size_t(V->memBlocks) * kBlockSize;
  double saveS = 0;
  if (!std::strcmp(argv[1], "save") && argc >= 4) {
    char dir[kPathMax], name[kNameMax];
    SplitFileName(V.get(), dir, name, argv[3]);
    CopyCut(t->fileName, sizeof t->fileName, name);
    CopyCut(t->dirName, sizeof t->dirName, dir);
    t->mode &= ~MODE_TABSOUT;  // blanks written as read: the output must equal the input
    auto t1 = std::chrono::steady_clock::now();
    if (SaveOneText(V.get()) != 0) std::fprintf(stderr, "save failed: %s\n", V->alertText);
    saveS = seconds(t1);
  }
  std::printf("%-5s %-40s open %.3f s  save %.3f s  lines %d  arena/line %.1f B  peak %ld KiB (start %ld KiB)\n",
              argv[1], argv[2], openS, saveS, lines, double(arena) / lines, peakKiB(), baseKiB);
  DeInitEditor(V.get());
  return 0;
}
