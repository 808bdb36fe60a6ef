// Sorting a column block and reflowing a paragraph on large texts.
//
//   bench_text_tools_bench sort FILE FROM TO OUT   sort FILE's lines by
//       columns FROM..TO-1 (a column block over every line), write OUT
//   bench_text_tools_bench reflow FILE OUT         reflow FILE from its
//       first line between the margins 0 and 79, write OUT
//
// scripts/bench-text-tools.sh makes the files, times `sort` on the same key
// in the same run and compares the outputs.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/editor_state.h"
#include "core/file_io.h"
#include "edit/movement.h"
#include "tools/text_tools.h"

namespace {

double seconds(std::chrono::steady_clock::time_point a) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count();
}

int usage(const char* self) {
  std::fprintf(stderr, "usage: %s sort FILE FROM TO OUT | reflow FILE OUT\n", self);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const bool sort = argc == 6 && std::strcmp(argv[1], "sort") == 0;
  const bool reflow = argc == 4 && std::strcmp(argv[1], "reflow") == 0;
  if (!sort && !reflow) return usage(argv[0]);
  auto V = std::make_unique<EditorState>();
  InitEditor(V.get());
  SetMetrics(V.get(), 800, 600, 16, 8, 12);
  Tcb* t = OpenText(V.get(), argv[2], MODE_UTF8);
  if (!t) {
    std::fprintf(stderr, "cannot open %s\n", argv[2]);
    return 1;
  }
  const int lines = CountLines(t->base);
  ALineSet(V.get(), 1);
  t->col = 0;
  const auto t0 = std::chrono::steady_clock::now();
  if (sort) {
    BlockRecord& b = V->blk;
    b.blkTcb = b.blkView = t;
    b.startLine = 1;
    b.endLine = lines;
    b.startCol = std::atoi(argv[3]);
    b.endCol = std::atoi(argv[4]);
    b.isColumn = 1;
    SortBlock(V.get());
  } else {
    t->leftMargin = 0;
    t->rightMargin = 79;
    Reflow(V.get());
  }
  const double s = seconds(t0);
  std::printf("%-34s %.3f s  (%d lines, now %d)\n", sort ? "SortLines, column block" : "WrapPara, one paragraph", s,
              lines, CountLines(t->base));
  if (PutFile(V.get(), t->base, argv[argc - 1], t->mode) != 0) {
    std::fprintf(stderr, "cannot write %s\n", argv[argc - 1]);
    return 1;
  }
  DeInitEditor(V.get());
  return 0;
}
